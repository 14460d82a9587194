// demogen: builds the four demo runs and the gallery through the same editing
// operations the keys use and saves them as "demo1.tumbalon" to
// "demo4.tumbalon" and "gallery/NAME.tumbalon".
//
//     demogen          (run in the data folder: it reads the catalogue there)
//
// A piece is given by its cell, its level and the world direction its local
// +x points to (0: +row, 1: +column, 2: -row, 3: -column); lower levels are
// filled with support cubes. Type numbers are the catalogue positions.

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <sstream>
#include <string>

#include "scene/SceneState.h"
#include "klotz/Catalogue.h"
#include "particles/ParticleSystem.h"
#include "physics/Physics.h"
#include "scene/Camera.h"
#include "scene/Palette.h"
#include "scene/Commands.h"
#include "scene/EditSession.h"
#include "scene/Editing.h"
#include "scene/SceneFile.h"
#include "scene/UiHooks.h"

namespace {

enum Type {
    CUBE = 0, STRAIGHT = 1, CURVE = 2, SLOPE = 3, CROSSING = 4, TEE = 5, MERGE_RIGHT = 6, MERGE_LEFT = 7,
    STOP = 8, START = 9, FUNNEL = 10, DROP = 11, SPIRAL = 12, HALFPIPE = 13, JUMP = 14, GOAL = 15,
    SAG_1 = 16, SAG_2 = 17, CREST_1 = 18, CREST_2 = 19, CREST_3 = 20, CREST_4 = 21, SPLITTER = 22,
    COLLECTOR = 23, TUNNEL = 24, BRIDGE = 25, CATCHER = 26, GOAL_BASIN = 27
};
enum Dir { ROW_UP = 0, COLUMN_UP = 1, ROW_DOWN = 2, COLUMN_DOWN = 3 };

class Builder {
public:
    // The run is drawn with its cells shifted by (rowOffset, columnOffset), so
    // that it stands in front of the start camera.
    Builder(klotz::KlotzCatalogue& catalogue, int rowOffset, int columnOffset)
        : rowOffset_(rowOffset),
          columnOffset_(columnOffset),
          catalogue_(catalogue),
          ctx_{state_, model_, catalogue, world_, camera_, palette_, particles_, ui_, session_, [] { return 0.0; }, log_,
               in_} {
        palette_.init(catalogue.typeCount(), 500);
    }

    // A piece at level on (row, column), cubes below it; local +x along dir.
    void piece(int row, int column, int level, int type, int dir) {
        select(row, column);
        while (scene::stackSize(model_, state_.selectedRow, state_.selectedColumn) < level) insert(CUBE);
        insert(type);
        // One +90 degree turn about y takes local +x from +row to +column.
        for (int k = 0; k < dir; ++k) scene::rotateTopKlotz(ctx_, {0.0f, 1.0f, 0.0f}, 1);
    }

    void ball(int row, int column) {
        select(row, column);
        scene::setBallStart(ctx_);
    }

    bool save(const std::string& file) {
        state_.selectedRow = 10;
        state_.selectedColumn = 10;
        return scene::saveScene(ctx_, file);
    }

    std::string log() const { return log_.str(); }

private:
    void select(int row, int column) {
        state_.selectedRow = row + rowOffset_;
        state_.selectedColumn = column + columnOffset_;
    }
    void insert(int type) {
        palette_.selectedType = type;
        if (!scene::insertKlotz(ctx_)) std::cerr << "demogen: type " << type << " is not in the catalogue\n";
    }

    int rowOffset_;
    int columnOffset_;
    klotz::KlotzCatalogue& catalogue_;
    scene::SceneState state_;
    scene::SceneModel model_;
    physics::PhysicsWorld world_;
    scene::Camera camera_;
    scene::Palette palette_;
    particles::ParticleSystem particles_;
    scene::NoUi ui_;
    scene::EditSession session_;
    std::ostringstream log_;
    std::istringstream in_;
    scene::CommandContext ctx_;
};

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
    if (catalogue.typeCount() <= GOAL) {
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
                 // The gallery: the same runs on other cells, where balls
                 // meet in other ways.
                 {"gallery/gathering_near.tumbalon", gathering, 1, 0},
                 {"gallery/gathering_left.tumbalon", gathering, -1, -1},
                 {"gallery/fork_left.tumbalon", split, 0, -1},
                 {"gallery/fork_near.tumbalon", split, 1, 0},
                 {"gallery/gathering_right.tumbalon", gathering, 0, 1},
                 {"gallery/crowd_left.tumbalon", crowd, -1, -1}};
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
