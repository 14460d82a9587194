// The editing front end demogen lays runs out with: pieces by cell, level
// and direction, through the same operations the keys use.
#pragma once

#include <iostream>
#include <sstream>
#include <string>

#include "klotz/Catalogue.h"
#include "particles/ParticleSystem.h"
#include "physics/Physics.h"
#include "view/Camera.h"
#include "input/Commands.h"
#include "input/EditSession.h"
#include "input/Editing.h"
#include "view/Palette.h"
#include "scene/SceneFile.h"
#include "scene/SceneState.h"
#include "input/UiHooks.h"
#include "run/Run.h"

namespace demogen {

enum Type {
    CUBE = 0, STRAIGHT = 1, CURVE = 2, SLOPE = 3, CROSSING = 4, TEE = 5, MERGE_RIGHT = 6, MERGE_LEFT = 7,
    STOP = 8, START = 9, FUNNEL = 10, DROP = 11, SPIRAL = 12, HALFPIPE = 13, JUMP = 14, GOAL = 15,
    SAG_1 = 16, SAG_2 = 17, CREST_1 = 18, CREST_2 = 19, CREST_3 = 20, CREST_4 = 21, SPLITTER = 22,
    COLLECTOR = 23, TUNNEL = 24, BRIDGE = 25, CATCHER = 26, GOAL_BASIN = 27,
    PILLAR = 28, TURN_WIDE_1 = 29, LOOP_1 = 35
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
          ctx_{state_, model_, catalogue, world_, camera_, palette_, particles_, ui_, session_, run_, [] { return 0.0; },
               log_, in_} {
        palette_.init(catalogue.typeCount(), 500);
    }

    // A piece at level on (row, column), pillars below it; local +x along dir.
    void piece(int row, int column, int level, int type, int dir) {
        if (!onGrid(row, column)) return;
        select(row, column);
        const int below = scene::stackSize(model_, state_.selectedRow, state_.selectedColumn);
        if (below > level) {
            // Two pieces of a layout on one cell: the run is not what it says.
            std::cerr << "demogen: cell " << state_.selectedRow << ", " << state_.selectedColumn << " already holds "
                      << below << " pieces below level " << level << "\n";
            broken_ = true;
        }
        while (scene::stackSize(model_, state_.selectedRow, state_.selectedColumn) < level) insert(PILLAR);
        insert(type);
        // One +90 degree turn about y takes local +x from +row to +column.
        for (int k = 0; k < dir; ++k) input::rotateTopKlotz(ctx_, {0.0f, 1.0f, 0.0f}, 1);
    }

    void ball(int row, int column) {
        if (!onGrid(row, column)) return;
        select(row, column);
        input::setBallStart(ctx_);
    }

    bool save(const std::string& file) {
        state_.selectedRow = 10;
        state_.selectedColumn = 10;
        return input::saveScene(ctx_, file);
    }

    std::string log() const { return log_.str(); }

    // Cells off the grid are left out with a message, so a run laid out
    // too near the edge shows up at once; the run is then not saved.
    bool onGrid(int row, int column) {
        if (scene::onGrid(row + rowOffset_, column + columnOffset_)) return true;
        std::cerr << "demogen: cell " << row + rowOffset_ << ", " << column + columnOffset_ << " is off the grid\n";
        broken_ = true;
        return false;
    }
    bool broken() const { return broken_; }

private:
    void select(int row, int column) {
        state_.selectedRow = row + rowOffset_;
        state_.selectedColumn = column + columnOffset_;
    }
    void insert(int type) {
        palette_.selectedType = type;
        if (!input::insertKlotz(ctx_)) std::cerr << "demogen: type " << type << " is not in the catalogue\n";
    }

    int rowOffset_;
    int columnOffset_;
    bool broken_ = false;
    klotz::KlotzCatalogue& catalogue_;
    scene::SceneState state_;
    scene::SceneModel model_;
    physics::PhysicsWorld world_;
    view::Camera camera_;
    view::Palette palette_;
    particles::ParticleSystem particles_;
    input::NoUi ui_;
    input::EditSession session_;
    run::Run run_;
    std::ostringstream log_;
    std::istringstream in_;
    input::CommandContext ctx_;
};

// A cell of a layout, and steps along the grid toward a direction.
struct Cell {
    int row, column;
};
inline Cell step(Cell c, int dir, int cells = 1) {
    const int dr[4] = {1, 0, -1, 0}, dc[4] = {0, 1, 0, -1};
    return {c.row + dr[dir] * cells, c.column + dc[dir] * cells};
}
inline void put(Builder& b, Cell c, int level, int type, int dir) { b.piece(c.row, c.column, level, type, dir); }

// A ball start with its catching piece; the ball leaves toward dir.
inline void startAt(Builder& b, Cell c, int level, int dir) {
    put(b, c, level, START, dir);
    b.ball(c.row, c.column);
}

// A quarter turn for a ball running toward `from` that leaves toward `to`.
inline void bend(Builder& b, Cell c, int level, int from, int to) {
    put(b, c, level, CURVE, to == (from + 3) % 4 ? from : (from + 3) % 4);
}

// The ball that comes last: a spiral lets it out slowly onto `cells`
// straights, along which it creeps for some twenty seconds. Low, it creeps
// on level 1 to the lane's end; otherwise on level 2, and rolls down a slope
// onto level 1 at the end. Returns the cell after the lane.
inline Cell crawlLane(Builder& b, Cell at, int dir, int cells, bool low = false) {
    const int level = low ? 1 : 2;
    put(b, at, level, FUNNEL, dir);
    put(b, at, level + 1, SPIRAL, dir);
    b.ball(at.row, at.column);
    for (int k = 1; k <= cells; ++k) put(b, step(at, dir, k), level, STRAIGHT, dir);
    if (low) return step(at, dir, cells + 1);
    put(b, step(at, dir, cells + 1), 1, SLOPE, dir);
    return step(at, dir, cells + 2);
}

}  // namespace demogen
