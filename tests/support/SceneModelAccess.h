// Writable views of a scene model's private lists, for tests that build a
// model by hand or break its invariants on purpose.
#pragma once

#include "scene/SceneModel.h"

namespace scene {

struct SceneModelAccess {
    static auto& cellBallStart(SceneModel& m) { return m.cellBallStart_; }
    static auto& cellStack(SceneModel& m) { return m.cellStack_; }
    static auto& placedDisplayLists(SceneModel& m) { return m.placedDisplayLists_; }
    static auto& placedPoses(SceneModel& m) { return m.placedPoses_; }
    static auto& placedActors(SceneModel& m) { return m.placedActors_; }
    static auto& placedTypes(SceneModel& m) { return m.placedTypes_; }
    static auto& ballStarts(SceneModel& m) { return m.ballStarts_; }
    static auto& ballActors(SceneModel& m) { return m.ballActors_; }
    static auto& shotBalls(SceneModel& m) { return m.shotBalls_; }
    static auto& typeMeshes(SceneModel& m) { return m.typeMeshes_; }
};

}  // namespace scene
