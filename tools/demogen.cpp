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

namespace {

using namespace demogen;

// Balls from both sides of a row of collectors join one lane along +column;
// returns the column after the last collector.
int comb(Builder& b, int row, int column, int level, int collectors) {
    for (int k = 0; k < collectors; ++k, ++column) {
        b.piece(row, column, level, COLLECTOR, COLUMN_UP);
        // The far side's balls come one cell later, so two do not meet
        // head-on in the collector.
        b.piece(row - 1, column, level, START, ROW_UP);
        b.ball(row - 1, column);
        b.piece(row + 1, column, level, STRAIGHT, ROW_DOWN);
        b.piece(row + 2, column, level, START, ROW_DOWN);
        b.ball(row + 2, column);
    }
    return column;
}

// Eleven balls gather on level 3 and run down a ramp that bends level without
// a bump, round a bend into the basin.
void ramp(Builder& b) {
    // The ball from the spiral comes last and pushes on any that stalled.
    b.piece(8, 4, 3, FUNNEL, COLUMN_UP);
    b.piece(8, 4, 4, SPIRAL, COLUMN_UP);
    b.ball(8, 4);
    int c = comb(b, 8, 5, 3, 5);
    b.piece(8, c, 3, STRAIGHT, COLUMN_UP);
    b.piece(8, c + 1, 2, SLOPE, COLUMN_UP);
    b.piece(8, c + 2, 1, SAG_1, COLUMN_UP);
    b.piece(8, c + 3, 1, SAG_2, COLUMN_UP);
    b.piece(8, c + 4, 1, CURVE, COLUMN_UP);
    b.piece(9, c + 4, 1, TUNNEL, ROW_UP);
    b.piece(10, c + 4, 0, GOAL_BASIN, ROW_UP);
}

// Eleven balls join one lane on level 2 through five collectors and run
// through a tunnel down to level 1; returns the column after the slope.
int gatheredLane(Builder& b) {
    // The ball from the spiral comes last and pushes on any that stalled.
    b.piece(9, 6, 2, FUNNEL, COLUMN_UP);
    b.piece(9, 6, 3, SPIRAL, COLUMN_UP);
    b.ball(9, 6);
    int c = comb(b, 9, 7, 2, 5);
    b.piece(9, c, 2, TUNNEL, COLUMN_UP);
    b.piece(9, c + 1, 1, SLOPE, COLUMN_UP);
    return c + 2;
}

// The gathered lane into one basin.
void gathering(Builder& b) {
    int c = gatheredLane(b);
    b.piece(9, c, 1, STRAIGHT, COLUMN_UP);
    b.piece(9, c + 1, 0, GOAL_BASIN, COLUMN_UP);
}

// The gathered lane meets a splitter, which sends each ball to one of two
// basins by where it runs across the groove; returns the splitter's column.
int fork(Builder& b) {
    int c = gatheredLane(b);
    b.piece(9, c, 1, SPLITTER, COLUMN_UP);
    b.piece(10, c, 1, STRAIGHT, ROW_UP);
    b.piece(11, c, 0, GOAL_BASIN, ROW_UP);
    b.piece(8, c, 1, STRAIGHT, ROW_DOWN);
    b.piece(7, c, 0, GOAL_BASIN, ROW_DOWN);
    return c;
}

void split(Builder& b) { fork(b); }

// Fifteen balls at once: the split lane, and two more balls roll into each
// basin straight from its sides.
void crowd(Builder& b) {
    int c = fork(b);
    for (int row : {11, 7}) {
        b.piece(row, c + 1, 1, START, COLUMN_DOWN);
        b.ball(row, c + 1);
        int outer = row > 9 ? row + 1 : row - 1;
        b.piece(outer, c, 1, START, row > 9 ? ROW_DOWN : ROW_UP);
        b.ball(outer, c);
    }
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
    } demos[] = {{"demo1.tumbalon", gathering, 0, 0},
                 {"demo2.tumbalon", ramp, -1, 0},
                 {"demo3.tumbalon", split, 0, 0},
                 {"demo4.tumbalon", crowd, -1, 0},
                 // The gallery: each run shows pieces the demos leave out.
                 {"gallery/jump_and_catch.tumbalon", jumpAndCatch, 0, 0},
                 {"gallery/bridge_over_lane.tumbalon", bridgeOverLane, 0, 0},
                 {"gallery/crossing_lanes.tumbalon", crossingLanes, 0, 0},
                 {"gallery/splitter_sorts.tumbalon", splitterSorts, 0, 0},
                 {"gallery/cascade.tumbalon", cascade, 0, 0},
                 {"gallery/merging_streams.tumbalon", mergingStreams, 0, 0}};
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
        if (!b.save(d.file)) {
            std::cerr << b.log();
            status = 1;
        } else {
            std::printf("wrote %s\n", d.file);
        }
    }
    return status;
}
