// What each start-cell ball touches after a step, read from the physics
// world's contact reports, feeding the run insight.
#pragma once

#include <vector>

#include "klotz/Catalogue.h"
#include "physics/Physics.h"
#include "scene/RunInsight.h"
#include "scene/SceneModel.h"

namespace scene {

// Starts the insight on a run from the world's current step and has the
// world report contacts from now on.
void startRunInsight(RunInsight& insight, const SceneModel& model, const klotz::KlotzCatalogue& catalogue,
                     physics::PhysicsWorld& world);

// One sample per start-cell ball, in ball order, at the end of the world's
// last step. Of several kloetze a ball touches, the one under it counts.
std::vector<BallSample> sampleBalls(const SceneModel& model, const physics::PhysicsWorld& world);

// Samples the balls and feeds the insight at the world's current time.
void observeWorld(RunInsight& insight, const SceneModel& model, const physics::PhysicsWorld& world);

}  // namespace scene
