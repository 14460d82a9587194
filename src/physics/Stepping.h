// One simulation step per drawn frame: the real time since the previous
// step, doubled while the camera watches from outside, goes to the world.
#pragma once

#include "physics/Physics.h"

namespace physics {

// now and lastStepTime are seconds of the frame clock; lastStepTime becomes
// now. The world advances by (now - lastStepTime) as float seconds, times 2
// unless followBall (the camera riding a ball plays at real speed).
void stepPhysics(PhysicsWorld& world, double now, double& lastStepTime, bool followBall);

}  // namespace physics
