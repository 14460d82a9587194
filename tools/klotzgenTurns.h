// A wide turn for the klotz generator: a quarter turn over 2 x 2 cells whose
// groove is a round trough, so a ball turns by riding up its outer side
// instead of running into a wall (a ball turned by a wall loses a third of
// its speed or more). Its centre line is two clothoids meeting on the
// diagonal: the curvature grows from nothing at the entry to its most
// halfway and falls to nothing at the exit, so the ball climbs the bank and
// comes down again gradually and leaves near the trough's bottom.
#pragma once

#include <array>
#include <iterator>
#include <cmath>
#include <string>
#include <vector>

#include "klotzgenTrack.h"

namespace klotzgen {

// The trough's cross-section: chords of a circle of radius HALF (the
// groove's half width), its lowest point on the groove floor, finer where a
// ball rolls (the crease between two chords costs a ball crossing it a
// little speed), with the walls of a flat piece standing beyond its rims.
constexpr double TROUGH_RADIUS = 18, TROUGH_OUTER_RADIUS = 18;
constexpr double TROUGH_CHORDS[] = {-90, -80, -75, -70, -65, -60, -55, -50, -45, -40, -35, -30,
                                    -25, -20, -15, -10, -5,  0,   10,  30,  60,  90};

struct PathPoint {
    P2 at;
    double heading;  // radians, plan angle of travel
};

// The wide turn's centre line in the frame of its first cell, from the entry
// (-25, 0) heading +x to the exit (50, 75) heading +z, in `steps` pieces.
inline std::vector<PathPoint> wideTurnPath(int steps, int cellsWide) {
    const double c = 50.0 * (cellsWide - 1);  // the corner where entry and exit lines meet, (c, 0)
    // First half: a clothoid turning 45 degrees over length L, heading
    // (pi/4)(s/L)^2; L is found so that it ends on the diagonal x + z = 50.
    auto half = [](double L, double s) {
        const int n = 400;
        double x = -25, z = 0;
        for (int i = 0; i < n; ++i) {
            const double u = (i + 0.5) / n * s;
            const double h = PI / 4 * (u / L) * (u / L);
            x += std::cos(h) * s / n;
            z += std::sin(h) * s / n;
        }
        return P2{x, z};
    };
    double lo = 10, hi = 200;
    for (int i = 0; i < 60; ++i) {
        const double mid = (lo + hi) / 2;
        const P2 e = half(mid, mid);
        (e.x + e.z > c ? hi : lo) = mid;
    }
    const double L = (lo + hi) / 2;
    std::vector<PathPoint> path;
    for (int i = 0; i <= steps; ++i) {
        const double s = 2 * L * i / steps;
        if (s <= L) {
            path.push_back({half(L, s), PI / 4 * (s / L) * (s / L)});
        } else {
            // Mirrored about the diagonal: (x, z) -> (c - z, c - x).
            const P2 m = half(L, 2 * L - s);
            const double h = PI / 4 * ((2 * L - s) / L) * ((2 * L - s) / L);
            path.push_back({{c - m.z, c - m.x}, PI / 2 - h});
        }
    }
    path.back().at = {c, c + 25};  // exact, against rounding
    return path;
}

// A trough along `path`, cut into the cells of `cells` (centres in the
// frame of the first cell); piece k holds what lies in cell k, in its own
// frame. Every chord strip between two path points is split into two
// triangles, each the top of a prism down to the cell bottom.
inline void troughAlong(const std::vector<PathPoint>& path, std::vector<Piece>& pieces, const std::vector<P2>& cells) {
    const int chords = static_cast<int>(std::size(TROUGH_CHORDS)) - 1;
    auto side = [](const PathPoint& q) { return P2{-std::sin(q.heading), std::cos(q.heading)}; };
    auto point = [&](const PathPoint& q, double across, double y) {
        return V3{q.at.x + side(q).x * across, y, q.at.z + side(q).z * across};
    };
    auto chordPoint = [&](const PathPoint& q, int j) {
        const double a = TROUGH_CHORDS[j] * PI / 180;
        const double r = a < 0 ? TROUGH_OUTER_RADIUS : TROUGH_RADIUS;
        return point(q, r * std::sin(a), FLOOR + r * (1 - std::cos(a)));
    };
    // A prism down to the cell bottom under the triangle, cut into the cells.
    auto addTriangle = [&](const std::array<V3, 3>& t) {
        const V3 n = cross(t[1] - t[0], t[2] - t[0]);
        if (std::fabs(n.y) < 1e-9) return;  // upright: no plan to stand on
        auto top = [&](P2 q) { return t[0].y - (n.x * (q.x - t[0].x) + n.z * (q.z - t[0].z)) / n.y; };
        for (std::size_t k = 0; k < cells.size(); ++k) {
            const P2 o = cells[k];
            Poly2 plan = {{t[0].x, t[0].z}, {t[1].x, t[1].z}, {t[2].x, t[2].z}};
            plan = clip(plan, [&](P2 q) { return q.x - (o.x - 25); });
            plan = clip(plan, [&](P2 q) { return (o.x + 25) - q.x; });
            plan = clip(plan, [&](P2 q) { return q.z - (o.z - 25); });
            plan = clip(plan, [&](P2 q) { return (o.z + 25) - q.z; });
            for (P2& q : plan) q = {q.x - o.x, q.z - o.z};
            pieces[k].addPrism(plan, [](P2) { return BOTTOM; }, [&](P2 q) { return top({q.x + o.x, q.z + o.z}); });
        }
    };
    for (std::size_t i = 0; i + 1 < path.size(); ++i) {
        const PathPoint &p0 = path[i], &p1 = path[i + 1];
        for (int j = 0; j < chords; ++j) {
            const V3 a = chordPoint(p0, j), b = chordPoint(p0, j + 1), c = chordPoint(p1, j + 1), d = chordPoint(p1, j);
            addTriangle({a, b, c});
            addTriangle({a, c, d});
        }
        // The walls, level tops from the rims out to the cell faces' 25.
        for (double s : {-1.0, 1.0}) {
                // The outer wall rises to the cell top away from the openings:
                // a fast ball rides up it.
                auto top = [&](std::size_t k) {
                    const double u = std::min({1.0, 4.0 * k / (path.size() - 1), 4.0 * (path.size() - 1 - k) / (path.size() - 1)});
                    return s < 0 ? WALL + (TOP - WALL) * u * u * (3 - 2 * u) : WALL;
                };
                const double r = s < 0 ? TROUGH_OUTER_RADIUS : TROUGH_RADIUS, y0 = top(i), y1 = top(i + 1);
                addTriangle({point(p0, s * r, y0), point(p0, s * 25, y0), point(p1, s * 25, y1)});
                addTriangle({point(p0, s * r, y0), point(p1, s * 25, y1), point(p1, s * r, y1)});
            }
    }
}

// The wide turn over 3 x 3 cells: entry at x=-25 of the first part, exit
// at z=+25 of the last; every cell of the square the trough touches holds
// one part, in the order listed here (offsets from the first part); the
// bits of the inner rim in the two cells inside the bend are left off, so
// they stay free.
inline const std::vector<P2>& wideTurnCells() {
    static const std::vector<P2> cells = {{0, 0}, {50, 0}, {100, 0}, {50, 50}, {100, 50}, {100, 100}};
    return cells;
}

inline std::vector<Piece> wideTurnPieces() {
    const std::vector<P2>& cells = wideTurnCells();
    std::vector<Piece> pieces;
    for (std::size_t k = 0; k < cells.size(); ++k)
        pieces.emplace_back("turn_wide_" + std::to_string(k + 1),
                            "wide round-bottomed quarter turn over 3x3 cells, part " + std::to_string(k + 1) + " at x" +
                                number(cells[k].x) + " z" + number(cells[k].z) + " from part 1");
    troughAlong(wideTurnPath(27, 3), pieces, cells);
    return pieces;
}

}  // namespace klotzgen
