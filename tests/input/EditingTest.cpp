#include <cmath>

#include "SceneFixture.h"
#include "view/ScreenAxes.h"
#include "physics/Actors.h"
#include "input/Editing.h"
#include "run/Simulation.h"

using namespace scene;
using namespace input;
using namespace run;
using namespace view;

namespace scenetest {
namespace {

class EditingTest : public SceneFixture {
protected:
    glm::vec3 actorPosition(int klotz) const { return world.getGlobalPosition(model.placedActors()[klotz]); }
    // The stored matrix is the actor's pose, element for element.
    void expectMatrixFollowsActor(int klotz) const {
        EXPECT_EQ(model.placedPoses()[klotz], physics::poseToMatrix(world.getGlobalPose(model.placedActors()[klotz])));
    }
};

TEST_F(EditingTest, InsertStacksLevelsAndReusesAFreedLevel) {
    select(3, 4);
    for (int k = 0; k < 3; ++k) ASSERT_TRUE(insertKlotz(ctx));
    ASSERT_EQ(stackAt(3, 4), (std::vector<int>{0, 1, 2}));
    for (int k = 0; k < 3; ++k) {
        const PoseMatrix& m = model.placedPoses()[k];
        EXPECT_EQ(m[12], 175.0f);
        EXPECT_EQ(m[13], 25.0f + 50.0f * k);
        EXPECT_EQ(m[14], -225.0f);
        EXPECT_EQ(m[0], 1.0f);
        EXPECT_EQ(m[5], 1.0f);
        EXPECT_EQ(m[10], 1.0f);
        EXPECT_EQ(m[15], 1.0f);
        EXPECT_EQ(actorPosition(k), glm::vec3(175.0f, 25.0f + 50.0f * k, -225.0f));
        expectMatrixFollowsActor(k);
    }
    EXPECT_EQ(klotzActors(), 3);
    EXPECT_FALSE(state.klotzSelected);

    deleteTopKlotz(ctx);
    EXPECT_EQ(klotzActors(), 2);
    ASSERT_TRUE(insertKlotz(ctx));
    EXPECT_EQ(model.placedPoses()[2][13], 125.0f);
    expectConsistent();
}

TEST_F(EditingTest, InsertCopiesTheTypesListAndSharesItsMesh) {
    palette.selectedType = 1;
    insertKlotz(ctx);
    const physics::MeshHandle mesh = model.typeMesh(catalogue, world, 1);
    insertKlotz(ctx);
    EXPECT_EQ(model.placedDisplayLists(), (std::vector<int>{2, 2}));
    EXPECT_EQ(model.placedTypes(), (std::vector<int>{1, 1}));
    EXPECT_NE(mesh, physics::NO_MESH);
    EXPECT_EQ(model.typeMesh(catalogue, world, 1), mesh);
    EXPECT_NE(model.placedActors()[0], model.placedActors()[1]);
}

TEST_F(EditingTest, InsertWithoutAValidTypeDoesNothing) {
    palette.selectedType = 2;  // past the last type
    EXPECT_FALSE(insertKlotz(ctx));
    palette.selectedType = -1;
    EXPECT_FALSE(insertKlotz(ctx));
    catalogue = klotz::KlotzCatalogue();
    palette.selectedType = 0;
    EXPECT_FALSE(insertKlotz(ctx));
    EXPECT_TRUE(model.empty());
    EXPECT_EQ(klotzActors(), 0);
}

TEST_F(EditingTest, DeletingKlotzZeroRenumbersAndKeepsEachKlotzWhole) {
    palette.selectedType = 1;
    select(10, 10);
    insertKlotz(ctx);  // 0
    palette.selectedType = 0;
    select(2, 2);
    insertKlotz(ctx);  // 1
    select(5, 7);
    palette.selectedType = 1;
    insertKlotz(ctx);  // 2
    const PoseMatrix pose1 = model.placedPoses()[1];
    const PoseMatrix pose2 = model.placedPoses()[2];
    const physics::ActorHandle actor1 = model.placedActors()[1];
    const physics::ActorHandle actor2 = model.placedActors()[2];

    select(10, 10);
    deleteTopKlotz(ctx);
    EXPECT_TRUE(stackAt(10, 10).empty());
    EXPECT_EQ(stackAt(2, 2), std::vector<int>{0});
    EXPECT_EQ(stackAt(5, 7), std::vector<int>{1});
    EXPECT_EQ(model.placedPoses()[0], pose1);
    EXPECT_EQ(model.placedPoses()[1], pose2);
    EXPECT_EQ(model.placedActors()[0], actor1);
    EXPECT_EQ(model.placedActors()[1], actor2);
    EXPECT_EQ(model.placedDisplayLists(), (std::vector<int>{1, 2}));
    EXPECT_EQ(model.placedTypes(), (std::vector<int>{0, 1}));
    EXPECT_EQ(klotzActors(), 2);
    expectConsistent();
}

TEST_F(EditingTest, MoveLandsOnTopOfTheTargetAndTheSelectionFollows) {
    camera.direction = {0.0f, 0.0f, -1.0f};
    select(10, 11);
    insertKlotz(ctx);
    insertKlotz(ctx);
    select(10, 10);
    insertKlotz(ctx);  // 2, to be moved
    insertKlotz(ctx);  // 3, on top
    insertKlotz(ctx);  // 4, moved away
    state.klotzSelected = true;

    ASSERT_TRUE(moveTopKlotz(ctx, KEY_UP));  // along -z: column + 1
    EXPECT_EQ(state.selectedRow, 10);
    EXPECT_EQ(state.selectedColumn, 11);
    EXPECT_TRUE(state.klotzSelected);
    EXPECT_EQ(stackAt(10, 11), (std::vector<int>{0, 1, 4}));
    EXPECT_EQ(stackAt(10, 10), (std::vector<int>{2, 3}));
    EXPECT_EQ(model.placedPoses()[4][13], 125.0f);
    EXPECT_EQ(actorPosition(4), levelCentre(10, 11, 2));
    expectMatrixFollowsActor(4);
    expectConsistent();
}

TEST_F(EditingTest, KlotzMoveOffTheGridIsRefused) {
    camera.direction = {0.0f, 0.0f, -1.0f};
    select(0, 19);
    insertKlotz(ctx);
    state.klotzSelected = true;
    const PoseMatrix before = model.placedPoses()[0];
    EXPECT_FALSE(moveTopKlotz(ctx, KEY_LEFT));  // row - 1
    EXPECT_FALSE(moveTopKlotz(ctx, KEY_UP));    // column + 1
    EXPECT_EQ(model.placedPoses()[0], before);
    EXPECT_EQ(stackAt(0, 19), std::vector<int>{0});
    EXPECT_EQ(state.selectedRow, 0);
    EXPECT_EQ(state.selectedColumn, 19);
}

TEST_F(EditingTest, ArrowsAreScreenRelative) {
    struct Case {
        glm::vec3 view;
        int arrow;
        int row, column;
    };
    const Case cases[] = {
        {{0.0f, 0.0f, -1.0f}, KEY_UP, 10, 11},   {{0.0f, 0.0f, -1.0f}, KEY_LEFT, 9, 10},
        {{1.0f, 0.0f, 0.0f}, KEY_UP, 11, 10},    {{1.0f, 0.0f, 0.0f}, KEY_LEFT, 10, 11},
        {{0.0f, 0.0f, -1.0f}, KEY_DOWN, 10, 9},  {{-1.0f, 0.0f, 0.0f}, KEY_RIGHT, 10, 11},
        {{0.6f, -0.2f, 0.6f}, KEY_UP, 10, 9},  // a tie goes along z
    };
    for (const Case& c : cases) {
        select(10, 10);
        camera.direction = glm::normalize(c.view);
        moveSelection(ctx, c.arrow);
        EXPECT_EQ(state.selectedRow, c.row) << c.arrow;
        EXPECT_EQ(state.selectedColumn, c.column) << c.arrow;
    }
}

TEST_F(EditingTest, SelectionIsClampedAtTheEdge) {
    camera.direction = {0.0f, 0.0f, -1.0f};
    select(0, 19);
    for (int i = 0; i < 3; ++i) {
        moveSelection(ctx, KEY_LEFT);
        moveSelection(ctx, KEY_UP);
    }
    EXPECT_EQ(state.selectedRow, 0);
    EXPECT_EQ(state.selectedColumn, 19);
}

TEST_F(EditingTest, ExactlyVerticalViewCountsZeroAsPositive) {
    camera.direction = {0.0f, -1.0f, 0.0f};
    select(10, 10);
    moveSelection(ctx, KEY_UP);  // as if looking along +z
    EXPECT_EQ(state.selectedColumn, 9);
    EXPECT_EQ(viewAxis(camera.direction), glm::vec3(1.0f, 0.0f, 0.0f));
    EXPECT_EQ(sideAxis(camera.direction), glm::vec3(0.0f, 0.0f, 1.0f));
}

TEST_F(EditingTest, RotationAxesFollowTheView) {
    EXPECT_EQ(viewAxis({0.0f, 0.0f, -1.0f}), glm::vec3(0.0f, 0.0f, -1.0f));
    EXPECT_EQ(sideAxis({0.0f, 0.0f, -1.0f}), glm::vec3(1.0f, 0.0f, 0.0f));  // the camera's right
    EXPECT_EQ(viewAxis({-0.8f, -0.5f, 0.3f}), glm::vec3(-1.0f, 0.0f, 0.0f));
    EXPECT_EQ(sideAxis({-0.8f, -0.5f, 0.3f}), glm::vec3(0.0f, 0.0f, -1.0f));
    EXPECT_EQ(viewAxis({0.5f, 0.0f, 0.5f}), glm::vec3(1.0f, 0.0f, 0.0f));  // tie: x
}

TEST_F(EditingTest, TurnsAreAboutTheWorldAxisAndFourMakeAFullCircle) {
    select(3, 4);
    insertKlotz(ctx);
    const PoseMatrix start = model.placedPoses()[0];

    rotateTopKlotz(ctx, {0.0f, 1.0f, 0.0f}, +1);
    // +90 degrees about y carries x onto -z: first column (1, 0, 0) -> (0, 0, -1).
    const PoseMatrix& m = model.placedPoses()[0];
    EXPECT_NEAR(m[0], 0.0f, 1e-6f);
    EXPECT_NEAR(m[2], -1.0f, 1e-6f);
    EXPECT_NEAR(m[8], 1.0f, 1e-6f);
    EXPECT_EQ(m[12], 175.0f);
    EXPECT_EQ(m[13], 25.0f);
    EXPECT_EQ(m[14], -225.0f);
    expectMatrixFollowsActor(0);

    // A second axis: the turn is applied after the first, about world x.
    rotateTopKlotz(ctx, {1.0f, 0.0f, 0.0f}, +1);
    // The klotz's z column was world +x after the y turn; a turn about x keeps it.
    EXPECT_NEAR(model.placedPoses()[0][8], 1.0f, 1e-6f);
    rotateTopKlotz(ctx, {1.0f, 0.0f, 0.0f}, -1);

    for (int i = 0; i < 3; ++i) rotateTopKlotz(ctx, {0.0f, 2.0f, 0.0f}, +1);  // the axis is normalised
    for (int e = 0; e < 16; ++e) EXPECT_NEAR(model.placedPoses()[0][e], start[e], 1e-5f) << e;
    expectMatrixFollowsActor(0);
}

TEST_F(EditingTest, RemovingABallStartRenumbersTheFollowedBall) {
    for (int column = 0; column < 3; ++column) {
        select(1, column);
        setBallStart(ctx);
    }
    state.followBall = true;
    state.followedBall = 2;
    state.particlesOn = true;
    state.particleBall = 0;
    const physics::ActorHandle followed = model.ballActors()[2];

    select(1, 0);
    unsetBallStart(ctx);
    EXPECT_TRUE(state.followBall);
    EXPECT_EQ(state.followedBall, 1);
    EXPECT_EQ(model.ballActors()[1], followed);
    EXPECT_FALSE(state.particlesOn);  // its ball is gone
    EXPECT_EQ(model.cellBallStart()[cellIndex(1, 0)], -1);
    EXPECT_EQ(model.cellBallStart()[cellIndex(1, 1)], 0);
    EXPECT_EQ(model.cellBallStart()[cellIndex(1, 2)], 1);
    EXPECT_EQ(ballActors(), 2);
    expectConsistent();
}

TEST_F(EditingTest, BallsStartAboveTheirCellsKloetzeAtRest) {
    select(6, 6);
    insertKlotz(ctx);
    insertKlotz(ctx);
    setBallStart(ctx);
    select(0, 0);
    setBallStart(ctx);
    world.setLinearVelocity(model.ballActors()[0], {5.0f, 0.0f, 0.0f});
    world.setAngularVelocity(model.ballActors()[0], {1.0f, 0.0f, 0.0f});

    resetBallsToStarts(model, world);
    EXPECT_EQ(world.getGlobalPosition(model.ballActors()[0]), glm::vec3(325.0f, 125.0f, -325.0f));
    EXPECT_EQ(world.getGlobalPosition(model.ballActors()[1]), glm::vec3(25.0f, 25.0f, -25.0f));
    EXPECT_EQ(world.getLinearVelocity(model.ballActors()[0]), glm::vec3(0.0f));
    EXPECT_EQ(world.getAngularVelocity(model.ballActors()[0]), glm::vec3(0.0f));
}

}  // namespace
}  // namespace scenetest
