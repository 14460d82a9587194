#include "particles/Random.h"

#include <ctime>

namespace particles {

namespace {

// The classic C library linear congruential generator: 15 useful bits per
// call, the same on every platform.
std::uint32_t state = 1;
bool seeded = false;

}  // namespace

int processRandom() {
    state = state * 1103515245u + 12345u;
    return static_cast<int>((state >> 16) & 0x7fffu);
}

void seedProcessRandom(std::uint32_t seed) {
    state = seed;
    seeded = true;
}

void seedProcessRandomOnce() {
    if (seeded) return;
    seedProcessRandom(static_cast<std::uint32_t>(std::time(nullptr)));
}

}  // namespace particles
