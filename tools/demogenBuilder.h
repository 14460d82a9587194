// The editing front end demogen lays runs out with: pieces by cell, level
// and direction, through the same operations the keys use.
#pragma once

#include <iostream>
#include <sstream>
#include <string>

#include "klotz/Catalogue.h"
#include "particles/ParticleSystem.h"
#include "physics/Physics.h"
#include "scene/Camera.h"
#include "scene/Commands.h"
#include "scene/EditSession.h"
#include "scene/Editing.h"
#include "scene/Palette.h"
#include "scene/SceneFile.h"
#include "scene/SceneState.h"
#include "scene/UiHooks.h"

namespace demogen {

enum Type {
    CUBE = 0, STRAIGHT = 1, CURVE = 2, SLOPE = 3, CROSSING = 4, TEE = 5, MERGE_RIGHT = 6, MERGE_LEFT = 7,
    STOP = 8, START = 9, FUNNEL = 10, DROP = 11, SPIRAL = 12, HALFPIPE = 13, JUMP = 14, GOAL = 15,
    SAG_1 = 16, SAG_2 = 17, CREST_1 = 18, CREST_2 = 19, CREST_3 = 20, CREST_4 = 21, SPLITTER = 22,
    COLLECTOR = 23, TUNNEL = 24, BRIDGE = 25, CATCHER = 26, GOAL_BASIN = 27,
    PILLAR = 28
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

    // A piece at level on (row, column), pillars below it; local +x along dir.
    void piece(int row, int column, int level, int type, int dir) {
        select(row, column);
        while (scene::stackSize(model_, state_.selectedRow, state_.selectedColumn) < level) insert(PILLAR);
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

}  // namespace demogen
