// The undo history: the scene as it was before each change, in the form a
// scene file holds, so restoring it goes through the same build path as
// loading and reproduces the saved file bit for bit.
#pragma once

#include <cstddef>
#include <deque>
#include <optional>

#include "scene/SceneFile.h"

namespace scene {

constexpr std::size_t MAX_UNDO_STEPS = 1000;
constexpr std::size_t MAX_UNDO_BYTES = std::size_t{64} << 20;

struct SceneSnapshot {
    SceneFileData scene;  // the selection included
    bool klotzSelected = false;
};

SceneSnapshot captureScene(const SceneModel& model, const SceneState& state);

// Same kloetze, poses, ball starts and stacks; the selection does not count,
// since moving it is no change of the scene.
bool sameScene(const SceneFileData& a, const SceneFileData& b);

// Memory a snapshot holds, bytes.
std::size_t snapshotBytes(const SceneSnapshot& snapshot);

// Two stacks of snapshots. Bounded by a number of steps and by memory; the
// oldest steps go first, the newest always stays.
class EditHistory {
public:
    explicit EditHistory(std::size_t maxSteps = MAX_UNDO_STEPS, std::size_t maxBytes = MAX_UNDO_BYTES)
        : maxSteps_(maxSteps), maxBytes_(maxBytes) {}

    // A new change; before is the scene as it was. Drops the redo steps.
    void record(SceneSnapshot before);
    // The scene to go back (or forward) to; current is kept for the way
    // back. Nothing when there is no such step.
    std::optional<SceneSnapshot> undo(SceneSnapshot current);
    std::optional<SceneSnapshot> redo(SceneSnapshot current);

    std::size_t undoSteps() const { return undo_.size(); }
    std::size_t redoSteps() const { return redo_.size(); }
    std::size_t bytes() const { return bytes_; }

private:
    static std::optional<SceneSnapshot> swap(std::deque<SceneSnapshot>& from, std::deque<SceneSnapshot>& to,
                                             SceneSnapshot current, std::size_t& bytes);

    std::size_t maxSteps_;
    std::size_t maxBytes_;
    std::deque<SceneSnapshot> undo_;
    std::deque<SceneSnapshot> redo_;
    std::size_t bytes_ = 0;  // of both stacks
};

}  // namespace scene
