// A wide turn for the klotz generator: a quarter turn over 3 x 3 cells whose
// groove is a round trough, so a ball turns by riding up its outer side
// instead of running into a wall (a ball turned by a wall loses a third of
// its speed or more). The curvature of its centre line grows from nothing
// at the entry to its most near halfway and falls to nothing at the exit,
// so the ball climbs the bank and comes down again gradually and leaves near
// the trough's bottom. As the bend sharpens, the trough's outer side banks:
// it tightens into a small round that turns into a steep, nearly flat bank,
// so a fast ball rides up a smooth surface instead of climbing past a rim
// onto an upright wall (it kept under two thirds of its speed at 250
// units/s that way).
#pragma once

#include <algorithm>
#include <array>
#include <iterator>
#include <cmath>
#include <string>
#include <vector>

#include "klotzgenTrack.h"

namespace klotzgen {

// The trough's cross-section, from the outer rim across to the inner one:
// at the openings a circle of radius TROUGH_RADIUS, its lowest point on the
// groove floor, in chords finer where a ball rolls (the crease between two
// chords costs a ball crossing it a little speed). Where the path bends the
// outer side banks: up to TROUGH_BANK_START degrees it is a circle of radius
// down to TROUGH_BANK_ROUND, beyond that an arc of radius up to
// TROUGH_BANK_RADIUS tangent to it, steep and nearly flat. A fast ball hugs
// the tight round and rides the steep bank instead of swinging wide across a
// broad trough and up onto a wall (found by trying: a broader trough or a
// gentler bank lets it climb too far to come down by the exit).
constexpr double TROUGH_RADIUS = 16, TROUGH_BANK_ROUND = 9.5, TROUGH_BANK_RADIUS = 34, TROUGH_BANK_START = 64;
constexpr double TROUGH_OUTER[] = {0, 5, 10, 15, 20, 25, 30, 35, 40, 45, 50, 55, 60, 65, 70, 75, 80, 85, 90};
constexpr double TROUGH_INNER[] = {10, 30, 60, 90};
// Shares of the path over which the bank grows from the entry and shrinks
// to the exit, and the same for the outer wall's rise to the cell top.
constexpr double BANK_IN = 0.1, BANK_OUT = 0.35, WALL_IN = 0.1, WALL_OUT = 0.35;
// The curvature along the centre line: it grows over CURVE_RISE of the bend
// that is not held at its most over CURVE_HOLD, and falls over the rest.
constexpr double CURVE_RISE = 0.5, CURVE_HOLD = 0.2;
// How far out from the path the outer wall's top reaches (cut at the cells).
constexpr double TROUGH_OUTER_REACH = 50;

struct SectionPoint {
    double across, height;  // across: toward the inner side; height above the floor
};

// The cross-section where the bank has grown to `bank` (0: plain circle,
// 1: full).
inline std::vector<SectionPoint> troughSection(double bank) {
    const double r1 = TROUGH_RADIUS + (TROUGH_BANK_ROUND - TROUGH_RADIUS) * bank;
    const double r2 = TROUGH_RADIUS + (TROUGH_BANK_RADIUS - TROUGH_RADIUS) * bank;
    const double b = TROUGH_BANK_START * PI / 180;
    std::vector<SectionPoint> section;
    for (auto it = std::rbegin(TROUGH_OUTER); it != std::rend(TROUGH_OUTER); ++it) {
        const double a = *it * PI / 180;
        if (a <= b)
            section.push_back({-r1 * std::sin(a), r1 * (1 - std::cos(a))});
        else
            section.push_back({-(r1 * std::sin(b) + r2 * (std::sin(a) - std::sin(b))),
                               r1 * (1 - std::cos(b)) + r2 * (std::cos(b) - std::cos(a))});
    }
    for (double deg : TROUGH_INNER) {
        const double a = deg * PI / 180;
        section.push_back({TROUGH_RADIUS * std::sin(a), TROUGH_RADIUS * (1 - std::cos(a))});
    }
    return section;
}

struct PathPoint {
    P2 at;
    double heading;  // radians, plan angle of travel
};

// The wide turn's centre line in the frame of its first cell, from the entry
// (-25, 0) heading +x to the exit (c, c + 25) heading +z, c = 50 (cellsWide
// - 1), in `steps` pieces of equal length: the bend, scaled as large as
// fits, and a straight before or after it where it is lopsided.
inline std::vector<PathPoint> wideTurnPath(int steps, int cellsWide) {
    const double reach = 50.0 * (cellsWide - 1) + 25;  // from the entry to the corner, and on to the exit
    const double up = (1 - CURVE_HOLD) * CURVE_RISE, down = (1 - CURVE_HOLD) * (1 - CURVE_RISE);
    auto shape = [=](double u) { return u < up ? u / up : u > 1 - down ? (1 - u) / down : 1.0; };
    const int table = 4000;
    std::vector<double> turned(table + 1, 0.0);
    for (int i = 0; i < table; ++i) turned[i + 1] = turned[i] + shape((i + 0.5) / table) / table;
    // Heading along the bend scaled to length 1.
    auto heading = [=](double u) {
        const double t = std::clamp(u, 0.0, 1.0) * table;
        const int i = std::min(table - 1, static_cast<int>(t));
        return PI / 2 * (turned[i] + (turned[i + 1] - turned[i]) * (t - i)) / turned[table];
    };
    auto curved = [&](double u) {
        const int n = 400;
        double x = 0, z = 0;
        for (int i = 0; i < n; ++i) {
            const double h = heading((i + 0.5) / n * u);
            x += std::cos(h) * u / n;
            z += std::sin(h) * u / n;
        }
        return P2{x, z};
    };
    const P2 unit = curved(1);
    const double len = std::min(reach / unit.x, reach / unit.z);
    const double before = reach - len * unit.x, after = reach - len * unit.z;
    const double total = before + len + after;
    std::vector<PathPoint> path;
    for (int i = 0; i <= steps; ++i) {
        const double s = total * i / steps;
        if (s <= before) {
            path.push_back({{-25 + s, 0}, 0});
        } else if (s <= before + len) {
            const P2 e = curved((s - before) / len);
            path.push_back({{-25 + before + len * e.x, len * e.z}, heading((s - before) / len)});
        } else {
            path.push_back({{reach - 25, reach - after + (s - before - len)}, PI / 2});
        }
    }
    path.back().at = {reach - 25, reach};  // exact, against rounding
    return path;
}

// How far the bank or the outer wall has grown at path point k of n: from
// nothing at the entry to full over the share `in` of the path, and back to
// nothing over the share `out` before the exit, smoothly.
inline double bendShare(std::size_t k, std::size_t n, double in, double out) {
    const double u = std::min({1.0, k / (in * n), (n - k) / (out * n)});
    return u * u * (3 - 2 * u);
}

// A trough along `path`, cut into the cells of `cells` (centres in the
// frame of the first cell); piece k holds what lies in cell k, in its own
// frame. Every chord strip between two path points is split into two
// triangles, each the top of a prism down to the cell bottom.
inline void troughAlong(const std::vector<PathPoint>& path, std::vector<Piece>& pieces, const std::vector<P2>& cells) {
    const std::size_t n = path.size() - 1;
    std::vector<std::vector<SectionPoint>> sections;
    for (std::size_t k = 0; k <= n; ++k) sections.push_back(troughSection(bendShare(k, n, BANK_IN, BANK_OUT)));
    auto side = [](const PathPoint& q) { return P2{-std::sin(q.heading), std::cos(q.heading)}; };
    auto point = [&](const PathPoint& q, double across, double y) {
        return V3{q.at.x + side(q).x * across, y, q.at.z + side(q).z * across};
    };
    auto sectionPoint = [&](std::size_t k, std::size_t j) {
        return point(path[k], sections[k][j].across, FLOOR + sections[k][j].height);
    };
    // A prism down to the cell bottom under the triangle, cut into the cells.
    auto addTriangle = [&](const std::array<V3, 3>& t) {
        const V3 nrm = cross(t[1] - t[0], t[2] - t[0]);
        if (std::fabs(nrm.y) < 1e-9) return;  // upright: no plan to stand on
        auto top = [&](P2 q) { return t[0].y - (nrm.x * (q.x - t[0].x) + nrm.z * (q.z - t[0].z)) / nrm.y; };
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
    for (std::size_t i = 0; i < n; ++i) {
        const PathPoint &p0 = path[i], &p1 = path[i + 1];
        for (std::size_t j = 0; j + 1 < sections[i].size(); ++j) {
            const V3 a = sectionPoint(i, j), b = sectionPoint(i, j + 1), c = sectionPoint(i + 1, j + 1),
                     d = sectionPoint(i + 1, j);
            addTriangle({a, b, c});
            addTriangle({a, c, d});
        }
        // Level tops from the rims outward: the inner wall stands as high as
        // a flat piece's; the outer one rises to the cell top away from the
        // openings, and never below the bank's rim.
        for (bool outer : {true, false}) {
            auto rim = [&](std::size_t k) { return outer ? sections[k].front() : sections[k].back(); };
            auto top = [&](std::size_t k) {
                return outer ? std::max(FLOOR + rim(k).height, WALL + (TOP - WALL) * bendShare(k, n, WALL_IN, WALL_OUT))
                             : WALL;
            };
            const double far = outer ? -TROUGH_OUTER_REACH : 25, y0 = top(i), y1 = top(i + 1);
            const V3 r0 = point(p0, rim(i).across, y0), r1 = point(p1, rim(i + 1).across, y1);
            addTriangle({r0, point(p0, far, y0), point(p1, far, y1)});
            addTriangle({r0, point(p1, far, y1), r1});
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
