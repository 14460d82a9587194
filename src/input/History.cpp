#include "input/History.h"

#include <utility>

namespace input {

void EditHistory::record(scene::SceneSnapshot before) {
    for (const scene::SceneSnapshot& s : redo_) bytes_ -= snapshotBytes(s);
    redo_.clear();
    bytes_ += snapshotBytes(before);
    undo_.push_back(std::move(before));
    while (undo_.size() > 1 && (undo_.size() > maxSteps_ || bytes_ > maxBytes_)) {
        bytes_ -= snapshotBytes(undo_.front());
        undo_.pop_front();
    }
}

std::optional<scene::SceneSnapshot> EditHistory::swap(std::deque<scene::SceneSnapshot>& from, std::deque<scene::SceneSnapshot>& to,
                                               scene::SceneSnapshot current, std::size_t& bytes) {
    if (from.empty()) return std::nullopt;
    scene::SceneSnapshot back = std::move(from.back());
    from.pop_back();
    bytes = bytes - snapshotBytes(back) + snapshotBytes(current);
    to.push_back(std::move(current));
    return back;
}

std::optional<scene::SceneSnapshot> EditHistory::undo(scene::SceneSnapshot current) {
    return swap(undo_, redo_, std::move(current), bytes_);
}

std::optional<scene::SceneSnapshot> EditHistory::redo(scene::SceneSnapshot current) {
    return swap(redo_, undo_, std::move(current), bytes_);
}

}  // namespace input
