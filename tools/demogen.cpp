// demogen: builds the four demo runs through the same editing operations the
// keys use and saves them as "demo1.tumbalon" to "demo4.tumbalon".
//
//     demogen          (run in the data folder: it reads the catalogue there)
//
// A piece is given by its cell, its level and the world direction its local
// +x points to (0: +row, 1: +column, 2: -row, 3: -column); lower levels are
// filled with support cubes. Type numbers are the catalogue positions.

#include <cstdio>
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
    STOP = 8, START = 9, FUNNEL = 10, DROP = 11, SPIRAL = 12, HALFPIPE = 13, JUMP = 14, GOAL = 15
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

// One ball from a tower down four slopes, round a bend into the goal.
void jollyride(Builder& b) {
    b.piece(3, 3, 3, START, ROW_UP);
    b.piece(4, 3, 2, SLOPE, ROW_UP);
    b.piece(5, 3, 1, SLOPE, ROW_UP);
    b.piece(6, 3, 0, SLOPE, ROW_UP);
    b.piece(7, 3, 0, STRAIGHT, ROW_UP);
    b.piece(8, 3, 0, CURVE, ROW_UP);
    b.piece(8, 2, 0, STRAIGHT, COLUMN_DOWN);
    b.piece(8, 1, 0, GOAL, COLUMN_DOWN);
    b.ball(3, 3);
}

// Two towers whose runs cross on the ground and end in two basins.
void twotowers(Builder& b) {
    b.piece(5, 5, 2, START, ROW_UP);
    b.piece(6, 5, 1, SLOPE, ROW_UP);
    b.piece(7, 5, 0, SLOPE, ROW_UP);
    b.piece(8, 5, 0, CROSSING, ROW_UP);
    b.piece(9, 5, 0, STRAIGHT, ROW_UP);
    b.piece(10, 5, 0, GOAL, ROW_UP);
    // The second run is two cells longer, so the balls do not meet at the
    // crossing.
    b.piece(8, 0, 2, START, COLUMN_UP);
    b.piece(8, 1, 1, SLOPE, COLUMN_UP);
    b.piece(8, 2, 0, SLOPE, COLUMN_UP);
    b.piece(8, 3, 0, STRAIGHT, COLUMN_UP);
    b.piece(8, 4, 0, STRAIGHT, COLUMN_UP);
    b.piece(8, 6, 0, STRAIGHT, COLUMN_UP);
    b.piece(8, 7, 0, GOAL, COLUMN_UP);
    b.ball(5, 5);
    b.ball(8, 0);
}

// Down a spiral into a funnel, a slope for speed, along two half-pipes and
// round into the goal.
void tarlo1(Builder& b) {
    b.piece(4, 4, 1, FUNNEL, ROW_UP);
    b.piece(4, 4, 2, SPIRAL, ROW_UP);
    b.piece(5, 4, 0, SLOPE, ROW_UP);
    b.piece(6, 4, 0, HALFPIPE, ROW_UP);
    b.piece(7, 4, 0, HALFPIPE, ROW_UP);
    b.piece(8, 4, 0, CURVE, ROW_UP);
    b.piece(8, 3, 0, STRAIGHT, COLUMN_DOWN);
    b.piece(8, 2, 0, GOAL, COLUMN_DOWN);
    b.ball(4, 4);
}

// Four lanes side by side: slopes, a drop into a funnel below, and stops.
void quib7(Builder& b) {
    for (int c = 8; c < 12; ++c) {
        b.piece(2, c, 2, START, ROW_UP);
        b.piece(3, c, 1, SLOPE, ROW_UP);
        b.piece(4, c, 0, FUNNEL, ROW_UP);
        b.piece(4, c, 1, DROP, ROW_UP);
        b.piece(5, c, 0, STRAIGHT, ROW_UP);
        b.piece(6, c, 0, STOP, ROW_UP);
        b.ball(2, c);
    }
}

}  // namespace

int main() {
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
    } demos[] = {{"demo1.tumbalon", jollyride, 5, 7},
                 {"demo2.tumbalon", twotowers, 3, 5},
                 {"demo3.tumbalon", tarlo1, 5, 7},
                 {"demo4.tumbalon", quib7, 6, 1}};
    int status = 0;
    for (const Demo& d : demos) {
        Builder b(catalogue, d.rowOffset, d.columnOffset);
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
