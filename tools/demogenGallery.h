// The gallery runs: each shows pieces the demos leave out, laid out in front
// of the start camera and no higher than level 3, so every groove is seen.
#pragma once

#include "demogenBuilder.h"

namespace demogen {

// A ball start with its catching piece; the ball leaves toward dir.
inline void startAt(Builder& b, int row, int column, int level, int dir) {
    b.piece(row, column, level, START, dir);
    b.ball(row, column);
}

// A quarter turn for a ball running toward from that leaves toward to.
inline void bend(Builder& b, int row, int column, int level, int from, int to) {
    b.piece(row, column, level, CURVE, to == (from + 3) % 4 ? from : (from + 3) % 4);
}

// Eleven balls join one lane on level 2 through five collectors, as in the
// demos: the ball from the spiral at its head comes last and pushes on any
// that stalled. The lane leaves through a tunnel; returns the column after it.
inline int gatherAt(Builder& b, int row, int column) {
    b.piece(row, column, 2, FUNNEL, COLUMN_UP);
    b.piece(row, column, 3, SPIRAL, COLUMN_UP);
    b.ball(row, column);
    int c = comb(b, row, column + 1, 2, 5);
    b.piece(row, c, 2, TUNNEL, COLUMN_UP);
    return c + 1;
}

// A jump throws the ball over to a catcher, which turns it into the basin.
inline void jumpAndCatch(Builder& b) {
    int c = gatherAt(b, 9, 6);
    b.piece(9, c, 1, SLOPE, COLUMN_UP);
    b.piece(9, c + 1, 1, JUMP, COLUMN_UP);
    b.piece(9, c + 2, 1, CATCHER, COLUMN_UP);
    b.piece(10, c + 2, 1, STRAIGHT, ROW_UP);
    b.piece(11, c + 2, 0, GOAL_BASIN, ROW_UP);
}

// One lane crosses over another on a bridge; each ends in its own basin.
inline void bridgeOverLane(Builder& b) {
    int x = gatherAt(b, 9, 6);
    b.piece(9, x, 1, BRIDGE, COLUMN_UP);
    b.piece(9, x + 1, 2, STRAIGHT, COLUMN_UP);
    b.piece(9, x + 2, 1, SLOPE, COLUMN_UP);
    b.piece(9, x + 3, 1, STRAIGHT, COLUMN_UP);
    b.piece(9, x + 4, 0, GOAL_BASIN, COLUMN_UP);
    // The crossing lane takes a ball on each side of the bridge.
    startAt(b, 6, x, 2, ROW_UP);
    b.piece(7, x, 1, SLOPE, ROW_UP);
    for (int row : {8, 10}) {
        // The first side ball comes one cell later than the lane's own.
        int later = row == 8 ? 1 : 0;
        b.piece(row, x, 1, MERGE_LEFT, ROW_UP);
        if (later) b.piece(row, x + 1, 1, STRAIGHT, COLUMN_DOWN);
        b.piece(row, x + 1 + later, 1, SLOPE, COLUMN_DOWN);
        startAt(b, row, x + 2 + later, 2, COLUMN_DOWN);
    }
    b.piece(11, x, 1, STRAIGHT, ROW_UP);
    b.piece(12, x, 0, GOAL_BASIN, ROW_UP);
}

// Level by level: the lane drops through the floor into a funnel, runs on
// along a halfpipe and drops again, into the basin.
inline void cascade(Builder& b) {
    int c = gatherAt(b, 9, 6);
    b.piece(9, c, 1, FUNNEL, ROW_UP);
    b.piece(9, c, 2, DROP, COLUMN_UP);
    b.piece(10, c, 1, HALFPIPE, ROW_UP);
    b.piece(11, c, 0, GOAL_BASIN, ROW_UP);
}

// Two side streams join the lane through merges from either side and all
// run down a halfpipe into the basin.
inline void mergingStreams(Builder& b) {
    int c = gatherAt(b, 9, 6);
    b.piece(9, c, 1, SLOPE, COLUMN_UP);
    b.piece(9, c + 1, 1, MERGE_LEFT, COLUMN_UP);
    startAt(b, 7, c + 1, 2, ROW_UP);
    b.piece(8, c + 1, 1, SLOPE, ROW_UP);
    b.piece(9, c + 2, 1, MERGE_RIGHT, COLUMN_UP);
    startAt(b, 11, c + 2, 2, ROW_DOWN);
    b.piece(10, c + 2, 1, SLOPE, ROW_DOWN);
    b.piece(9, c + 3, 1, HALFPIPE, COLUMN_UP);
    b.piece(9, c + 4, 0, GOAL_BASIN, COLUMN_UP);
}

// Splitters part the lane twice, into two basins and two goals.
inline void splitterTree(Builder& b) {
    int c = gatherAt(b, 9, 6);
    b.piece(9, c, 1, SLOPE, COLUMN_UP);
    int s = c + 1;
    b.piece(9, s, 1, SPLITTER, COLUMN_UP);
    b.piece(10, s, 1, STRAIGHT, ROW_UP);
    b.piece(11, s, 1, SPLITTER, ROW_UP);
    b.piece(11, s - 1, 0, GOAL_BASIN, COLUMN_DOWN);
    b.piece(11, s + 1, 0, GOAL_BASIN, COLUMN_UP);
    b.piece(8, s, 1, STRAIGHT, ROW_DOWN);
    b.piece(7, s, 1, SPLITTER, ROW_DOWN);
    b.piece(7, s + 1, 1, GOAL, COLUMN_UP);
    b.piece(7, s - 1, 1, GOAL, COLUMN_DOWN);
}

// Over the four crest pieces and through the sag, into two goals.
inline void crestAndSag(Builder& b) {
    int c = gatherAt(b, 9, 7);
    b.piece(9, c, 2, STRAIGHT, COLUMN_UP);
}

}  // namespace demogen
