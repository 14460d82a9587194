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

// The lane drops through the floor into a funnel one level down, which sends
// it on along a halfpipe into the basin.
inline void cascade(Builder& b) {
    int c = gatherAt(b, 9, 6);
    b.piece(9, c, 1, FUNNEL, ROW_UP);
    b.piece(9, c, 2, DROP, COLUMN_UP);
    b.piece(10, c, 1, HALFPIPE, ROW_UP);
    b.piece(11, c, 0, GOAL_BASIN, ROW_UP);
}

// A ball from each side joins the lane through merge_left and merge_right;
// all run on along a halfpipe into the basin.
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

}  // namespace demogen
