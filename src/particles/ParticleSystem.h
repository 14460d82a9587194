// The spark effect attached to one ball. Until the effect itself is built,
// only its slots and reset exist, which the keys and the simulation start use.
#pragma once

#include <vector>

namespace particles {

constexpr int PARTICLE_CAPACITY = 3600;
constexpr float EMISSION_RATE = 1200.0f;  // particles per second

class ParticleSystem {
public:
    ParticleSystem();
    // Kills every particle at once.
    void reset();
    int liveCount() const;
    int resetCount() const { return resets_; }

private:
    std::vector<float> life_;
    float emissionRemainder_ = 0.0f;
    int nextSlot_ = 0;
    int resets_ = 0;
};

}  // namespace particles
