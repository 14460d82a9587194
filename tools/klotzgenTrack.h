// The track convention of the klotz generator (see klotzgen.cpp) as
// constants, and the groove, wall and floor shapes several pieces share.
// Units: world units (cell 50), local frame of the cell, y up.
#pragma once

#include <algorithm>
#include <cmath>
#include <functional>
#include <vector>

#include "klotzgenGeom.h"

namespace klotzgen {

constexpr double BOTTOM = -25;  // cell bottom
constexpr double TOP = 25;      // cell top
constexpr double FLOOR = -21;   // groove floor surface
constexpr double WALL = 0;      // wall tops of the flat pieces
constexpr double HALF = 12;     // half groove width
constexpr double LIP = 29;      // slope entry floor: FLOOR + 50

// Walls on both sides of a groove along x from x0 to x1.
inline void sideWalls(Piece& p, double x0, double x1, double top = WALL) {
    p.addBox(x0, x1, BOTTOM, top, HALF, 25);
    p.addBox(x0, x1, BOTTOM, top, -25, -HALF);
}

// A groove floor along x following floorAt between the sample positions xs.
inline void profiledFloor(Piece& p, const std::vector<double>& xs, const std::function<double(double)>& floorAt) {
    for (std::size_t i = 0; i + 1 < xs.size(); ++i) {
        double x0 = xs[i], x1 = xs[i + 1];
        double y0 = floorAt(x0), y1 = floorAt(x1);
        std::vector<V3> pts;
        for (double z : {-HALF, HALF}) {
            pts.push_back({x0, BOTTOM, z});
            pts.push_back({x1, BOTTOM, z});
            pts.push_back({x0, y0, z});
            pts.push_back({x1, y1, z});
        }
        p.addHull(pts);
    }
}

// Walls on both sides of a groove along x whose floor follows floorAt,
// between the sample positions xs: 21 above the floor like a flat piece's,
// clipped at the cube top (y = 25) but never below the floor, so where the
// floor is above the top they are level with it. Their tops are straight
// between samples: put the samples where the clipping starts or ends.
inline void profiledWalls(Piece& p, const std::vector<double>& xs, const std::function<double(double)>& floorAt) {
    auto wallTop = [&](double x) { return std::max(std::min(floorAt(x) + (WALL - FLOOR), TOP), floorAt(x)); };
    for (std::size_t i = 0; i + 1 < xs.size(); ++i)
        for (double z0 : {HALF, -25.0}) {
            std::vector<V3> pts;
            for (double x : {xs[i], xs[i + 1]})
                for (double z : {z0, z0 + 25 - HALF}) {
                    pts.push_back({x, BOTTOM, z});
                    pts.push_back({x, wallTop(x), z});
                }
            p.addHull(pts);
        }
}

inline std::vector<double> samples(double x0, double x1, int n) {
    std::vector<double> xs;
    for (int i = 0; i <= n; ++i) xs.push_back(x0 + (x1 - x0) * i / n);
    return xs;
}

// Quarter turn around corner c from plan angle a0 to a1 (degrees): groove
// radii 13..37, so it meets the two faces through c at their centres.
inline void quarterTurn(Piece& p, P2 c, double a0, double a1, const Poly2& region, bool innerWall = true) {
    const int n = 10;
    for (int i = 0; i < n; ++i) {
        double b0 = a0 + (a1 - a0) * i / n, b1 = a0 + (a1 - a0) * (i + 1) / n;
        Poly2 floor = ringSegment(c, 25 - HALF, 25 + HALF, std::min(b0, b1), std::max(b0, b1));
        for (std::size_t k = 0; k < region.size(); ++k) {
            P2 e0 = region[k], e1 = region[(k + 1) % region.size()];
            // region is counter-clockwise in (x, z): keep the left side.
            floor = clip(floor, [&](P2 q) { return (e1.x - e0.x) * (q.z - e0.z) - (e1.z - e0.z) * (q.x - e0.x); });
        }
        p.addPrism(floor, BOTTOM, FLOOR);
        p.addPrism(outsideChord(region, c, 25 + HALF, std::min(b0, b1), std::max(b0, b1)), BOTTOM, WALL);
    }
    if (innerWall) p.addPrism(pie(c, 25 - HALF, std::min(a0, a1), std::max(a0, a1), n), BOTTOM, WALL);
}

// The slope's floor: one plane falling 45 degrees along +x, y = 4 - x, so a
// chain of slopes (each one cell on and one level down) is one straight
// ramp, and its foot meets a flat piece's floor at y = -21.
inline double slopeFloor(double x) { return LIP - (x + 25); }

// Entries at x=-25 (straight on) and at z=+25 (from the side), one exit at
// x=+25; mirrored, the side entry is at z=-25. The side lane has only the 13
// units between the straight groove (|z| <= 12) and the face z=+25 to turn
// its ball, and any wall that turned it fully would cross the straight lane.
// So its outer wall meets the ball at MERGE_HIT degrees off its path (it keeps
// cos 30 = 87 % of its speed), bends it to MERGE_AIM degrees with a round of
// radius MERGE_ROUND and ends at the groove's edge z = 12, aiming the ball
// at the exit's centre. The straight groove's wall at z = +12 is cut across
// the side lane; the corner beyond is chamfered so the crossing ball clears
// it (by about 2 units at the far end).
constexpr double MERGE_HIT = 30, MERGE_AIM = 50, MERGE_ROUND = 14;

// The side lane's outer wall from the entry corner (-12, 25) down to z = 12.
inline std::vector<P2> mergeGuide() {
    const double a = MERGE_HIT * PI / 180, b = MERGE_AIM * PI / 180;
    const double run = (25 - HALF - MERGE_ROUND * (std::sin(b) - std::sin(a))) / std::cos(a);
    std::vector<P2> line{{-HALF, 25}};
    const P2 bendStart{-HALF + run * std::sin(a), 25 - run * std::cos(a)};
    line.push_back(bendStart);
    const P2 centre{bendStart.x + MERGE_ROUND * std::cos(a), bendStart.z + MERGE_ROUND * std::sin(a)};
    const int n = 4;
    for (int i = 1; i <= n; ++i) {
        double h = a + (b - a) * i / n;
        line.push_back({centre.x - MERGE_ROUND * std::cos(h), centre.z - MERGE_ROUND * std::sin(h)});
    }
    line.back().z = HALF;  // exact, against rounding
    return line;
}

// The walls of a side lane entering at z=+25 toward the exit at x=+25 (see
// mergeGuide): between the straight groove and the side lane up to the
// guide, one strip per guide segment (each convex as x grows with falling
// z), and the corner beyond the cut groove wall. On a floor that covers the
// whole cell.
inline void mergeSideLane(Piece& p) {
    const std::vector<P2> guide = mergeGuide();
    for (std::size_t i = 0; i + 1 < guide.size(); ++i) {
        const P2 a = guide[i], b = guide[i + 1];
        p.addPrism({{-25, b.z}, b, a, {-25, a.z}}, FLOOR, WALL);
    }
    p.addPrism({{HALF, 25}, {25, HALF}, {25, 25}}, FLOOR, WALL);
}

// A catching floor falling toward the exit at x=+25, level there.
inline double catchFloor(double x, double c) { return FLOOR + c * (25 - x) * (25 - x); }

}  // namespace klotzgen
