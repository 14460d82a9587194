// The gallery runs: each shows pieces the demos leave out, laid out in front
// of the start camera and no higher than level 3, so every groove is seen.
#pragma once

#include "demogenBuilder.h"

namespace demogen {

inline void startAt(Builder& b, int row, int column, int level, int dir) { startAt(b, Cell{row, column}, level, dir); }
inline void bend(Builder& b, int row, int column, int level, int from, int to) { bend(b, Cell{row, column}, level, from, to); }
inline int rowStep(int row, int dir, int cells) { return step({row, 0}, dir, cells).row; }
inline int columnStep(int column, int dir, int cells) { return step({0, column}, dir, cells).column; }

// A lane on level running toward dir, a ball rolling down into it from
// level + 1 at each of its cells, all from the same side: a bend, then
// merges (only merges when the lane goes on from another piece). Balls meet
// only from behind or beside, never head-on, however the run is shifted.
// Returns the number of cells.
inline int sideRamps(Builder& b, int row, int column, int level, int dir, int cells, bool bendFirst = true) {
    const int side = (dir + 1) % 4, inward = (dir + 3) % 4;
    for (int k = 0; k < cells; ++k) {
        int r = rowStep(row, dir, k), c = columnStep(column, dir, k);
        if (k == 0 && bendFirst) bend(b, r, c, level, inward, dir);
        else b.piece(r, c, level, MERGE_LEFT, dir);
        b.piece(rowStep(r, side, 1), columnStep(c, side, 1), level, SLOPE, inward);
        startAt(b, rowStep(r, side, 2), columnStep(c, side, 2), level + 1, inward);
    }
    return cells;
}

// A ball rolling down from level 2 onto level 1 and on toward dir into the
// cell (row, column), where a basin on level 0 takes it.
inline void rampInto(Builder& b, int row, int column, int dir) {
    int back = (dir + 2) % 4;
    b.piece(rowStep(row, back, 1), columnStep(column, back, 1), 1, SLOPE, dir);
    startAt(b, rowStep(row, back, 2), columnStep(column, back, 2), 2, dir);
}

// A basin on level 0 with a ball of its own, rolling in toward dir.
inline void basinFedToward(Builder& b, int row, int column, int dir) {
    b.piece(row, column, 0, GOAL_BASIN, dir);
    rampInto(b, row, column, dir);
}

// The ball that comes last, on level 1, into the basin at the lane's end.
inline void latecomer(Builder& b, int row, int column, int dir, int straights) {
    crawlLane(b, {row, column}, dir, straights, true);
}

// Shows drops and funnels: level by level down through floors, then a halfpipe.
inline void cascade(Builder& b) {
    b.piece(9, 7, 2, FUNNEL, COLUMN_UP);
    b.piece(9, 7, 3, DROP, ROW_UP);
    startAt(b, 8, 7, 3, ROW_UP);
    int c = 8 + sideRamps(b, 9, 8, 2, COLUMN_UP, 6, false);
    b.piece(9, c, 1, FUNNEL, ROW_UP);
    b.piece(9, c, 2, DROP, COLUMN_UP);
    b.piece(10, c, 1, HALFPIPE, ROW_UP);
    b.piece(11, c, 0, GOAL_BASIN, ROW_UP);
    rampInto(b, 11, c, ROW_DOWN);
    rampInto(b, 11, c, COLUMN_DOWN);
    latecomer(b, 11, c - 6, COLUMN_UP, 5);
}

// Shows merge_right joining two streams; short streams fill the basin from its other sides.
inline void mergingStreams(Builder& b) {
    int c = 7 + sideRamps(b, 9, 7, 2, COLUMN_UP, 3);
    b.piece(9, c, 2, HALFPIPE, COLUMN_UP);
    b.piece(9, c + 1, 2, STRAIGHT, COLUMN_UP);
    b.piece(9, c + 2, 1, SLOPE, COLUMN_UP);
    int m = c + 3;
    sideRamps(b, 12, m, 2, ROW_DOWN, 2);
    b.piece(10, m, 1, SLOPE, ROW_DOWN);
    b.piece(9, m, 1, MERGE_RIGHT, COLUMN_UP);
    int basin = m + 1;
    b.piece(9, basin, 0, GOAL_BASIN, COLUMN_UP);
    sideRamps(b, 6, basin, 2, ROW_UP, 2);
    b.piece(8, basin, 1, SLOPE, ROW_UP);
    sideRamps(b, 9, basin + 3, 2, COLUMN_DOWN, 2);
    b.piece(9, basin + 1, 1, SLOPE, COLUMN_DOWN);
    latecomer(b, 15, basin, ROW_DOWN, 5);
}

// Shows a jump throwing each ball over to a catcher, which turns it into the basin.
inline void jumpAndCatch(Builder& b) {
    const int row = 8;
    // The first ball comes a straight behind the others and flies alone: the
    // catcher holds a ball that comes in slowly behind another.
    sideRamps(b, row, 7, 2, COLUMN_UP, 1);
    b.piece(row, 8, 2, STRAIGHT, COLUMN_UP);
    int c = 9 + sideRamps(b, row, 9, 2, COLUMN_UP, 6, false);
    b.piece(row, c, 1, SLOPE, COLUMN_UP);
    b.piece(row, c + 1, 1, JUMP, COLUMN_UP);
    b.piece(row, c + 2, 1, CATCHER, COLUMN_UP);
    int basin = c + 2;
    b.piece(row + 1, basin, 0, GOAL_BASIN, ROW_UP);
    latecomer(b, row + 1, basin - 6, COLUMN_UP, 5);
    rampInto(b, row + 1, basin, ROW_DOWN);
    rampInto(b, row + 1, basin, COLUMN_DOWN);
}

// Shows a bridge: one lane crosses over another, each into its own basin.
inline void bridgeOverLane(Builder& b) {
    int c = 7 + sideRamps(b, 9, 7, 2, COLUMN_UP, 6);
    b.piece(9, c, 1, BRIDGE, COLUMN_UP);
    b.piece(9, c + 1, 1, SLOPE, COLUMN_UP);
    b.piece(9, c + 2, 0, GOAL_BASIN, COLUMN_UP);
    rampInto(b, 9, c + 2, COLUMN_DOWN);
    // The crossing lane, on level 1, passes under the deck.
    int r = 6 + sideRamps(b, 6, c, 1, ROW_UP, 3);
    b.piece(r + 1, c, 1, STRAIGHT, ROW_UP);
    b.piece(r + 2, c, 0, GOAL_BASIN, ROW_UP);
    latecomer(b, r + 2, c - 6, COLUMN_UP, 5);
}

// Shows a crossing: two lanes cross on one level, one's balls through before the other's.
inline void crossingLanes(Builder& b) {
    int c = 7 + sideRamps(b, 9, 7, 1, COLUMN_UP, 3);
    for (int k = 0; k < 3; ++k) b.piece(9, c + k, 1, STRAIGHT, COLUMN_UP);
    c += 3;
    b.piece(9, c, 1, CROSSING, COLUMN_UP);
    b.piece(9, c + 1, 1, STRAIGHT, COLUMN_UP);
    basinFedToward(b, 9, c + 2, ROW_DOWN);
    rampInto(b, 9, c + 2, COLUMN_DOWN);
    sideRamps(b, 6, c, 1, ROW_UP, 3);
    b.piece(10, c, 1, STRAIGHT, ROW_UP);
    basinFedToward(b, 11, c, ROW_DOWN);
    latecomer(b, 11, c - 6, COLUMN_UP, 5);
}

// Shows a splitter sorting two joined streams apart again by the side each keeps to.
inline void splitterSorts(Builder& b) {
    // The long stream comes round a bend on the -row side of the groove, the
    // short one joins it through merge_left on the +row side, well before.
    const int c = 11;
    sideRamps(b, 15, c, 2, ROW_DOWN, 3);
    b.piece(12, c, 2, STRAIGHT, ROW_DOWN);
    b.piece(11, c, 2, STRAIGHT, ROW_DOWN);
    b.piece(10, c, 1, SLOPE, ROW_DOWN);
    bend(b, 9, c, 1, ROW_DOWN, COLUMN_UP);
    sideRamps(b, 6, c + 1, 2, ROW_UP, 2);
    b.piece(8, c + 1, 1, SLOPE, ROW_UP);
    b.piece(9, c + 1, 1, MERGE_LEFT, COLUMN_UP);
    int s = c + 2;
    b.piece(9, s, 1, SPLITTER, COLUMN_UP);
    // Each basin has balls of its own: one dropped in at the start, one
    // rolling in and, into the +row one, last a ball that creeps in.
    for (int row : {8, 10}) {
        basinFedToward(b, row, s, COLUMN_DOWN);
        b.ball(row, s);
    }
    latecomer(b, 16, s, ROW_DOWN, 5);
}

// The wide turn's six parts for a ball running toward dir, which it leaves
// toward (dir + 3) % 4, its first part at (row, column). Local +z of a piece
// turned toward dir points toward (dir + 3) % 4.
inline void wideTurn(Builder& b, int row, int column, int level, int dir) {
    const int at[6][2] = {{0, 0}, {1, 0}, {2, 0}, {1, 1}, {2, 1}, {2, 2}};  // cells along x, along z
    for (int k = 0; k < 6; ++k) {
        const Cell c = step(step({row, column}, dir, at[k][0]), (dir + 3) % 4, at[k][1]);
        b.piece(c.row, c.column, level, TURN_WIDE_1 + k, dir);
    }
}

// The loop's eight parts for a ball running toward dir, its first part at
// (row, column) on level 0; the way out is one cell toward (dir + 3) % 4.
inline void loop(Builder& b, int row, int column, int dir) {
    const int at[8][3] = {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}, {0, 1, 1}, {1, 1, 1}, {0, 0, 1}, {1, 0, 1}};
    // Level 0 first: a cell's stack is built from the bottom.
    for (int k : {0, 1, 6, 7, 2, 3, 4, 5}) {
        const Cell c = step(step({row, column}, dir, at[k][0]), (dir + 3) % 4, at[k][2]);
        b.piece(c.row, c.column, at[k][1], LOOP_1 + k, dir);
    }
}

// Shows the wide turn keeping a lane's speed round a corner, and a ball
// that rolls down three levels and goes round the loop.
inline void loopAndWideTurn(Builder& b) {
    int c = 7 + sideRamps(b, 9, 7, 2, COLUMN_UP, 6);
    wideTurn(b, 9, c, 2, COLUMN_UP);
    b.piece(12, c + 2, 1, SLOPE, ROW_UP);
    const int basin = c + 2;
    b.piece(13, basin, 0, GOAL_BASIN, ROW_UP);
    rampInto(b, 13, basin, COLUMN_DOWN);
    rampInto(b, 13, basin, ROW_DOWN);
    latecomer(b, 13, basin - 6, COLUMN_UP, 5);
    // Down from level 3 through the bend onto level 0, round the loop and
    // out beside the way in, into a goal.
    const int r = 5, l = 13;
    startAt(b, r, l - 6, 3, COLUMN_UP);
    b.piece(r, l - 5, 2, SLOPE, COLUMN_UP);
    b.piece(r, l - 4, 1, SLOPE, COLUMN_UP);
    b.piece(r, l - 3, 0, SAG_1, COLUMN_UP);
    b.piece(r, l - 2, 0, SAG_2, COLUMN_UP);
    b.piece(r, l - 1, 0, STRAIGHT, COLUMN_UP);
    loop(b, r, l, COLUMN_UP);
    b.piece(r + 1, l + 2, 0, STRAIGHT, COLUMN_UP);
    b.piece(r + 1, l + 3, 0, GOAL, COLUMN_UP);
}

}  // namespace demogen
