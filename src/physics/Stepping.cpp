#include "physics/Stepping.h"

namespace physics {

void stepPhysics(PhysicsWorld& world, double now, double& lastStepTime, bool followBall) {
    const float elapsed = static_cast<float>(now - lastStepTime);
    lastStepTime = now;
    // simulate returns with every pose and velocity at the end of its last
    // step, so readers of this frame see current values.
    world.simulate(followBall ? elapsed : 2.0f * elapsed);
}

}  // namespace physics
