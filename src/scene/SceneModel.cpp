#include "scene/SceneModel.h"

#include <algorithm>
#include <sstream>

namespace scene {

glm::vec3 levelCentre(int row, int column, int k) {
    return {row * CELL_SIZE + HALF_CELL, k * CELL_SIZE + HALF_CELL, -HALF_CELL - column * CELL_SIZE};
}

int SceneModel::appendPlaced(int type, int displayList, physics::ActorHandle actor, const PoseMatrix& pose) {
    placedTypes.push_back(type);
    placedDisplayLists.push_back(displayList);
    placedActors.push_back(actor);
    placedPoses.push_back(pose);
    return placedCount() - 1;
}

physics::ActorHandle SceneModel::erasePlaced(int i) {
    const physics::ActorHandle actor = placedActors[i];
    placedTypes.erase(placedTypes.begin() + i);
    placedDisplayLists.erase(placedDisplayLists.begin() + i);
    placedActors.erase(placedActors.begin() + i);
    placedPoses.erase(placedPoses.begin() + i);
    for (std::vector<int>& stack : cellStack) {
        stack.erase(std::remove(stack.begin(), stack.end(), i), stack.end());
        for (int& entry : stack)
            if (entry > i) --entry;
    }
    return actor;
}

int SceneModel::addBallStart(int row, int column, physics::ActorHandle ball) {
    ballStarts.push_back({row, column});
    ballActors.push_back(ball);
    cellBallStart[cellIndex(row, column)] = ballCount() - 1;
    return ballCount() - 1;
}

physics::ActorHandle SceneModel::eraseBallStart(int i) {
    const physics::ActorHandle ball = ballActors[i];
    cellBallStart[cellIndex(ballStarts[i].row, ballStarts[i].column)] = -1;
    ballActors.erase(ballActors.begin() + i);
    ballStarts.erase(ballStarts.begin() + i);
    for (int& b : cellBallStart)
        if (b > i) --b;
    return ball;
}

int stackSize(const SceneModel& model, int row, int column) {
    return static_cast<int>(model.cellStack[cellIndex(row, column)].size());
}

void clearScene(SceneModel& model, SceneState& state, physics::PhysicsWorld& world) {
    model.cellBallStart.fill(-1);
    std::vector<BallStart>().swap(model.ballStarts);
    for (physics::ActorHandle ball : model.ballActors) world.releaseActor(ball);
    std::vector<physics::ActorHandle>().swap(model.ballActors);
    for (auto& stack : model.cellStack) std::vector<int>().swap(stack);
    std::vector<int>().swap(model.placedDisplayLists);
    std::vector<int>().swap(model.placedTypes);
    std::vector<PoseMatrix>().swap(model.placedPoses);
    for (physics::ActorHandle klotz : model.placedActors) world.releaseActor(klotz);
    std::vector<physics::ActorHandle>().swap(model.placedActors);

    state.simulationPaused = false;
    state.simulationRunning = false;
    state.wireframe = false;
    state.klotzSelected = false;
    state.followBall = false;
    state.particlesOn = false;
}

std::string checkInvariants(const SceneModel& model, const SceneState& state) {
    std::ostringstream err;
    const int balls = static_cast<int>(model.ballStarts.size());
    if (model.ballActors.size() != model.ballStarts.size()) err << "ball lists differ in length; ";
    std::vector<int> seenBall(balls, 0);
    for (int cell = 0; cell < CELL_COUNT; ++cell) {
        int b = model.cellBallStart[cell];
        if (b == -1) continue;
        if (b < 0 || b >= balls) {
            err << "cell " << cell << " names ball start " << b << "; ";
            continue;
        }
        const BallStart& s = model.ballStarts[b];
        if (cellIndex(s.row, s.column) != cell) err << "ball start " << b << " is not on cell " << cell << "; ";
        ++seenBall[b];
    }
    for (int b = 0; b < balls; ++b)
        if (seenBall[b] != 1) err << "ball start " << b << " is named by " << seenBall[b] << " cells; ";

    const int n = model.placedCount();
    if (static_cast<int>(model.placedDisplayLists.size()) != n || static_cast<int>(model.placedActors.size()) != n ||
        static_cast<int>(model.placedTypes.size()) != n)
        err << "placed-klotz lists differ in length; ";
    std::vector<int> seenKlotz(n, 0);
    for (int cell = 0; cell < CELL_COUNT; ++cell) {
        for (int i : model.cellStack[cell]) {
            if (i < 0 || i >= n) {
                err << "cell " << cell << " stacks klotz " << i << "; ";
                continue;
            }
            ++seenKlotz[i];
        }
    }
    for (int i = 0; i < n; ++i)
        if (seenKlotz[i] != 1) err << "klotz " << i << " stands in " << seenKlotz[i] << " stacks; ";

    if (state.selectedRow < 0 || state.selectedRow >= GRID_SIZE || state.selectedColumn < 0 ||
        state.selectedColumn >= GRID_SIZE)
        err << "selection off the grid; ";
    else if (state.klotzSelected && model.cellStack[cellIndex(state.selectedRow, state.selectedColumn)].empty())
        err << "klotz selected on an empty cell; ";
    if (state.followBall && (state.followedBall < 0 || state.followedBall >= balls)) err << "followed ball missing; ";
    if (state.particlesOn && (state.particleBall < 0 || state.particleBall >= balls)) err << "particle ball missing; ";
    return err.str();
}

}  // namespace scene
