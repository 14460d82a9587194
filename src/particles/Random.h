// The process-wide pseudo-random generator behind the sparks and the ring
// emission point: integers 0..32767, seeded once with the calendar time when
// the particle system is made. Anything that needs a different sequence
// (tests) hands the particle system its own RandomSource instead.
#pragma once

#include <cstdint>
#include <functional>

namespace particles {

constexpr int RANDOM_MAX = 32767;

// Yields integers 0..RANDOM_MAX; values outside are clamped by the user.
using RandomSource = std::function<int()>;

// The next value of the process-wide generator, 0..RANDOM_MAX.
int processRandom();

// Restarts the process-wide sequence; the same seed gives the same values.
void seedProcessRandom(std::uint32_t seed);

// Seeds with the calendar time in seconds, only the first time it is called
// in the process; later calls leave the sequence alone.
void seedProcessRandomOnce();

}  // namespace particles
