// Curved-track figures: the lowest release height from which a ball
// completes a vertical loop (the textbook rolling ball needs 2.7 (R - r)),
// for loops of floor radius 50 and 100 in all four turns.
#include <algorithm>
#include <array>

#include "Bench.h"
#include "physics/CurvedTrack.h"

namespace {

using namespace trackgeometry;

// Per radius, the threshold in each turn.
const std::array<float, 4>& loopThresholds(float radius) {
    static std::array<float, 4> r50{}, r100{};
    std::array<float, 4>& cached = radius < 75 ? r50 : r100;
    if (cached[0] == 0)
        for (int turn = 0; turn < 4; ++turn) cached[turn] = loopThreshold(Loop{radius, 30.0f, 60.0f}, turn);
    return cached;
}

double spreadPercent(const std::array<float, 4>& t) {
    const auto [lo, hi] = std::minmax_element(t.begin(), t.end());
    return 100.0 * (*hi - *lo) / *lo;
}

}  // namespace

BENCH_FIGURE(loop_min_release_over_R_minus_r_R50_turn0) { return loopThresholds(50)[0]; }
BENCH_FIGURE(loop_min_release_over_R_minus_r_R50_turn1) { return loopThresholds(50)[1]; }
BENCH_FIGURE(loop_min_release_over_R_minus_r_R50_turn2) { return loopThresholds(50)[2]; }
BENCH_FIGURE(loop_min_release_over_R_minus_r_R50_turn3) { return loopThresholds(50)[3]; }
BENCH_FIGURE(loop_min_release_over_R_minus_r_R100_turn0) { return loopThresholds(100)[0]; }
BENCH_FIGURE(loop_min_release_over_R_minus_r_R100_turn1) { return loopThresholds(100)[1]; }
BENCH_FIGURE(loop_min_release_over_R_minus_r_R100_turn2) { return loopThresholds(100)[2]; }
BENCH_FIGURE(loop_min_release_over_R_minus_r_R100_turn3) { return loopThresholds(100)[3]; }
// The case farthest from 2.7 and the largest spread between the turns.
BENCH_FIGURE(loop_min_release_over_R_minus_r) {
    float worst = 2.7f;
    for (float radius : {50.0f, 100.0f})
        for (float t : loopThresholds(radius))
            if (std::abs(t - 2.7f) > std::abs(worst - 2.7f)) worst = t;
    return worst;
}
BENCH_FIGURE(loop_turn_spread_percent) {
    return std::max(spreadPercent(loopThresholds(50)), spreadPercent(loopThresholds(100)));
}
