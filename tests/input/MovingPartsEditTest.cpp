// A klotz with a moving part through the editing and the run: undo and
// redo take the part with the klotz, a run starts with it at rest every
// time and a rewind puts it back where it was.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "SceneFixture.h"
#include "input/Editing.h"
#include "run/Simulation.h"

namespace {

class MovingPartsEdit : public scenetest::SceneFixture {
protected:
    MovingPartsEdit() {
        // A tray on a sprung hinge 10 to the side of the cell's middle: a
        // ball dropped from the start above lands beside the hinge.
        klotz::KlotzType type;
        type.name = "tray";
        type.mesh = scenetest::cubeMesh(2);
        for (std::size_t i = 1; i < type.mesh.vertices.size(); i += 3) type.mesh.vertices[i] -= 20;  // a post under it
        klotz::KlotzPart part;
        part.decl.name = "pan";
        part.decl.joint = klotz::PartJoint::HINGE;
        part.decl.pivot = {-10, 0, 0};
        part.decl.lower = -0.5f;
        part.decl.upper = 0.5f;
        part.decl.spring = 20000;
        part.decl.damping = 0.9f;
        part.mesh = scenetest::cubeMesh(20);
        for (std::size_t i = 1; i < part.mesh.vertices.size(); i += 3) part.mesh.vertices[i] /= 20;  // 2 thick
        type.parts.push_back(part);
        catalogue.catalogueNames.push_back(type.name);
        catalogue.klotzTypes.push_back(type);
        catalogue.typeDisplayLists.push_back(3);
        palette.init(catalogue.typeCount(), 500);
        palette.selectedType = 2;
        select(5, 5);
    }
    physics::ActorHandle tray() const { return model.placedActors().at(0); }
    float tilt() const { return world.movingPartMatrix(tray(), 0)[1]; }
};

TEST_F(MovingPartsEdit, UndoAndRedoTakeThePartsWithTheKlotz) {
    input::recordStep(ctx, [&] { input::insertKlotz(ctx); });
    EXPECT_EQ(world.stats().movingParts, 1);
    ASSERT_TRUE(input::undoStep(ctx));
    EXPECT_EQ(world.stats().movingParts, 0);
    ASSERT_TRUE(input::redoStep(ctx));
    EXPECT_EQ(world.stats().movingParts, 1);
    EXPECT_EQ(world.movingPartCount(tray()), 1);
}

TEST_F(MovingPartsEdit, EveryRunStartsWithThePartsAtRestAndARewindPutsThemBack) {
    input::insertKlotz(ctx);
    input::setBallStart(ctx);
    float tipped = 0;
    const auto runTo = [&](int steps) {
        for (int i = 0; i < steps; ++i) {
            run::stepRun(rctx);
            tipped = std::max(tipped, std::fabs(tilt()));
        }
    };
    run::startRun(rctx);
    runTo(40);
    const std::vector<physics::PartState> at40 = world.getPartStates();
    runTo(60);
    const float tiltAt100 = tilt();
    EXPECT_GT(tipped, 0.2f) << "the ball tipped the tray";
    const glm::vec3 ballAt100 = world.getGlobalPosition(model.ballActors()[0]);
    run::stopRun(rctx);
    EXPECT_EQ(tilt(), 0.0f) << "back to building, the part is at rest";

    run::startRun(rctx);
    EXPECT_EQ(tilt(), 0.0f);
    runTo(100);
    EXPECT_EQ(tilt(), tiltAt100) << "the same run again";
    EXPECT_EQ(world.getGlobalPosition(model.ballActors()[0]), ballAt100);

    run::stepBack(rctx, 60);
    EXPECT_EQ(runState.step, 40);
    const std::vector<physics::PartState> back = world.getPartStates();
    ASSERT_EQ(back.size(), 1u);
    EXPECT_EQ(back[0].pose.rotation, at40[0].pose.rotation) << "rewound, the tray is where it was";
    EXPECT_EQ(back[0].angularVelocity, at40[0].angularVelocity);
}

}  // namespace
