// Rewinding a run: what the record restores, how a run goes on from a
// rewound step, the memory cap, and the keys.
#include <algorithm>

#include "SceneFixture.h"
#include "physics/Actors.h"
#include "scene/Keyboard.h"
#include "scene/Simulation.h"

using namespace scene;

namespace scenetest {
namespace {

class RunRecordTest : public SceneFixture {
protected:
    // Balls over a staircase of cubes: they fall, bounce, roll off and
    // collide, so their paths are anything but trivial.
    void buildRun() {
        for (int i = 0; i < 6; ++i) {
            select(4 + i, 5);
            for (int k = 0; k <= i % 3; ++k) press(KEY_ENTER);
            press('o');
        }
        select(4, 6);
        press('o');
    }
    void press(unsigned char key) { handleKey(ctx, key); }
};

float maxDifference(const std::vector<BallMoment>& a, const std::vector<BallMoment>& b) {
    float d = 0.0f;
    for (std::size_t i = 0; i < std::min(a.size(), b.size()); ++i)
        d = std::max(d, glm::length(a[i].state.pose.translation - b[i].state.pose.translation));
    return a.size() == b.size() ? d : 1e9f;
}

TEST_F(RunRecordTest, RewindRestoresTheRecordAndTheRunGoesOnAlmostAsBefore) {
    buildRun();
    press('l');
    for (int i = 0; i < 300; ++i) stepRun(ctx);  // 3 s
    const RunRecord original = model.run;
    ASSERT_EQ(model.run.lastStep(), 300);

    press('p');
    while (state.runStep > 100) press('b');
    // Exactly the recorded state of step 100.
    const std::vector<BallMoment>& recorded = model.run.frame(100);
    for (std::size_t i = 0; i < recorded.size(); ++i) {
        const physics::ActorHandle ball = model.ballActors[i];
        EXPECT_EQ(world.getGlobalPosition(ball), recorded[i].state.pose.translation);
        EXPECT_EQ(world.getLinearVelocity(ball), recorded[i].state.linearVelocity);
        EXPECT_EQ(world.getAngularVelocity(ball), recorded[i].state.angularVelocity);
    }
    // n replays from the record without simulating.
    const long stepsBefore = world.stats().stepsTaken;
    press('n');
    EXPECT_EQ(state.runStep, 101);
    EXPECT_EQ(world.stats().stepsTaken, stepsBefore);
    press('b');

    // Going on from step 100 drops the recorded future and follows nearly
    // the same path for the next 2 s.
    press('p');
    EXPECT_EQ(model.run.lastStep(), 100);
    float drift = 0.0f;
    for (int i = 101; i <= 300; ++i) {
        stepRun(ctx);
        drift = std::max(drift, maxDifference(model.run.frame(i), original.frame(i)));
    }
    std::cout << "rewind drift over 2 s: " << drift << " units\n";
    EXPECT_LT(drift, 5.0f);
    EXPECT_EQ(physicsLog.str(), "");
}

TEST_F(RunRecordTest, ShotBallsComeAndGoWithTime) {
    buildRun();
    press('l');
    for (int i = 0; i < 10; ++i) stepRun(ctx);
    press(KEY_SPACE);
    for (int i = 0; i < 10; ++i) stepRun(ctx);
    ASSERT_EQ(model.shotBalls.size(), 1u);
    press('p');
    for (int i = 0; i < 15; ++i) press('b');
    EXPECT_TRUE(model.shotBalls.empty());  // not shot yet at step 5
    for (int i = 0; i < 15; ++i) press('n');
    ASSERT_EQ(model.shotBalls.size(), 1u);
    EXPECT_EQ(world.getGlobalPosition(model.shotBalls[0]), model.run.frame(20).back().state.pose.translation);
}

TEST_F(RunRecordTest, RewindingByManyStepsStopsAtTheRecordsStart) {
    buildRun();
    press('l');
    for (int i = 0; i < 50; ++i) stepRun(ctx);
    press('p');
    stepBackBy(ctx, 20);
    EXPECT_EQ(state.runStep, 30);
    EXPECT_EQ(world.getGlobalPosition(model.ballActors[0]), model.run.frame(30)[0].state.pose.translation);
    stepBackBy(ctx, 1000);
    EXPECT_EQ(state.runStep, 0);
    EXPECT_EQ(world.getGlobalPosition(model.ballActors[0]), model.run.frame(0)[0].state.pose.translation);
    EXPECT_EQ(model.run.lastStep(), 50);  // the future stays until the run goes on
}

TEST_F(RunRecordTest, TheRecordStaysUnderItsCapAndSaysSoOnce) {
    buildRun();
    press('l');
    model.run = RunRecord(64 * 1024);
    model.run.start(model, world);
    for (int i = 0; i < 2000; ++i) stepRun(ctx);
    EXPECT_LE(model.run.bytes(), 64u * 1024u);
    EXPECT_GT(model.run.firstStep(), 0);
    EXPECT_EQ(model.run.lastStep(), 2000);
    const std::string said = out.str();
    EXPECT_NE(said.find("rewind keeps the last"), std::string::npos);
    EXPECT_EQ(said.find("rewind keeps", said.find("rewind keeps") + 1), std::string::npos);
}

TEST_F(RunRecordTest, TimeKeysActOnlyWhereTheyApply) {
    buildRun();
    for (unsigned char key : {'n', 'b', '+', '-', '='}) press(key);
    EXPECT_EQ(out.str(), "");
    EXPECT_EQ(world.stats().stepsTaken, 0);

    press('l');
    EXPECT_EQ(runStatus(state, model), "");
    press('n');  // not paused: nothing
    EXPECT_EQ(world.stats().stepsTaken, 0);
    press('p');
    press('n');
    EXPECT_EQ(world.stats().stepsTaken, 1);
    for (int i = 0; i < 3; ++i) press('-');
    EXPECT_EQ(runStatus(state, model), "paused  t=0.01 s  speed 1/8 (0.25x real time)");
    for (int i = 0; i < 9; ++i) press('+');
    EXPECT_EQ(playbackSpeed(state), 8.0f);  // 4 times the double pace, held there
    press('b');
    EXPECT_EQ(runStatus(state, model), "paused  rewound  t=0.00 s  speed 4 (8x real time)");
    press('l');
    press('l');
    EXPECT_EQ(playbackSpeed(state), 2.0f);  // a new run starts at the normal pace
}

}  // namespace
}  // namespace scenetest
