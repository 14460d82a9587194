// Rewinding a run: what the record restores, how a run goes on from a
// rewound step, the memory cap, and the keys.
#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "input/SceneFixture.h"
#include "physics/Actors.h"
#include "input/Keyboard.h"
#include "run/Simulation.h"

using namespace scene;
using namespace input;
using namespace run;

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
    const RunInsight& insight() const { return runState.insight; }
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
    for (int i = 0; i < 300; ++i) stepRun(rctx);  // 3 s
    const RunRecord original = runState.record;
    ASSERT_EQ(runState.record.lastStep(), 300);

    press('p');
    while (runState.step > 100) press('b');
    // Exactly the recorded state of step 100.
    const std::vector<BallMoment>& recorded = runState.record.frame(100);
    for (std::size_t i = 0; i < recorded.size(); ++i) {
        const physics::ActorHandle ball = model.ballActors()[i];
        EXPECT_EQ(world.getGlobalPosition(ball), recorded[i].state.pose.translation);
        EXPECT_EQ(world.getLinearVelocity(ball), recorded[i].state.linearVelocity);
        EXPECT_EQ(world.getAngularVelocity(ball), recorded[i].state.angularVelocity);
    }
    // n replays from the record without simulating.
    const long stepsBefore = world.stats().stepsTaken;
    press('n');
    EXPECT_EQ(runState.step, 101);
    EXPECT_EQ(world.stats().stepsTaken, stepsBefore);
    press('b');

    // Going on from step 100 drops the recorded future and follows nearly
    // the same path for the next 2 s.
    press('p');
    EXPECT_EQ(runState.record.lastStep(), 100);
    float drift = 0.0f;
    for (int i = 101; i <= 300; ++i) {
        stepRun(rctx);
        drift = std::max(drift, maxDifference(runState.record.frame(i), original.frame(i)));
    }
    std::cout << "rewind drift over 2 s: " << drift << " units\n";
    EXPECT_LT(drift, 5.0f);
    EXPECT_EQ(physicsLog.str(), "");
}

TEST_F(RunRecordTest, ShotBallsComeAndGoWithTime) {
    buildRun();
    press('l');
    for (int i = 0; i < 10; ++i) stepRun(rctx);
    press(KEY_SPACE);
    for (int i = 0; i < 10; ++i) stepRun(rctx);
    ASSERT_EQ(model.shotBalls().size(), 1u);
    press('p');
    for (int i = 0; i < 15; ++i) press('b');
    EXPECT_TRUE(model.shotBalls().empty());  // not shot yet at step 5
    for (int i = 0; i < 15; ++i) press('n');
    ASSERT_EQ(model.shotBalls().size(), 1u);
    EXPECT_EQ(world.getGlobalPosition(model.shotBalls()[0]), runState.record.frame(20).back().state.pose.translation);
}

TEST_F(RunRecordTest, TheRecordStaysUnderItsCapAndSaysSoOnce) {
    buildRun();
    press('l');
    runState.record = RunRecord(64 * 1024);
    runState.record.start(model, world);
    for (int i = 0; i < 2000; ++i) stepRun(rctx);
    EXPECT_LE(runState.record.bytes(), 64u * 1024u);
    EXPECT_GT(runState.record.firstStep(), 0);
    EXPECT_EQ(runState.record.lastStep(), 2000);
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
    EXPECT_EQ(runStatus(state, runState), "");
    press('n');  // not paused: nothing
    EXPECT_EQ(world.stats().stepsTaken, 0);
    press('p');
    press('n');
    EXPECT_EQ(world.stats().stepsTaken, 1);
    for (int i = 0; i < 3; ++i) press('-');
    EXPECT_EQ(runStatus(state, runState), "paused  t=0.01 s  speed 1/8");
    for (int i = 0; i < 9; ++i) press('+');
    EXPECT_EQ(playbackSpeed(state, runState), 8.0f);  // 4 times the double pace, held there
    press('b');
    EXPECT_EQ(runStatus(state, runState), "paused  rewound  t=0.00 s  speed 4");
    press('l');
    press('l');
    EXPECT_EQ(playbackSpeed(state, runState), 2.0f);  // a new run starts at the normal pace
}

}  // namespace
}  // namespace scenetest

namespace scenetest {
namespace {

// What the statistics panel and the summary show of each ball.
std::vector<std::string> outcomeTable(const RunInsight& insight) {
    std::vector<std::string> rows;
    for (const BallInsight& b : insight.balls()) {
        char row[160];
        std::snprintf(row, sizeof row, "%s top=%.6f rest=%.2f on=%s at=%.2f left=%d", outcomeName(b.outcome),
                      static_cast<double>(b.topSpeed), b.restTime, describePlace(b.lastOn).c_str(), b.lastOnTime,
                      b.leftTrack ? 1 : 0);
        rows.push_back(row);
    }
    return rows;
}

TEST_F(RunRecordTest, ARewoundRunForgetsWhatItsDiscardedFutureTaught) {
    buildRun();
    press('l');
    std::vector<std::string> at100;
    for (int i = 1; i <= 300; ++i) {
        stepRun(rctx);
        if (i == 100) at100 = outcomeTable(insight());
    }
    const std::vector<std::string> at300 = outcomeTable(insight());
    ASSERT_NE(at100, at300);  // the balls were still busy after step 100

    press('p');
    stepBack(rctx, 200);
    EXPECT_EQ(runState.step, 100);
    EXPECT_EQ(outcomeTable(insight()), at100);  // top speeds and rests of the future are gone
    EXPECT_DOUBLE_EQ(insight().runTime(), 1.0);
    EXPECT_EQ(runStatus(state, runState), "paused  rewound  t=1.00 s  speed 1");

    // Stepping forward through the record and back is the same table.
    for (int i = 0; i < 50; ++i) press('n');
    for (int i = 0; i < 50; ++i) press('b');
    EXPECT_EQ(outcomeTable(insight()), at100);

    press('p');  // resume at step 100
    EXPECT_EQ(outcomeTable(insight()), at100);
    for (int i = 101; i <= 300; ++i) stepRun(rctx);
    // One clock: the record, the statistics and the status agree.
    EXPECT_EQ(runState.record.lastStep(), 300);
    EXPECT_DOUBLE_EQ(insight().runTime(), 3.0);
    // The rewound balls take exactly their recorded paths again, so the
    // table is that of a run that never went back.
    EXPECT_EQ(outcomeTable(insight()), at300);
}

}  // namespace
}  // namespace scenetest
