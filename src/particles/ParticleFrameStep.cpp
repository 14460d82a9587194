#include "particles/ParticleFrameStep.h"

namespace particles {

void particleFrameStep(ParticleSystem& system, double now, double& particleTime, glm::vec3 ballPosition,
                       glm::vec3 ballVelocity) {
    const float dt = static_cast<float>(now - particleTime);
    particleTime = now;
    system.update(dt, ballPosition, ballVelocity, FRAME_MIN_SPEED, FRAME_MAX_SPEED, FRAME_MIN_ANGLE,
                  FRAME_MAX_ANGLE);
}

}  // namespace particles
