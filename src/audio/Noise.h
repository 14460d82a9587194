// The synthesiser's own noise: a small seeded generator, so the same events
// always give the same samples whatever else the program draws at random.
#pragma once

#include <cstdint>

namespace audio {

class Noise {
public:
    // Any seed serves; zero, which xorshift cannot leave, is moved off.
    explicit Noise(std::uint32_t seed = 1u) : state_(seed ? seed : 0x9e3779b9u) {}

    // Marsaglia's xorshift32: period 2^32 - 1, ample for audio noise.
    std::uint32_t bits() {
        state_ ^= state_ << 13;
        state_ ^= state_ >> 17;
        state_ ^= state_ << 5;
        return state_;
    }

    // Uniform in [-1, 1).
    float next() { return static_cast<float>(static_cast<std::int32_t>(bits())) * (1.0f / 2147483648.0f); }

    // Uniform in [low, high).
    float between(float low, float high) { return low + (high - low) * 0.5f * (next() + 1.0f); }

private:
    std::uint32_t state_;
};

}  // namespace audio
