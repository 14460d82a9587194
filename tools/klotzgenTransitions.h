// Smooth transitions between the 45-degree slope and flat track, for the
// klotz generator. A ball meets a sharp kink from ramp to flat as a blow
// (it loses about a seventh of its speed there) and flies off a sharp top
// edge; these pieces bend the floor instead. Both are sets of pieces in a
// row along +x, because neither bend fits in one cell:
// - concave (sag): a bend from slope -1 to 0 lies above the ramp's line, so
//   it cannot also end at a flat piece's floor within the 50 units a slope
//   needs to drop one level;
// - convex (crest): a ball can follow a floor bending down only as fast as
//   gravity pulls it across the floor. At 250 units/s a ball thrown level
//   needs 156 units along to turn 45 degrees, so the crest is 4 cells long
//   and drops 2 levels.
// Each set is described by its floor height along its run u (0 at the
// entry face of its first cell, one cell is 50), relative to the entry
// floor, and by how many levels below the entry level each cell sits.
#pragma once

#include <cmath>
#include <string>
#include <vector>

#include "klotzgenTrack.h"

namespace klotzgen {

constexpr int FLOOR_SEGMENTS = 80;  // per cell

struct FloorRun {
    std::function<double(double)> height;  // floor at run u, relative to the entry floor
    std::vector<int> levelsDown;           // per cell, how far below the entry level it stands
    std::vector<double> bends;             // u where the floor's curvature changes: sampled exactly
};

// Cell i of a run: the groove floor follows the run's height, with walls
// like the slope's (see profiledWalls).
inline Piece runCell(const std::string& name, const std::string& summary, const FloorRun& run, int i) {
    Piece p(name, summary);
    const double u0 = 50.0 * i;
    const double lift = 50.0 * run.levelsDown[i];
    auto floorAt = [&](double x) { return FLOOR + run.height(x + 25 + u0) + lift; };
    // Fine floor segments: a ball crossing a crease between two of them
    // meets a small kink, and the smaller the kink the less it notices.
    std::vector<double> xs = samples(-25, 25, FLOOR_SEGMENTS);
    for (double u : run.bends)
        if (u > u0 && u < u0 + 50) xs.push_back(u - u0 - 25);
    std::sort(xs.begin(), xs.end());
    profiledFloor(p, xs, floorAt);
    // The walls need no such care.
    profiledWalls(p, samples(-25, 25, 10), floorAt);
    return p;
}

// Concave: the 45-degree ramp line y = -u (through the slope's lip at u = 0)
// and the flat floor y = -50 meet at u = 50; a circle tangent to both, 50
// units from that corner along each, joins them with radius 50 tan 67.5 =
// 121 (the largest that fits two cells: a ball rolling along it is pressed
// 0.6 g harder onto the floor at 250 units/s). Both cells stand one level
// below the entry, where the slope it replaces would.
inline FloorRun sagRun() {
    const double corner = 50, tangent = 50;
    const double radius = tangent * std::tan(67.5 * PI / 180);
    const double start = corner - tangent / std::sqrt(2.0);
    return {[=](double u) {
                if (u <= start) return -u;
                const double dx = u - (corner + tangent);
                return -50 + radius - std::sqrt(radius * radius - dx * dx);
            },
            {1, 1},
            {start}};
}

// Convex: the floor's slope s = -dy/du grows from 0 to 1 over u = 0..200
// while the floor drops 100 (two levels), with its rate of bending ds/du
// interpolated between these values at u = 0, 25, .., 200 (per unit run).
// A ball rolling in at 250 units/s is held on a floor bending at ds/du only
// while gravity's pull across it, g cos a, exceeds v^2 times the floor's
// curvature, i.e. ds/du <= g (1 + s^2) / v^2 with v the speed it has
// gained so far; these rates keep to that everywhere (the ball's own radius
// adds 5 % margin) while the floor stays inside each cell's plate: the first
// cell drops 3.2 (it stands on the entry level), the middle two end 1 unit
// above their cell bottom, one level down, and the last stands two down.
inline FloorRun crestRun() {
    static const double RATE[9] = {0.00157, 0.00269, 0.006452, 0.006489, 0.006756,
                                   0.006836, 0.007204, 0.001759, 0.002058};
    const int n = 8000;
    const double du = 200.0 / n;
    auto rate = [](double u) {
        const int k = std::min(static_cast<int>(u / 25), 7);
        const double t = (u - 25 * k) / 25;
        return RATE[k] * (1 - t) + RATE[k + 1] * t;
    };
    // Slope and height by the midpoint rule; then scaled to end at slope 1,
    // and the height corrected to end at exactly -100 with a smooth step
    // that leaves the slopes at both ends alone.
    std::vector<double> slope(n + 1, 0.0), height(n + 1, 0.0);
    for (int j = 0; j < n; ++j) slope[j + 1] = slope[j] + rate((j + 0.5) * du) * du;
    const double scale = 1 / slope[n];
    for (int j = 0; j < n; ++j) height[j + 1] = height[j] - (slope[j] + slope[j + 1]) / 2 * scale * du;
    const double miss = -100 - height[n];
    for (int j = 0; j <= n; ++j) {
        const double t = static_cast<double>(j) / n;
        height[j] += miss * t * t * (3 - 2 * t);
    }
    return {[=](double u) {
                if (u <= 0) return 0.0;
                if (u >= 200) return -100 - (u - 200);
                const double f = u / du;
                const int j = std::min(static_cast<int>(f), n - 1);
                return height[j] + (height[j + 1] - height[j]) * (f - j);
            },
            {0, 1, 1, 2},
            {}};
}

inline std::vector<Piece> sagPieces() {
    const FloorRun run = sagRun();
    return {runCell("sag_1",
                    "concave bend, first half: a slope curving flatter; entry lip x=-25 y=+29, on to sag_2",
                    run, 0),
            runCell("sag_2", "concave bend, second half: from sag_1 at x=-25 into flat track at x=+25", run, 1)};
}

inline std::vector<Piece> crestPieces() {
    const FloorRun run = crestRun();
    std::vector<Piece> out;
    const char* role[4] = {"flat track at x=-25 starts to bend down",
                           "one level down, entry lip at x=-25", "bends on", "two levels down, 45 degrees at x=+25"};
    for (int i = 0; i < 4; ++i)
        out.push_back(runCell("crest_" + std::to_string(i + 1),
                              "convex bend, part " + std::to_string(i + 1) + " of 4: " + role[i], run, i));
    return out;
}

}  // namespace klotzgen
