// Run outcomes on small runs of the shipped pieces, built and run through the
// same commands as the keys: which ball came home, which stopped, which fell
// off and where.
#include <cstdio>

#include "input/SceneFixture.h"
#include "run/ContactSampling.h"
#include "input/Editing.h"
#include "run/Simulation.h"
#include "support/ShippedCatalogue.h"

using namespace scene;
using namespace input;
using namespace run;

namespace scenetest {
namespace {

class RunInsightTest : public SceneFixture {
protected:
    static void SetUpTestSuite() { shipped = new klotz::KlotzCatalogue(testsupport::loadShippedCatalogue()); }
    static void TearDownTestSuite() { delete shipped; }

    RunInsightTest() {
        catalogue = *shipped;
    }

    // Kloetze along +x (the pieces' own direction) on one column, level 0.
    void lane(int column, int firstRow, std::initializer_list<const char*> pieces) {
        int row = firstRow;
        for (const char* name : pieces) {
            select(row++, column);
            palette.selectedType = typeIndex(name);
            ASSERT_TRUE(insertKlotz(ctx)) << name;
        }
    }
    void ballStartAt(int row, int column) {
        select(row, column);
        setBallStart(ctx);
    }
    // One world step at a time, as the window steps a run.
    void run(double seconds) {
        startSimulation(ctx);
        for (int step = 0; step < static_cast<int>(seconds / physics::FIXED_STEP + 0.5); ++step) stepRun(rctx);
        stopSimulation(ctx);
    }
    static int typeIndex(const std::string& name) {
        for (int t = 0; t < shipped->typeCount(); ++t)
            if (shipped->klotzTypes[t].name == name) return t;
        ADD_FAILURE() << "no type " << name;
        return -1;
    }

    static klotz::KlotzCatalogue* shipped;
    RunInsight& insight = runState.insight;
};
klotz::KlotzCatalogue* RunInsightTest::shipped = nullptr;

TEST_F(RunInsightTest, TellsEachBallsOutcomeAndWhereItWentWrong) {
    lane(2, 2, {"start", "straight", "straight", "straight"});  // ends in the air
    lane(6, 2, {"start", "straight", "goal"});
    lane(10, 2, {"start", "straight", "stop"});
    for (int column : {2, 6, 10, 14}) ballStartAt(2, column);  // the last over bare ground
    run(8.0);

    const std::vector<BallInsight>& balls = insight.balls();
    ASSERT_EQ(balls.size(), 4u);
    EXPECT_EQ(balls[0].outcome, BallOutcome::FLOOR);
    EXPECT_EQ(describePlace(balls[0].lastOn), "row 5 column 2 level 0 (straight)");
    ASSERT_TRUE(balls[0].leftTrack);
    // It leaves the last straight's far face (x = 300) still rolling.
    EXPECT_NEAR(balls[0].lastOnPosition.x, 300.0f, 10.0f);
    EXPECT_GT(balls[0].lastOnSpeed, 20.0f);
    EXPECT_GT(balls[0].lastOnTime, 0.3);

    EXPECT_EQ(balls[1].outcome, BallOutcome::HOME);
    EXPECT_EQ(describePlace(balls[1].lastOn), "row 4 column 6 level 0 (goal)");
    EXPECT_GE(balls[1].restTime, 0.0);

    EXPECT_EQ(balls[2].outcome, BallOutcome::STOPPED);
    EXPECT_EQ(describePlace(balls[2].lastOn), "row 4 column 10 level 0 (stop)");
    EXPECT_FALSE(balls[2].leftTrack);

    EXPECT_EQ(balls[3].outcome, BallOutcome::FLOOR);
    EXPECT_FALSE(balls[3].lastOn.known());

    // What l prints when the run stops.
    const std::string console = out.str();
    // Ball 0 still rolls on the floor: the headline gives the run's time.
    EXPECT_NE(console.find("run: 1 of 4 balls home after 8.00 s\n"), std::string::npos) << console;
    EXPECT_NE(console.find("ball 0: floor, left the track at row 5 column 2 level 0 (straight) at "), std::string::npos)
        << console;
    EXPECT_NE(console.find("ball 2: stopped on row 4 column 10 level 0 (stop) at "), std::string::npos) << console;
    EXPECT_NE(console.find("ball 3: floor, never touched a klotz\n"), std::string::npos) << console;
    EXPECT_EQ(console.find("ball 1:"), std::string::npos) << "a ball at home is not listed";
}

// A ball that fell through a drop into a basin and came to rest on the balls
// already there touches only balls: it is home, not stopped on the drop. One
// resting on a ball outside a goal still counts where it last touched.
TEST_F(RunInsightTest, BallRestingOnOthersInAGoalIsHome) {
    lane(4, 3, {"goal_basin"});
    select(3, 4);
    palette.selectedType = typeIndex("drop");
    ASSERT_TRUE(insertKlotz(ctx));
    lane(8, 3, {"straight"});
    ballStartAt(1, 4);
    ballStartAt(1, 8);
    insight.start(model, catalogue);
    auto actorAt = [&](int row, int column, int level) {
        return model.placedActors()[model.cellStack()[cellIndex(row, column)][level]];
    };
    const glm::vec3 basin = levelCentre(3, 4, 0), straight = levelCentre(3, 8, 0);
    insight.observe(0.5, {{actorAt(3, 4, 1), false, basin + glm::vec3(0, 50, 0), 80.0f},
                          {actorAt(3, 8, 0), false, straight, 50.0f}});
    insight.observe(2.0, {{physics::NO_ACTOR, false, basin + glm::vec3(3, 27, 2), 0.2f},
                          {physics::NO_ACTOR, false, straight + glm::vec3(0, 2, 0), 0.2f}});
    ASSERT_EQ(insight.balls().size(), 2u);
    EXPECT_EQ(insight.balls()[0].outcome, BallOutcome::HOME);
    EXPECT_EQ(insight.balls()[1].outcome, BallOutcome::STOPPED);
    // On balls jammed on the drop's floor it is not home.
    insight.observe(3.0, {{physics::NO_ACTOR, false, basin + glm::vec3(0, 50 - 13 + 16, 0), 0.2f},
                          {physics::NO_ACTOR, false, straight + glm::vec3(0, 2, 0), 0.2f}});
    EXPECT_EQ(insight.balls()[0].outcome, BallOutcome::STOPPED);
    EXPECT_EQ(describePlace(insight.balls()[1].lastOn), "row 3 column 8 level 0 (straight)");
}

// A ball waiting at a lift's foot rests on it but is not stopped: the lift
// will carry it on, and the balls queueing behind it wait too.
TEST_F(RunInsightTest, BallsWaitingForALiftAreMovingNotStopped) {
    lane(4, 3, {"straight", "lift"});
    lane(8, 3, {"straight"});
    ballStartAt(1, 4);
    ballStartAt(2, 4);
    ballStartAt(1, 8);
    insight.start(model, catalogue);
    const auto on = [&](int row, int column) { return model.placedActors()[model.cellStack()[cellIndex(row, column)][0]]; };
    const glm::vec3 foot = levelCentre(4, 4, 0) + glm::vec3(-12, -12, 0);
    insight.observe(2.0, {{on(4, 4), false, foot, 0.2f},                                     // at the lift
                          {on(3, 4), false, foot - glm::vec3(16.5f, 0, 0), 0.2f},            // behind it
                          {on(3, 8), false, levelCentre(3, 8, 0), 0.2f}});                  // elsewhere
    ASSERT_EQ(insight.balls().size(), 3u);
    EXPECT_EQ(insight.balls()[0].outcome, BallOutcome::MOVING);
    EXPECT_EQ(insight.balls()[1].outcome, BallOutcome::MOVING);
    EXPECT_EQ(insight.balls()[2].outcome, BallOutcome::STOPPED);
    EXPECT_FALSE(allSettled(insight)) << "all three rest, but the run goes on";
}

// A straight missing before a pillar: the ball drops into the gap, rolls
// into the pillar's foot and lies there. It is on the floor, it left the
// track at the last straight it rode (not at the pillar beside the gap),
// before it came to rest, and the headline gives that rest time.
TEST_F(RunInsightTest, ABallInAGapLiesOnTheFloorAfterTheLastPieceItRode) {
    lane(2, 2, {"start", "straight"});
    lane(2, 5, {"pillar"});
    ballStartAt(2, 2);
    run(8.0);

    ASSERT_EQ(insight.balls().size(), 1u);
    const BallInsight& ball = insight.balls()[0];
    EXPECT_EQ(ball.outcome, BallOutcome::FLOOR);
    EXPECT_EQ(describePlace(ball.lastOn), "row 3 column 2 level 0 (straight)");
    ASSERT_TRUE(ball.leftTrack);
    ASSERT_GE(ball.restTime, 0.0);
    EXPECT_LE(ball.lastOnTime, ball.restTime);
    char headline[64];
    std::snprintf(headline, sizeof headline, "run: 0 of 1 balls home after %.2f s\n", ball.restTime);
    EXPECT_LT(ball.restTime, 7.0);
    EXPECT_NE(out.str().find(headline), std::string::npos) << out.str();
}

// Glancing off a wall in the air is not leaving the track: a ball that then
// lands on the balls in a goal is home. One that bounces off the ground
// back onto a straight is on the track again. Lying on the ground against a
// klotz is the floor.
TEST_F(RunInsightTest, LandingBackOnTrackClearsLeavingIt) {
    lane(4, 3, {"goal_basin"});
    lane(8, 3, {"straight"});
    lane(12, 3, {"straight", "pillar"});
    for (int column : {4, 8, 12}) ballStartAt(1, column);
    insight.start(model, catalogue);
    auto actorAt = [&](int row, int column) { return model.placedActors()[model.cellStack()[cellIndex(row, column)][0]]; };
    const glm::vec3 basin = levelCentre(3, 4, 0), straight = levelCentre(3, 8, 0), other = levelCentre(3, 12, 0);
    const glm::vec3 wallHigh(0.0f, 120.0f, 0.0f);
    insight.observe(0.5, {{actorAt(3, 4), false, basin + glm::vec3(0, 30, 0), 80.0f},
                          {actorAt(3, 8), false, straight + glm::vec3(0, 30, 0), 80.0f},
                          {actorAt(3, 12), false, other + glm::vec3(0, 30, 0), 80.0f}});
    insight.observe(0.7, {{physics::NO_ACTOR, true, basin + wallHigh, 60.0f},
                          {physics::NO_ACTOR, true, straight + wallHigh, 60.0f},
                          {physics::NO_ACTOR, true, glm::vec3(other.x + 40, 8.0f, other.z), 60.0f}});
    EXPECT_EQ(insight.balls()[2].outcome, BallOutcome::FLOOR);
    EXPECT_FALSE(insight.balls()[1].leftTrack);
    // Ball 1 bounces off the ground back onto its straight.
    insight.observe(1.0, {{physics::NO_ACTOR, false, basin + wallHigh, 60.0f},
                          {physics::NO_ACTOR, true, glm::vec3(straight.x, 8.0f, straight.z), 60.0f},
                          {physics::NO_ACTOR, true, glm::vec3(other.x + 41, 8.0f, other.z), 10.0f}});
    EXPECT_TRUE(insight.balls()[1].leftTrack);
    insight.observe(2.0, {{physics::NO_ACTOR, false, basin + glm::vec3(3, 27, 2), 0.2f},
                          {actorAt(3, 8), false, straight + glm::vec3(0, 30, 0), 0.2f},
                          {actorAt(4, 12), true, glm::vec3(other.x + 42, 8.0f, other.z), 0.2f}});
    const std::vector<BallInsight>& balls = insight.balls();
    EXPECT_EQ(balls[0].outcome, BallOutcome::HOME);
    EXPECT_FALSE(balls[0].leftTrack);
    EXPECT_EQ(balls[1].outcome, BallOutcome::STOPPED);
    EXPECT_FALSE(balls[1].leftTrack);
    EXPECT_EQ(balls[2].outcome, BallOutcome::FLOOR);
    EXPECT_EQ(describePlace(balls[2].lastOn), "row 3 column 12 level 0 (straight)");
    EXPECT_LE(balls[2].lastOnTime, balls[2].restTime);
}

TEST_F(RunInsightTest, GoalsAreKnownByTheStartOfTheirFileName) {
    EXPECT_TRUE(isGoalType("goal"));
    EXPECT_TRUE(isGoalType("pieces/goal_wide"));
    EXPECT_FALSE(isGoalType("stop"));
    EXPECT_FALSE(isGoalType("goalie/stop"));
    EXPECT_FALSE(isGoalType("my_goal"));
}

}  // namespace
}  // namespace scenetest
