// What each start-cell ball touches after a step, read from the physics
// world's contact reports, feeding the run's outcomes.
#pragma once

#include <vector>

#include "physics/Physics.h"
#include "run/RunInsight.h"
#include "run/RunRecord.h"
#include "scene/SceneModel.h"

namespace run {

// One sample per start-cell ball, in ball order, at the end of the world's
// last step. Of several kloetze a ball touches, the one under it counts.
std::vector<BallSample> sampleBalls(const scene::SceneModel& model, const physics::PhysicsWorld& world);

// The samples of a recorded step, as the live step saw them: the record
// keeps what each start ball touched, its pose and velocity.
void samplesOfFrame(const std::vector<BallMoment>& frame, int balls, std::vector<BallSample>& samples);

}  // namespace run
