// A vertical loop for the klotz generator. Its groove runs from the entry
// at x=-25 of its first cell along the floor to x=+25, round a circle of
// LOOP_RADIUS in the x-y plane (its lowest point there) that drifts one
// cell along +z as it goes, so the way out passes beside the way in, and on
// along the floor to the exit at x=+75, z=+50. Its cross-section is round
// (radius HALF, -75..75 degrees in 10 chords) under a shell 3 thick, cut into the 2 x 2
// x 2 cells it spans. The ball needs speed to stay on the groove over the
// top: the README says from what height.
#pragma once

#include <algorithm>
#include <array>
#include <cmath>
#include <string>
#include <vector>

#include "klotzgenTrack.h"

namespace klotzgen {

constexpr double LOOP_RADIUS = 42;  // of the groove bottom; the top stays one level up
constexpr double LOOP_SHIFT = 50;   // sideways, one cell
constexpr double LOOP_SHELL = 3;

// The part of the convex hull of pts where dot(n, p) <= d: the points there
// and where the segments between two points cross the plane.
inline std::vector<V3> clipHull(const std::vector<V3>& pts, V3 n, double d) {
    std::vector<V3> out;
    for (std::size_t i = 0; i < pts.size(); ++i) {
        const double si = dot(n, pts[i]) - d;
        if (si <= 0) out.push_back(pts[i]);
        for (std::size_t j = i + 1; j < pts.size(); ++j) {
            const double sj = dot(n, pts[j]) - d;
            if ((si < 0 && sj > 0) || (si > 0 && sj < 0)) out.push_back(pts[i] + (pts[j] - pts[i]) * (si / (si - sj)));
        }
    }
    // Points closer than 0.05 are one: keeps the hull small and free of
    // slivers whose faces have no clear direction.
    std::vector<V3> unique;
    for (const V3& p : out) {
        bool dup = false;
        for (const V3& q : unique) dup = dup || length(p - q) < 0.05;
        if (!dup) unique.push_back(p);
    }
    return unique;
}

// The cells of the loop (offsets from the first part: x, level * 50, z).
inline const std::vector<V3>& loopCells() {
    static const std::vector<V3> cells = {{0, 0, 0},  {50, 0, 0},  {50, 50, 0},  {0, 50, 0},
                                          {0, 50, 50}, {50, 50, 50}, {0, 0, 50}, {50, 0, 50}};
    return cells;
}

inline std::vector<Piece> loopPieces() {
    const std::vector<V3>& cells = loopCells();
    std::vector<Piece> pieces;
    for (std::size_t k = 0; k < cells.size(); ++k)
        pieces.emplace_back("loop_" + std::to_string(k + 1),
                            "vertical loop over 2x2x2 cells, part " + std::to_string(k + 1) + " at x" +
                                number(cells[k].x) + " y" + number(cells[k].y) + " z" + number(cells[k].z) +
                                " from part 1");
    // A convex part cut into the cells.
    auto add = [&](const std::vector<V3>& part) {
        for (std::size_t k = 0; k < cells.size(); ++k) {
            const V3 o = cells[k];
            std::vector<V3> p = part;
            for (int axis = 0; axis < 3 && p.size() >= 4; ++axis) {
                V3 n{axis == 0 ? 1.0 : 0.0, axis == 1 ? 1.0 : 0.0, axis == 2 ? 1.0 : 0.0};
                const double c = dot(n, o);
                p = clipHull(p, n, c + 25);
                p = clipHull(p, n * -1.0, -(c - 25));
            }
            if (p.size() < 4) continue;
            // Slivers a cell face cuts off are left out: too thin to hull reliably.
            V3 lo = p[0], hi = p[0];
            for (const V3& q : p) {
                lo = {std::min(lo.x, q.x), std::min(lo.y, q.y), std::min(lo.z, q.z)};
                hi = {std::max(hi.x, q.x), std::max(hi.y, q.y), std::max(hi.z, q.z)};
            }
            if (std::min({hi.x - lo.x, hi.y - lo.y, hi.z - lo.z}) < 0.05) continue;
            for (V3& q : p) q = q - o;
            pieces[k].addCheckedHull(p);
        }
    };
    // The groove's centre line: bottom point, inward normal, sideways unit.
    struct Frame {
        V3 at, in, side;
    };
    auto loopFrame = [](double phi) {
        const V3 at{25 + LOOP_RADIUS * std::sin(phi), FLOOR + LOOP_RADIUS * (1 - std::cos(phi)),
                    LOOP_SHIFT * phi / (2 * PI)};
        const V3 in{-std::sin(phi), std::cos(phi), 0};
        const V3 t{LOOP_RADIUS * std::cos(phi), LOOP_RADIUS * std::sin(phi), LOOP_SHIFT / (2 * PI)};
        V3 side = cross(t, in);
        return Frame{at, in, side * (1 / length(side))};
    };
    std::vector<Frame> path;
    path.push_back({{-25, FLOOR, 0}, {0, 1, 0}, loopFrame(0).side});
    const int steps = 60;  // 6 degrees each
    for (int i = 0; i <= steps; ++i) path.push_back(loopFrame(2 * PI * i / steps));
    path.push_back({{75, FLOOR, LOOP_SHIFT}, {0, 1, 0}, loopFrame(2 * PI).side});
    const int arc = 10;
    auto surface = [&](const Frame& f, int j, double out) {
        const double a = (-75 + 150.0 * j / arc) * PI / 180;
        return f.at + f.in * (HALF * (1 - std::cos(a)) - out) + f.side * (HALF * std::sin(a));
    };
    for (std::size_t i = 0; i + 1 < path.size(); ++i)
        for (int j = 0; j < arc; ++j) {
            // Two triangular slabs, as the quad between them need not be flat.
            const std::array<std::pair<int, int>, 4> quad = {{{0, j}, {0, j + 1}, {1, j + 1}, {1, j}}};
            for (const std::array<int, 3>& tri : {std::array<int, 3>{0, 1, 2}, std::array<int, 3>{0, 2, 3}}) {
                std::vector<V3> part;
                for (int t : tri)
                    for (double out : {0.0, LOOP_SHELL})
                        part.push_back(surface(path[i + quad[t].first], quad[t].second, out));
                add(part);
            }
        }
    // The straights' walls, like a flat piece's, beside the round groove.
    for (double z : {-25.0, HALF}) {
        add({{-25, BOTTOM, z}, {25, BOTTOM, z}, {-25, WALL, z}, {25, WALL, z},
             {-25, BOTTOM, z + 25 - HALF}, {25, BOTTOM, z + 25 - HALF}, {-25, WALL, z + 25 - HALF}, {25, WALL, z + 25 - HALF}});
        const double z1 = z + LOOP_SHIFT;
        add({{25, BOTTOM, z1}, {75, BOTTOM, z1}, {25, WALL, z1}, {75, WALL, z1},
             {25, BOTTOM, z1 + 25 - HALF}, {75, BOTTOM, z1 + 25 - HALF}, {25, WALL, z1 + 25 - HALF}, {75, WALL, z1 + 25 - HALF}});
    }
    return pieces;
}

}  // namespace klotzgen
