#include "support/SceneModelAccess.h"
#include <gtest/gtest.h>

#include "input/Editing.h"
#include "run/Simulation.h"
#include "input/SceneFixture.h"

namespace {

using scenetest::SceneFixture;

TEST(SceneModel, StartsEmptyWithTheSelectionNearTheMiddle) {
    scene::SceneModel model;
    scene::SceneState state;
    for (int b : model.cellBallStart()) EXPECT_EQ(b, -1);
    EXPECT_TRUE(model.empty());
    EXPECT_EQ(state.selectedRow, 10);
    EXPECT_EQ(state.selectedColumn, 10);
    EXPECT_FALSE(state.simulationRunning || state.simulationPaused || state.wireframe || state.smoothShading ||
                 state.klotzSelected || state.followBall || state.particlesOn);
    EXPECT_EQ(scene::checkInvariants(model, state), "");
}

TEST(SceneModel, LevelCentresAreCellCentresOneLevelApart) {
    EXPECT_EQ(scene::levelCentre(3, 4, 0), glm::vec3(175.0f, 25.0f, -225.0f));
    EXPECT_EQ(scene::levelCentre(3, 4, 2), glm::vec3(175.0f, 125.0f, -225.0f));
    EXPECT_EQ(scene::levelCentre(0, 0, 0), glm::vec3(25.0f, 25.0f, -25.0f));
    EXPECT_EQ(scene::levelCentre(19, 19, 0), glm::vec3(975.0f, 25.0f, -975.0f));
}

class ClearScene : public SceneFixture {};

TEST_F(ClearScene, EmptiesTheModelAndItsActorsButKeepsSelectionShadingAndShotBalls) {
    select(3, 4);
    ASSERT_TRUE(input::insertKlotz(ctx));
    ASSERT_TRUE(input::insertKlotz(ctx));
    input::setBallStart(ctx);
    select(5, 5);
    input::setBallStart(ctx);
    run::shootBall(rctx);
    state.smoothShading = true;
    state.wireframe = true;
    state.klotzSelected = true;
    state.followBall = true;
    state.followedBall = 1;
    state.particlesOn = true;
    state.particleBall = 1;
    ASSERT_EQ(klotzActors(), 2);
    ASSERT_EQ(ballActors(), 3);

    scene::clearScene(model, state, world);

    EXPECT_TRUE(model.empty());
    EXPECT_TRUE(model.placedDisplayLists().empty());
    EXPECT_TRUE(model.placedActors().empty());
    EXPECT_TRUE(model.ballActors().empty());
    for (int cell = 0; cell < scene::CELL_COUNT; ++cell) {
        EXPECT_EQ(model.cellBallStart()[cell], -1);
        EXPECT_TRUE(model.cellStack()[cell].empty());
    }
    EXPECT_EQ(klotzActors(), 0);
    // The shot ball stays until the next stop of a simulation.
    EXPECT_EQ(ballActors(), 1);
    EXPECT_EQ(model.shotBalls().size(), 1u);

    EXPECT_FALSE(state.wireframe || state.klotzSelected || state.followBall || state.particlesOn ||
                 state.simulationRunning || state.simulationPaused);
    EXPECT_TRUE(state.smoothShading);
    EXPECT_EQ(state.selectedRow, 5);
    EXPECT_EQ(state.selectedColumn, 5);
    EXPECT_EQ(state.followedBall, 1);
    EXPECT_EQ(state.particleBall, 1);
    expectConsistent();
    EXPECT_EQ(physicsLog.str(), "");
}

TEST(SceneModel, InvariantCheckNamesWhatIsWrong) {
    scene::SceneModel model;
    scene::SceneState state;
    scene::SceneModelAccess::placedDisplayLists(model) = {1, 1};
    scene::SceneModelAccess::placedPoses(model).resize(2);
    scene::SceneModelAccess::placedActors(model) = {7, 8};
    scene::SceneModelAccess::placedTypes(model) = {0, 0};
    scene::SceneModelAccess::cellStack(model)[0] = {0, 1};
    EXPECT_EQ(scene::checkInvariants(model, state), "");

    scene::SceneModelAccess::cellStack(model)[1] = {1};  // klotz 1 in two stacks
    EXPECT_NE(scene::checkInvariants(model, state).find("klotz 1"), std::string::npos);
    scene::SceneModelAccess::cellStack(model)[1].clear();

    scene::SceneModelAccess::ballStarts(model).push_back({0, 2});
    scene::SceneModelAccess::ballActors(model).push_back(9);
    scene::SceneModelAccess::cellBallStart(model)[3] = 0;  // the ball start names cell 2
    EXPECT_NE(scene::checkInvariants(model, state).find("ball start 0"), std::string::npos);
    scene::SceneModelAccess::cellBallStart(model)[3] = -1;
    scene::SceneModelAccess::cellBallStart(model)[2] = 0;
    EXPECT_EQ(scene::checkInvariants(model, state), "");

    state.selectedRow = 1;
    state.selectedColumn = 0;
    state.klotzSelected = true;  // on an empty cell
    EXPECT_NE(scene::checkInvariants(model, state), "");
    state.klotzSelected = false;
    state.followBall = true;
    state.followedBall = 1;  // only ball 0 exists
    EXPECT_NE(scene::checkInvariants(model, state).find("followed"), std::string::npos);
}

}  // namespace
