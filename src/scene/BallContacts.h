// What each start-cell ball touches after a step, for the run insight: the
// placed klotz under it, or the ground or a wall.
#pragma once

#include <vector>

#include <glm/glm.hpp>

#include "physics/Physics.h"
#include "scene/RunInsight.h"
#include "scene/SceneModel.h"

namespace scene {

// A ball whose surface comes this close to a klotz or plane touches it.
constexpr float CONTACT_GAP = 1.5f;  // world units

// Index of the placed klotz whose cell level holds a surface point, or -1.
// A point on a cell's or level's boundary belongs to either side.
int klotzAtSurface(const SceneModel& model, glm::vec3 point);

// One sample per start-cell ball, in ball order.
std::vector<BallSample> sampleBalls(const SceneModel& model, const physics::PhysicsWorld& world);

// Samples the balls and feeds the insight at the world's current time.
void observeWorld(RunInsight& insight, const SceneModel& model, const physics::PhysicsWorld& world);

}  // namespace scene
