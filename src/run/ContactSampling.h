// What each start-cell ball touches after a step, read from the physics
// world's contact reports, feeding the run's outcomes.
#pragma once

#include <vector>

#include "physics/Physics.h"
#include "run/RunInsight.h"
#include "run/RunRecord.h"
#include "scene/SceneModel.h"

namespace run {

// What each start-cell ball touches at the end of the world's last step, in
// ball order: the klotz under it (of several, the one under it counts) and
// whether it touches the ground or a wall. touches is refilled.
void sampleTouches(const scene::SceneModel& model, const physics::PhysicsWorld& world,
                   std::vector<BallTouches>& touches);

// The samples of a recorded step, as the live step saw them: the record
// keeps what each start ball touched, its pose and velocity.
void samplesOfFrame(const std::vector<BallMoment>& frame, int balls, std::vector<BallSample>& samples);

}  // namespace run
