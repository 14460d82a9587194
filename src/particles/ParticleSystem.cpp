#include "particles/ParticleSystem.h"

#include <algorithm>

namespace particles {

ParticleSystem::ParticleSystem() : life_(PARTICLE_CAPACITY, -1.0f) {}

void ParticleSystem::reset() {
    emissionRemainder_ = 0.0f;
    nextSlot_ = 0;
    std::fill(life_.begin(), life_.end(), -1.0f);
    ++resets_;
}

int ParticleSystem::liveCount() const {
    return static_cast<int>(std::count_if(life_.begin(), life_.end(), [](float l) { return l > 0.0f; }));
}

}  // namespace particles
