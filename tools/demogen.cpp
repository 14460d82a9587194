// demogen: builds the four demo runs and the gallery through the same editing
// operations the keys use and saves them as "demo1.tumbalon" to
// "demo4.tumbalon" and "gallery/NAME.tumbalon".
//
//     demogen          (run in the data folder: it reads the catalogue there)
//
// A piece is given by its cell, its level and the world direction its local
// +x points to (0: +row, 1: +column, 2: -row, 3: -column); lower levels are
// filled with pillars. Type numbers are the catalogue positions.

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <string>

#include "demogenBuilder.h"
#include "demogenGallery.h"
#include "demogenMoving.h"

namespace {

using namespace demogen;

// A lane two levels down into flat track on level 1 along dir, from the
// start at `at`: start, slope, sag_1, sag_2, with balls on the start, then
// sag_1, then the slope. Returns the cell after sag_2.
Cell fastLane(Builder& b, Cell at, int dir, int balls) {
    put(b, at, 3, START, dir);
    Cell c = step(at, dir);
    put(b, c, 2, SLOPE, dir);
    Cell s1 = step(c, dir), s2 = step(c, dir, 2);
    put(b, s1, 1, SAG_1, dir);
    put(b, s2, 1, SAG_2, dir);
    Cell ballsAt[3] = {at, s1, c};
    for (int k = 0; k < balls; ++k) b.ball(ballsAt[k].row, ballsAt[k].column);
    return step(s2, dir);
}

// A fast lane ending in a jump over to a catcher, which turns the ball to
// the lane's right (local +z) at a gentle speed; one more ball drops onto
// the catcher and rolls out before the others fly in. Returns the
// catcher's exit cell.
Cell jumpLane(Builder& b, Cell at, int dir, int balls) {
    Cell j = fastLane(b, at, dir, balls);
    put(b, j, 1, JUMP, dir);
    Cell c = step(j, dir);
    put(b, c, 1, CATCHER, dir);
    b.ball(c.row, c.column);
    return step(c, (dir + 3) % 4);
}

// Speed: three ramps bend level and throw their balls over jumps into
// catchers, from three sides into one basin; the slow ball comes from the
// fourth.
void jumps(Builder& b) {
    put(b, {10, 11}, 0, GOAL_BASIN, ROW_UP);
    put(b, jumpLane(b, {15, 9}, ROW_DOWN, 2), 1, TUNNEL, COLUMN_UP);
    put(b, jumpLane(b, {5, 13}, ROW_UP, 2), 1, STRAIGHT, COLUMN_DOWN);
    put(b, jumpLane(b, {12, 16}, COLUMN_DOWN, 2), 1, STRAIGHT, ROW_DOWN);
    crawlLane(b, {3, 11}, ROW_UP, 5);
}

// Splitting and merging: a ball rolls down from the near side into each cell
// of a lane, round a bend and through merges; the splitter sends each ball
// on to one of two basins by where it runs across the groove. Each basin
// also takes balls from two more sides, and a slow one crawls in last.
void splitMerge(Builder& b) {
    for (int column = 17; column >= 12; --column) {
        put(b, {9, column}, 2, column == 17 ? CURVE : MERGE_RIGHT, column == 17 ? ROW_UP : COLUMN_DOWN);
        put(b, {8, column}, 2, SLOPE, ROW_UP);
        startAt(b, {7, column}, 3, ROW_UP);
    }
    put(b, {9, 11}, 1, SLOPE, COLUMN_DOWN);
    put(b, {9, 10}, 1, SPLITTER, COLUMN_DOWN);
    for (int side : {-1, 1}) {
        const int dir = side < 0 ? ROW_DOWN : ROW_UP;
        put(b, {9 + side, 10}, 0, GOAL_BASIN, dir);
        put(b, {9 + 2 * side, 10}, 1, SLOPE, (dir + 2) % 4);
        startAt(b, {9 + 3 * side, 10}, 2, (dir + 2) % 4);
        startAt(b, {9 + side, 11}, 1, COLUMN_DOWN);
    }
    crawlLane(b, {8, 4}, COLUMN_UP, 5, true);
}

// Many balls at once: three basins in a row, each with a ball rolling in
// from every side at the same moment, down slopes, out of funnels, through
// tunnels and half-pipes; the slow ball comes last.
void rain(Builder& b) {
    const int row = 9;
    for (int k = 0; k < 3; ++k) {
        const int column = 7 + 3 * k;
        put(b, {row, column}, 0, GOAL_BASIN, ROW_UP);
        // From the near side (-row) down a slope; from the far side out of a
        // funnel along a tunnel or a half-pipe.
        put(b, {row - 1, column}, 1, SLOPE, ROW_UP);
        startAt(b, {row - 2, column}, 2, ROW_UP);
        put(b, {row + 1, column}, 1, k == 1 ? HALFPIPE : TUNNEL, ROW_DOWN);
        put(b, {row + 2, column}, 1, FUNNEL, ROW_DOWN);
        b.ball(row + 2, column);
    }
    // Between the basins, two starts back to back send a ball each way.
    for (int k = 0; k < 2; ++k) {
        const int column = 8 + 3 * k;
        startAt(b, {row, column}, 1, COLUMN_DOWN);
        startAt(b, {row, column + 1}, 1, COLUMN_UP);
    }
    bend(b, {row, 6}, 1, ROW_DOWN, COLUMN_UP);
    startAt(b, {row + 1, 6}, 1, ROW_DOWN);
    crawlLane(b, {row, 19}, COLUMN_DOWN, 4);
}

// Flat track on level 4 runs over a crest and down through a sag onto level
// 1 without ever leaving the floor, fast; returns the cell after the sag.
// Balls start on the start and on the falling cells, where they roll off at
// once (one dropped on flat track would wait there to be pushed).
Cell coaster(Builder& b, Cell at, int dir) {
    const int types[8] = {START, STRAIGHT, CREST_1, CREST_2, CREST_3, CREST_4, SAG_1, SAG_2};
    const int levels[8] = {4, 4, 4, 3, 3, 2, 1, 1};
    for (int k = 0; k < 8; ++k) put(b, step(at, dir, k), levels[k], types[k], dir);
    for (int k : {0, 3, 4, 5, 6}) b.ball(step(at, dir, k).row, step(at, dir, k).column);
    return step(at, dir, 8);
}

// Speed without a bump: two lanes run over crests and through sags and turn
// out fast to their basins; a stop beyond each basin sends back a ball that
// flies over it. A slow ball crawls in last.
void coasters(Builder& b) {
    for (int side : {-1, 1}) {
        const Cell c = coaster(b, {10 + side, 19}, COLUMN_DOWN);
        const int out = side < 0 ? ROW_DOWN : ROW_UP;
        bend(b, c, 1, COLUMN_DOWN, out);
        put(b, step(c, out), 1, STRAIGHT, out);
        put(b, step(c, out, 2), 0, GOAL_BASIN, out);
        put(b, step(c, out, 3), 1, STOP, out);
    }
    crawlLane(b, {7, 4}, COLUMN_UP, 6, true);
}

}  // namespace

int main(int argc, char** argv) {
    std::ostringstream loaderLog;
    klotz::KlotzCatalogue catalogue;
    klotz::loadCatalogueList(catalogue, loaderLog);
    klotz::loadKloetze(catalogue, loaderLog);
    if (catalogue.typeCount() <= PILLAR) {
        std::cerr << loaderLog.str() << "demogen: the catalogue in this folder has " << catalogue.typeCount()
                  << " types; the demos need the shipped set\n";
        return 1;
    }
    // No GL here: distinct stand-in ids keep every placed klotz's type known.
    for (int t = 0; t < catalogue.typeCount(); ++t) catalogue.typeDisplayLists[t] = t + 1;

    struct Demo {
        const char* file;
        void (*build)(Builder&);
        int rowOffset;
        int columnOffset;
    } demos[] = {{"demo1.tumbalon", jumps, 1, -2},
                 {"demo2.tumbalon", coasters, 0, -2},
                 {"demo3.tumbalon", splitMerge, 0, -1},
                 {"demo4.tumbalon", rain, 0, 0},
                 // The gallery: each run shows pieces the demos leave out.
                 {"gallery/jump_and_catch.tumbalon", jumpAndCatch, 0, -1},
                 {"gallery/bridge_over_lane.tumbalon", bridgeOverLane, 0, 0},
                 {"gallery/crossing_lanes.tumbalon", crossingLanes, 0, 0},
                 {"gallery/splitter_sorts.tumbalon", splitterSorts, 0, 0},
                 {"gallery/cascade.tumbalon", cascade, 0, 0},
                 {"gallery/merging_streams.tumbalon", mergingStreams, 0, 0},
                 {"gallery/loop_and_wide_turn.tumbalon", loopAndWideTurn, 0, -3},
                 {"gallery/perpetual_lift.tumbalon", perpetualLift, 3, 0},
                 {"gallery/binary_counter.tumbalon", binaryCounter, -1, 4}};
    std::filesystem::create_directory("gallery");
    int status = 0;
    // "demogen FILE ROWS COLUMNS" writes only FILE, shifted by that much more:
    // a tryout while laying out a run.
    for (const Demo& d : demos) {
        int rows = d.rowOffset, columns = d.columnOffset;
        if (argc == 4) {
            if (std::string(argv[1]) != d.file) continue;
            rows += std::atoi(argv[2]);
            columns += std::atoi(argv[3]);
        }
        Builder b(catalogue, rows, columns);
        d.build(b);
        if (b.broken() || !b.save(d.file)) {
            std::cerr << b.log();
            status = 1;
        } else {
            std::printf("wrote %s\n", d.file);
        }
    }
    return status;
}
