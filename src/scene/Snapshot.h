// The scene as a scene file holds it, for the undo history and for knowing
// whether there is unsaved work: restoring one goes through the same build
// path as loading and reproduces the saved file bit for bit.
#pragma once

#include <cstddef>

#include "scene/SceneFile.h"

namespace scene {

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

}  // namespace scene
