// The undo history: the scene as it was before each change, as snapshots.
#pragma once

#include <cstddef>
#include <deque>
#include <optional>

#include "scene/Snapshot.h"

namespace input {

constexpr std::size_t MAX_UNDO_STEPS = 1000;
constexpr std::size_t MAX_UNDO_BYTES = std::size_t{64} << 20;

// Two stacks of snapshots. Bounded by a number of steps and by memory; the
// oldest steps go first, the newest always stays.
class EditHistory {
public:
    explicit EditHistory(std::size_t maxSteps = MAX_UNDO_STEPS, std::size_t maxBytes = MAX_UNDO_BYTES)
        : maxSteps_(maxSteps), maxBytes_(maxBytes) {}

    // A new change; before is the scene as it was. Drops the redo steps.
    void record(scene::SceneSnapshot before);
    // The scene to go back (or forward) to; current is kept for the way
    // back. Nothing when there is no such step.
    std::optional<scene::SceneSnapshot> undo(scene::SceneSnapshot current);
    std::optional<scene::SceneSnapshot> redo(scene::SceneSnapshot current);

    std::size_t undoSteps() const { return undo_.size(); }
    std::size_t redoSteps() const { return redo_.size(); }
    std::size_t bytes() const { return bytes_; }

private:
    static std::optional<scene::SceneSnapshot> swap(std::deque<scene::SceneSnapshot>& from, std::deque<scene::SceneSnapshot>& to,
                                             scene::SceneSnapshot current, std::size_t& bytes);

    std::size_t maxSteps_;
    std::size_t maxBytes_;
    std::deque<scene::SceneSnapshot> undo_;
    std::deque<scene::SceneSnapshot> redo_;
    std::size_t bytes_ = 0;  // of both stacks
};

}  // namespace input
