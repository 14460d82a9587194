#include "scene/Snapshot.h"

namespace scene {

SceneSnapshot captureScene(const SceneModel& model, const SceneState& state) {
    SceneSnapshot s;
    s.scene.cellBallStart = model.cellBallStart();
    s.scene.ballStarts = model.ballStarts();
    s.scene.cellStack = model.cellStack();
    s.scene.klotzTypes = model.placedTypes();
    s.scene.poses = model.placedPoses();
    s.scene.selectedRow = state.selectedRow;
    s.scene.selectedColumn = state.selectedColumn;
    s.klotzSelected = state.klotzSelected;
    return s;
}

bool sameScene(const SceneFileData& a, const SceneFileData& b) {
    const auto sameStarts = [](const std::vector<BallStart>& x, const std::vector<BallStart>& y) {
        if (x.size() != y.size()) return false;
        for (std::size_t i = 0; i < x.size(); ++i)
            if (x[i].row != y[i].row || x[i].column != y[i].column) return false;
        return true;
    };
    return a.cellBallStart == b.cellBallStart && a.klotzTypes == b.klotzTypes && a.poses == b.poses &&
           a.cellStack == b.cellStack && sameStarts(a.ballStarts, b.ballStarts);
}

std::size_t snapshotBytes(const SceneSnapshot& snapshot) {
    const SceneFileData& d = snapshot.scene;
    std::size_t bytes = sizeof snapshot + d.ballStarts.capacity() * sizeof(BallStart) +
                        d.klotzTypes.capacity() * sizeof(int) + d.poses.capacity() * sizeof(PoseMatrix);
    for (const std::vector<int>& stack : d.cellStack) bytes += stack.capacity() * sizeof(int);
    return bytes;
}

}  // namespace scene
