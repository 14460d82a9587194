// The particle step of simulation mode, once per drawn frame while the
// effect is on and the simulation runs unpaused: the sparks come from the
// ball itself and spray over the whole sphere of directions around it.
#pragma once

#include <glm/glm.hpp>

#include "particles/ParticleSystem.h"

namespace particles {

constexpr float FRAME_MIN_SPEED = 0.0f;  // units/s
constexpr float FRAME_MAX_SPEED = 18.0f;
constexpr float FRAME_MIN_ANGLE = 0.0f;  // degrees
constexpr float FRAME_MAX_ANGLE = 180.0f;

// Updates the system by the time since particleTime (seconds of the frame
// clock) and renews particleTime to now. ballPosition and ballVelocity are
// the followed ball's global position and linear velocity.
void particleFrameStep(ParticleSystem& system, double now, double& particleTime, glm::vec3 ballPosition,
                       glm::vec3 ballVelocity);

}  // namespace particles
