// Track features for the klotz generator beyond plain grooves: covered and
// raised straights, a collector, a splitter, a catcher for jumps and a basin
// for many balls. Local frame and groove as in the
// track convention of klotzgen.cpp.
#pragma once

#include <cmath>
#include <vector>

#include "klotzgenTrack.h"

namespace klotzgen {

// Like the slope's lip, the floor of a track one level up lies at y = +29
// at this cell's faces.
constexpr double UPPER_FLOOR = FLOOR + 50;

inline Piece tunnel() {
    Piece p("tunnel", "straight along x under a roof: open at x=-25 and x=+25; pieces can stand on it");
    p.addBox(-25, 25, BOTTOM, FLOOR, -HALF, HALF);
    sideWalls(p, -25, 25, TOP);
    // 21 above the floor, like the walls of a flat piece: a ball (16 across)
    // passes with room to spare.
    p.addBox(-25, 25, WALL, TOP, -HALF, HALF);
    return p;
}

// A groove along z at this level and a deck along x carrying the track of
// the level above, which rests on pillars at the corners.
inline Piece bridge() {
    Piece p("bridge", "groove along z (open at z=-25, z=+25) under a deck along x level with flat track one level up");
    p.addBox(-HALF, HALF, BOTTOM, FLOOR, -25, 25);
    p.addBox(HALF, 25, BOTTOM, WALL, -25, 25);
    p.addBox(-25, -HALF, BOTTOM, WALL, -25, 25);
    for (double x0 : {HALF, -25.0})
        for (double z0 : {17.0, -25.0}) p.addBox(x0, x0 + 25 - HALF, WALL, TOP, z0, z0 + 8);
    p.addBox(-25, 25, TOP, UPPER_FLOOR, -25, 25);
    // Kerbs: low, so the deck stays within a few units of the cell top like
    // the slope's lip; a ball rolling along a straight needs no more.
    const double kerb = UPPER_FLOOR + 4;
    p.addBox(-25, 25, UPPER_FLOOR, kerb, HALF, 25);
    p.addBox(-25, 25, UPPER_FLOOR, kerb, -25, -HALF);
    return p;
}

// Three entries, one exit: merge_right's and merge_left's side lanes on
// one floor, so balls from x=-25, z=+25 and z=-25 all leave at x=+25.
inline Piece collector() {
    Piece p("collector", "entries x=-25, z=+25 and z=-25 gathered into exit x=+25");
    p.addBox(-25, 25, BOTTOM, FLOOR, -25, 25);
    for (bool left : {false, true}) {
        p.setMirrorZ(left);
        mergeSideLane(p);
    }
    return p;
}

// Two quarter turns from one entry: one around the corner (-25, +25) to
// z=+25, the other to z=-25. Their outer walls meet in a point on the centre
// line 27 units in, which parts the balls by the side of the centre line
// they run on. A ball on the very centre line would stop on that point, so
// a low ridge before it, its crest 1 unit toward z=-25, rolls such a ball
// (and any within 1 unit of the centre on that side) to z=+25.
constexpr double SPLIT_CREST = -1;

inline Piece splitter() {
    Piece p("splitter", "entry x=-25; balls on the z>-1 side leave at z=+25, the others at z=-25");
    // The entry groove's floor in one piece across the centre line, where
    // the two turns' floors meet.
    p.addBox(-25, -HALF, BOTTOM, FLOOR, -HALF, HALF);
    quarterTurn(p, {-25, 25}, -90, 0, rect(-25, 25, 0, 25));
    p.setMirrorZ(true);
    quarterTurn(p, {-25, 25}, -90, 0, rect(-25, 25, 0, 25));
    p.setMirrorZ(false);
    // The ridge: a low tent 3 high along x, rising from the floor at x=-18.
    std::vector<V3> ridge;
    for (V3 q : {V3{-18, FLOOR, SPLIT_CREST}, V3{-10, FLOOR + 3, SPLIT_CREST}, V3{2, FLOOR + 3, SPLIT_CREST},
                 V3{-10, FLOOR, SPLIT_CREST + 6}, V3{-10, FLOOR, SPLIT_CREST - 6}, V3{2, FLOOR, SPLIT_CREST + 6},
                 V3{2, FLOOR, SPLIT_CREST - 6}, V3{-18, BOTTOM, SPLIT_CREST}, V3{2, BOTTOM, SPLIT_CREST + 6},
                 V3{2, BOTTOM, SPLIT_CREST - 6}, V3{-10, BOTTOM, SPLIT_CREST + 6}, V3{-10, BOTTOM, SPLIT_CREST - 6}})
        ridge.push_back(q);
    p.addHull(ridge);
    return p;
}

// How far the entry side's guide into the exit groove reaches back from
// it. It once stood 3 above the floor's lowest point, so the sloping floor
// buried most of it, and a ball landing on that side rolled down against
// the groove's end and stayed there; now it stands to the cell top like the
// far one, shallow enough that a ball flying in along the centre line
// passes a unit clear of it.
constexpr double ENTRY_GUIDE_DEPTH = 4;

// Catches a ball thrown by the jump on the neighbouring cell (at x=-25,
// same level): a tall back wall stops it, the floor falls toward the exit
// at z=+25 and two guides lead it into the groove there.
inline Piece catcher() {
    Piece p("catcher", "catches a ball flying in over x=-25 (from a jump); exit z=+25");
    const double groove = 25 - HALF;  // where the exit groove begins (z)
    // One plane falling toward the exit, down to the groove floor at the
    // exit face: a ball that lost most of its speed against the back wall
    // still rolls all the way out.
    const double fall = 0.2;  // per unit
    auto floorAt = [&](P2 q) { return FLOOR + fall * (25 - q.z); };
    p.addPrism(rect(-25, 25, -25, groove), [](P2) { return BOTTOM; }, floorAt);
    p.addPrism(rect(-HALF, HALF, groove, 25), [](P2) { return BOTTOM; }, floorAt);
    // Back and far side walls to the cell top; the entry side stays open for
    // the flying ball (the jump throws it barely above this floor), and the
    // floor falls across it, not toward it.
    p.addBox(22, 25, FLOOR, TOP, -25, groove);
    p.addBox(-25, 22, FLOOR, TOP, -25, -22);
    // The exit groove's walls and the guides into it.
    for (double s : {1.0, -1.0}) {
        p.addPrism(rect(s > 0 ? HALF : -25, s > 0 ? 25 : -HALF, groove, 25), BOTTOM, TOP);
        p.addPrism({{s * HALF, groove}, {s * 25, groove - (s > 0 ? 10 : ENTRY_GUIDE_DEPTH)}, {s * 25, groove}}, BOTTOM, TOP);
    }
    return p;
}

// A basin filling the cell, its rim level with flat track one level up on
// all four sides: balls roll in over the rim from any side (or drop in from
// above) and pile up, some fifteen of them before they reach the rim.
inline Piece goalBasin() {
    Piece p("goal_basin", "deep basin for many balls; they roll in over its rim from flat track one level up");
    const double wall = 2;
    p.addBox(-25 + wall, 25 - wall, BOTTOM, FLOOR - 2, -25 + wall, 25 - wall);
    p.addBox(25 - wall, 25, BOTTOM, UPPER_FLOOR, -25, 25);
    p.addBox(-25, -25 + wall, BOTTOM, UPPER_FLOOR, -25, 25);
    p.addBox(-25 + wall, 25 - wall, BOTTOM, UPPER_FLOOR, 25 - wall, 25);
    p.addBox(-25 + wall, 25 - wall, BOTTOM, UPPER_FLOOR, -25, -25 + wall);
    return p;
}

}  // namespace klotzgen
