#include "SceneFixture.h"
#include "input/Editing.h"
#include "input/Keyboard.h"
#include "run/Simulation.h"

using namespace scene;
using namespace input;
using namespace run;

namespace scenetest {
namespace {

class KeyboardTest : public SceneFixture {
protected:
    void press(unsigned char key) { handleKey(ctx, key); }
    void ballStartAt(int row, int column) {
        select(row, column);
        press('o');
    }
};

TEST_F(KeyboardTest, EnterInsertsAndSpaceSelectsTheTopKlotz) {
    press(KEY_ENTER);
    press(KEY_ENTER);
    EXPECT_EQ(stackAt(10, 10).size(), 2u);
    press(KEY_SPACE);
    EXPECT_TRUE(state.klotzSelected);
    press(KEY_ENTER);  // no insertion while a klotz is selected
    EXPECT_EQ(model.placedCount(), 2);

    press(KEY_BACKSPACE);  // two-klotz stack: the lower one is now selected
    EXPECT_EQ(model.placedCount(), 1);
    EXPECT_TRUE(state.klotzSelected);
    press(KEY_BACKSPACE);  // one-klotz stack: nothing left to select
    EXPECT_EQ(model.placedCount(), 0);
    EXPECT_FALSE(state.klotzSelected);
    EXPECT_EQ(klotzActors(), 0);
    EXPECT_EQ(out.str(), "");
    expectConsistent();
}

TEST_F(KeyboardTest, RotationKeysActOnlyOnASelectedKlotz) {
    camera.direction = {0.0f, 0.0f, -1.0f};
    press(KEY_ENTER);
    const PoseMatrix start = model.placedPoses()[0];
    press('k');
    EXPECT_EQ(model.placedPoses()[0], start);
    press(KEY_SPACE);
    press('k');  // +90 about y
    EXPECT_NEAR(model.placedPoses()[0][2], -1.0f, 1e-6f);
    press('h');
    press('i');  // +90 about the view axis (0, 0, -1): x goes to -y
    EXPECT_NEAR(model.placedPoses()[0][1], -1.0f, 1e-6f);
    press('z');
    press('j');  // +90 about the side axis (1, 0, 0): y goes to z
    EXPECT_NEAR(model.placedPoses()[0][6], 1.0f, 1e-6f);
    press('u');
    for (int e = 0; e < 16; ++e) EXPECT_NEAR(model.placedPoses()[0][e], start[e], 1e-5f);
    EXPECT_EQ(out.str(), "");
}

TEST_F(KeyboardTest, SpaceOnAnEmptyCellShootsABallThatFliesAtTheStart) {
    camera.position = {100.0f, 200.0f, -300.0f};
    camera.direction = {0.0f, 0.0f, -1.0f};
    press(KEY_SPACE);
    ASSERT_EQ(model.shotBalls().size(), 1u);
    EXPECT_FALSE(state.klotzSelected);
    const physics::ActorHandle ball = model.shotBalls()[0];
    EXPECT_EQ(world.getGlobalPosition(ball), camera.position);

    camera.direction = {1.0f, 0.0f, 0.0f};  // turning later does not matter
    press('l');
    EXPECT_EQ(world.getLinearVelocity(ball), glm::vec3(0.0f, 0.0f, -400.0f));
    EXPECT_EQ(ballActors(), 1);
    press('l');
    EXPECT_TRUE(model.shotBalls().empty());
    EXPECT_EQ(ballActors(), 0);
}

TEST_F(KeyboardTest, ShootingWithoutEndKeepsOnlyTheNewestBalls) {
    for (int i = 0; i < 2000; ++i) press(KEY_SPACE);
    EXPECT_EQ(ballActors(), MAX_SHOT_BALLS);
    ASSERT_EQ(model.shotBalls().size(), static_cast<std::size_t>(MAX_SHOT_BALLS));
    EXPECT_TRUE(world.isActor(model.shotBalls().back()));
    press('l');
    world.simulate(0.1f);  // the survivors still simulate
    press('l');
    EXPECT_EQ(ballActors(), 0);
}

TEST_F(KeyboardTest, StartAndStopSwitchModesInOrder) {
    select(4, 4);
    press(KEY_ENTER);
    press(KEY_ENTER);
    press('o');
    press(KEY_SPACE);
    clock = 12.5;
    press('l');
    EXPECT_TRUE(state.simulationRunning);
    EXPECT_FALSE(state.simulationPaused);
    EXPECT_FALSE(state.klotzSelected);
    EXPECT_EQ(runState.lastStepTime, 12.5);
    EXPECT_EQ(particles.resetCount(), 1);
    EXPECT_EQ(ui.calls, std::vector<std::string>{"controls hidden"});
    EXPECT_EQ(world.getGlobalPosition(model.ballActors()[0]), glm::vec3(225.0f, 125.0f, -225.0f));

    // Editing keys do nothing while simulating.
    press(KEY_ENTER);
    press(KEY_BACKSPACE);
    press('o');
    EXPECT_EQ(model.placedCount(), 2);
    EXPECT_EQ(model.ballCount(), 1);

    press('l');
    EXPECT_FALSE(state.simulationRunning);
    EXPECT_EQ(particles.resetCount(), 2);
    EXPECT_EQ(ui.calls, (std::vector<std::string>{"controls hidden", "controls shown"}));
    EXPECT_EQ(out.str().rfind("run: 0 of 1 balls home after 0.00 s\n", 0), 0u) << out.str();
}

TEST_F(KeyboardTest, RunsPlayDoubleSpeedUnlessFollowingABall) {
    EXPECT_EQ(playbackSpeed(state, runState), 2.0f);
    runState.lastStepTime = 10.0;
    advanceSimulation(rctx, 11.0, 2.0);
    EXPECT_EQ(runState.lastStepTime, 11.0);
    EXPECT_EQ(world.stats().stepsTaken, 200);
    state.followBall = true;
    EXPECT_EQ(playbackSpeed(state, runState), 1.0f);
    // Frames of 0.025 s and 0.015 s of simulated time: 2 steps, then the
    // carried 0.005 s makes a third whole step with the next one.
    advanceSimulation(rctx, 11.025, 0.025);
    EXPECT_EQ(world.stats().stepsTaken, 202);
    advanceSimulation(rctx, 11.05, 0.015);
    EXPECT_EQ(world.stats().stepsTaken, 204);
    EXPECT_EQ(physicsLog.str(), "");
}

TEST_F(KeyboardTest, FollowedStartIsPausedLookingAlmostStraightDown) {
    ballStartAt(2, 3);
    press('0');
    EXPECT_TRUE(state.followBall);
    EXPECT_EQ(state.followedBall, 0);
    clock = 3.0;
    press('l');
    EXPECT_TRUE(state.simulationPaused);
    EXPECT_EQ(camera.position, glm::vec3(125.0f, 25.0f, -175.0f));
    EXPECT_LT(camera.direction.y, -0.9999f);
    EXPECT_GT(camera.direction.x, 0.0f);
    EXPECT_NEAR(glm::length(camera.right), 1.0f, 1e-6f);

    // Pause and resume: both step clocks restart at the resume.
    clock = 7.0;
    press('p');
    EXPECT_FALSE(state.simulationPaused);
    EXPECT_EQ(runState.lastStepTime, 7.0);
    EXPECT_EQ(runState.particleTime, 7.0);
    clock = 9.0;
    press('p');
    EXPECT_TRUE(state.simulationPaused);
    EXPECT_EQ(runState.lastStepTime, 7.0);
    EXPECT_EQ(out.str(), "0");
}

TEST_F(KeyboardTest, CameraKeysStopWhileRidingABall) {
    ballStartAt(2, 3);
    press('0');
    const glm::vec3 start = camera.position;
    press('r');  // building mode: moves even when following
    EXPECT_EQ(camera.position, start + glm::vec3(0.0f, 8.0f, 0.0f));
    press('l');
    const glm::vec3 riding = camera.position;
    for (unsigned char key : {'w', 'a', 's', 'd', 'r', 'f', 'q', 'e'}) press(key);
    EXPECT_EQ(camera.position, riding);
    EXPECT_EQ(out.str(), "0");
}

TEST_F(KeyboardTest, OtherKeysAreEchoedAndChooseTheFollowedBall) {
    for (int column = 0; column < 3; ++column) ballStartAt(0, column);
    press('2');
    EXPECT_TRUE(state.followBall);
    EXPECT_EQ(state.followedBall, 2);
    press('2');
    EXPECT_FALSE(state.followBall);
    press('7');  // no such ball
    EXPECT_FALSE(state.followBall);
    press('W');  // ball 39: only echoed
    press('P');
    press('!');  // below '0'
    EXPECT_FALSE(state.followBall);
    EXPECT_EQ(out.str(), "227WP!");
    EXPECT_EQ(model.ballCount(), 3);
    EXPECT_EQ(camera.position, view::Camera().position);
}

TEST_F(KeyboardTest, DigitDuringARunSnapsTheCameraToTheBall) {
    ballStartAt(2, 3);
    press('l');
    world.setLinearVelocity(model.ballActors()[0], {0.0f, 0.0f, 5.0f});
    press('0');
    EXPECT_EQ(camera.position, glm::vec3(125.0f, 25.0f, -175.0f));
    EXPECT_EQ(camera.direction, glm::vec3(0.0f, 0.0f, 1.0f));
}

TEST_F(KeyboardTest, ParticleKeysWithAndWithoutBalls) {
    press('t');
    EXPECT_EQ(state.particleBall, 0);
    press('x');
    EXPECT_FALSE(state.particlesOn);
    EXPECT_EQ(particles.resetCount(), 1);

    ballStartAt(0, 0);
    ballStartAt(0, 1);
    clock = 4.0;
    press('x');
    EXPECT_TRUE(state.particlesOn);
    EXPECT_EQ(state.particleBall, 0);
    EXPECT_EQ(runState.particleTime, 4.0);
    press('t');
    EXPECT_EQ(state.particleBall, 1);
    press('t');
    EXPECT_EQ(state.particleBall, 0);
    press('x');
    EXPECT_FALSE(state.particlesOn);
    EXPECT_EQ(particles.resetCount(), 3);
    EXPECT_EQ(out.str(), "");
}

TEST_F(KeyboardTest, WireframeInBothModesAndEscapeExits) {
    press('m');
    EXPECT_TRUE(state.wireframe);
    press('l');
    press('m');
    EXPECT_FALSE(state.wireframe);
    press(KEY_ESCAPE);
    EXPECT_EQ(ui.calls, (std::vector<std::string>{"lines", "controls hidden", "fill", "exit"}));
    EXPECT_EQ(out.str(), "");
}

TEST_F(KeyboardTest, OTogglesTheBallStartOnlyWithoutASelectedKlotz) {
    press('o');
    EXPECT_EQ(model.cellBallStart()[cellIndex(10, 10)], 0);
    press(KEY_ENTER);
    press(KEY_SPACE);
    press('o');  // a klotz is selected: ignored
    EXPECT_EQ(model.ballCount(), 1);
    press(KEY_SPACE);
    press('o');
    EXPECT_EQ(model.ballCount(), 0);
    EXPECT_EQ(ballActors(), 0);
    expectConsistent();
}

}  // namespace
}  // namespace scenetest
