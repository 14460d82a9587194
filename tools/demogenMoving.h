// Runs with moving pieces: one that never ends, a lift bringing its balls
// back to the top, and one that counts balls in binary with switches.
#pragma once

#include "demogenBuilder.h"

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

}  // namespace demogen
