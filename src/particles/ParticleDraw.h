// Drawing the sparks with OpenGL: one flat square of 2 * halfSize per live
// particle, newest first, in the colour of its remaining life, unlit and
// blended. The camera lives in the projection matrix, so the model-view
// identity is world space.
#pragma once

#include "particles/ParticleSystem.h"

namespace particles {

// Precondition: a GL context is current and the blend function is
// (source alpha, one minus source alpha). Leaves culling, blending,
// lighting, texturing, the current colour and the matrices as it found them.
void drawParticles(const ParticleSystem& system);

}  // namespace particles
