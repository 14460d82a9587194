// A command context for the scene tests: a real physics world, a catalogue
// of two cube types, the console as string streams and a UI that records.
#pragma once

#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "physics/ErrorReporter.h"
#include "input/Commands.h"
#include "input/EditSession.h"
#include "run/Run.h"

namespace scenetest {

class RecordingUi : public input::UiHooks {
public:
    void applyPolygonMode(bool wireframe) override { calls.push_back(wireframe ? "lines" : "fill"); }
    void setBuildingControls(bool shown) override { calls.push_back(shown ? "controls shown" : "controls hidden"); }
    void applyShadeModel(bool smooth) override { calls.push_back(smooth ? "smooth" : "flat"); }
    int replaceTypeDisplayList(int type, int oldList, bool) override {
        calls.push_back("replace " + std::to_string(type) + " " + std::to_string(oldList));
        return nextList++;
    }
    void printHelp() override { calls.push_back("help"); }
    void exitProgram() override { calls.push_back("exit"); }

    std::vector<std::string> calls;
    int nextList = 100;
};

klotz::Mesh cubeMesh(float half);

class SceneFixture : public ::testing::Test {
protected:
    SceneFixture();
    ~SceneFixture() override;

    // Feeds the console input the menu reads.
    void input(const std::string& text) {
        in.clear();
        in.str(text);
    }
    void select(int row, int column) {
        state.selectedRow = row;
        state.selectedColumn = column;
    }
    const std::vector<int>& stackAt(int row, int column) const {
        return model.stackAt(row, column);
    }
    // Klotz and ball actors alive in the world besides the boundary planes.
    int klotzActors() const { return world.stats().staticActors - world.stats().planeActors; }
    int ballActors() const { return world.stats().dynamicActors; }
    void expectConsistent() const { EXPECT_EQ(scene::checkInvariants(model, state), ""); }

    std::ostringstream physicsLog;
    std::istringstream physicsIn;
    physics::ErrorReporter reporter{physicsLog, physicsIn};
    scene::SceneState state;
    scene::SceneModel model;
    klotz::KlotzCatalogue catalogue;
    physics::PhysicsWorld world{&reporter};
    view::Camera camera;
    view::Palette palette;
    particles::ParticleSystem particles;
    RecordingUi ui;
    input::EditSession session;
    run::Run runState;
    double clock = 0.0;
    std::ostringstream out;
    std::istringstream in;
    input::CommandContext ctx{state, model,   catalogue, world, camera, palette, particles, ui, session, runState,
                              [this] { return clock; }, out, in};
    // The run's view of the same, for the run's own functions.
    run::RunContext rctx = input::runContext(ctx);
};

}  // namespace scenetest
