// The pseudo-random generator behind the sparks and the ring emission point:
// integers 0..32767. The particle system owns one, seeded once with the
// calendar time when it is made; tests hand it a source of their own.
#pragma once

#include <cstdint>
#include <functional>

namespace particles {

constexpr int RANDOM_MAX = 32767;

// Yields integers 0..RANDOM_MAX; values outside are clamped by the user.
using RandomSource = std::function<int()>;

// The classic C library linear congruential generator: 15 useful bits per
// call, the same on every platform.
class Random {
public:
    explicit Random(std::uint32_t seed) : state_(seed) {}
    int next() {
        state_ = state_ * 1103515245u + 12345u;
        return static_cast<int>((state_ >> 16) & 0x7fffu);
    }

private:
    std::uint32_t state_;
};

// A generator seeded with the calendar time in seconds.
RandomSource timeSeededRandom();

}  // namespace particles
