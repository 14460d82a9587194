// Runs with moving pieces: one that never ends, a lift bringing its balls
// back to the top, and one that counts balls in binary with switches.
#pragma once

#include "demogenBuilder.h"
#include "demogenGallery.h"

namespace demogen {

enum MovingType { SWITCH = 43, LIFT = 44, SEESAW = 45, TRAMPOLINE = 46 };

// A lift at (row, column) carries balls running toward ROW_UP three levels
// up; a slope takes them down to a switch on level 2, which sends them in
// turn down the lanes on either side, back round to the lift's foot. It
// plays for as long as one watches.
inline void perpetualLift(Builder& b) {
    const int d = ROW_UP, back = ROW_DOWN;
    const Cell lift{7, 9};
    put(b, lift, 0, LIFT, d);
    const Cell top = step(lift, d);
    put(b, top, 2, SLOPE, d);
    b.ball(top.row, top.column);
    const Cell turn = step(top, d);
    put(b, turn, 2, SWITCH, d);
    // The lift is fed down a slope: balls waiting there roll on by
    // themselves when the platform comes down.
    const Cell feed = step(lift, back), gather = step(feed, back);
    put(b, feed, 0, SLOPE, d);
    b.ball(feed.row, feed.column);
    put(b, gather, 1, COLLECTOR, d);
    for (int side : {COLUMN_UP, COLUMN_DOWN}) {
        const Cell c = step(turn, side);
        bend(b, c, 2, side, back);
        Cell at = step(c, back);
        put(b, at, 1, SLOPE, back);
        if (side == COLUMN_UP) b.ball(at.row, at.column);  // from one side only: two at once would wedge
        for (at = step(at, back); at.row > gather.row; at = step(at, back)) put(b, at, 1, STRAIGHT, back);
        bend(b, at, 1, back, (side + 2) % 4);
    }
    // More balls down a ramp from behind.
    const Cell ramp = step(gather, back);
    put(b, ramp, 1, SLOPE, d);
    b.ball(ramp.row, ramp.column);
    startAt(b, step(ramp, back), 2, d);
}

// Counts balls in binary: a lift lets them out one at a time onto a chain
// of three switches. Each switch sends every other ball it gets on to the
// next one, so after 2^k balls the k-th switch has flipped back (ball 2
// reaches the second switch, ball 4 the third, ball 8 leaves past it).
// The balls come down from the side into a lane three levels up, which
// turns into a ramp three levels long where they wait for the lift.
inline void binaryCounter(Builder& b) {
    const int lane = 4;
    const Cell first{5, 3};
    sideRamps(b, first.row, first.column, 3, COLUMN_UP, lane);
    Cell at = step(first, COLUMN_UP, lane);
    bend(b, at, 3, COLUMN_UP, ROW_UP);
    for (int level = 2; level >= 0; --level) {
        at = step(at, ROW_UP);
        put(b, at, level, SLOPE, ROW_UP);
        b.ball(at.row, at.column);
    }
    const Cell lift = step(at, ROW_UP);
    put(b, lift, 0, LIFT, ROW_UP);
    const Cell out = step(lift, ROW_UP);
    put(b, out, 2, SLOPE, ROW_UP);
    b.ball(out.row, out.column);  // the first to be counted
    // The switches: a ball comes down a slope and along a straight into
    // the first and the last, straight out of the first's turn into the
    // second.
    const Cell s0 = step(out, ROW_UP, 2);
    put(b, step(out, ROW_UP), 2, STRAIGHT, ROW_UP);
    put(b, s0, 2, SWITCH, ROW_UP);
    put(b, step(s0, COLUMN_UP), 1, SLOPE, COLUMN_UP);
    put(b, step(s0, COLUMN_UP, 2), 0, GOAL_BASIN, COLUMN_UP);
    put(b, step(s0, COLUMN_DOWN), 2, STRAIGHT, COLUMN_DOWN);
    const Cell s1 = step(s0, COLUMN_DOWN, 2);
    put(b, s1, 2, SWITCH, COLUMN_DOWN);
    put(b, step(s1, ROW_UP), 1, SLOPE, ROW_UP);
    put(b, step(s1, ROW_UP, 2), 0, GOAL_BASIN, ROW_UP);
    put(b, step(s1, ROW_DOWN), 1, SLOPE, ROW_DOWN);
    put(b, step(s1, ROW_DOWN, 2), 1, STRAIGHT, ROW_DOWN);
    const Cell s2 = step(s1, ROW_DOWN, 3);
    put(b, s2, 1, SWITCH, ROW_DOWN);
    put(b, step(s2, COLUMN_DOWN), 0, GOAL_BASIN, COLUMN_DOWN);
    put(b, step(s2, COLUMN_UP), 0, GOAL_BASIN, COLUMN_UP);
}

}  // namespace demogen
