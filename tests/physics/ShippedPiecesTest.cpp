// Balls through the shipped track pieces, loaded from a copy of the data
// folder: each piece (or set of pieces that work together, such as the
// bends) stands in a small layout turned each of the four ways about y, fed
// the way its neighbour would feed it (a straight before its entry, the
// ball rolling at 120 units/s, or a ball dropped from the level above), and
// the ball must leave by the layout's exit, drop out through its floor, or
// stay in it.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "klotz/Catalogue.h"
#include "physics/PieceLayout.h"
#include "support/ShippedCatalogue.h"

namespace {

using piecelayout::Layout;
using piecelayout::Placed;

constexpr float SPEED = 120;  // units/s, a ball rolling in from a neighbour
constexpr float GROOVE_Y = -13;  // ball centre on the groove floor, local

enum class Outcome { Exit, Down, Stay };

// A layout, a ball set going in it, and where the ball must go: out of the
// exit cell through its face `exit` (a unit axis), down through its floor,
// or to rest in it. Cells are given in the layout frame.
struct Feed {
    std::vector<Placed> layout;
    glm::vec3 from{0.0f};      // ball start
    glm::vec3 velocity{0.0f};
    Outcome outcome = Outcome::Exit;
    glm::vec3 exitCell{0.0f};
    glm::vec3 exit{0.0f};      // outward face direction, for Exit
    float maxExitY = 10;       // highest centre when crossing the exit face
    int steps = 300;           // of 0.01 s
    glm::vec3 floorNormal{0, 1, 0};  // where the ball starts, for its spin
};

const glm::vec3 XP(1, 0, 0), XM(-1, 0, 0), ZP(0, 0, 1), ZM(0, 0, -1);

// A straight along dir (a unit axis) centred on cell `at`.
Placed straightAlong(glm::vec3 at, glm::vec3 dir) { return {"straight", at, std::fabs(dir.z) > 0.5f ? 1 : 0}; }

Feed rollIn(const std::string& piece, glm::vec3 entryOut, Outcome outcome, glm::vec3 exit = glm::vec3(0.0f)) {
    // Starts 20 units into the neighbouring cell (a straight), rolling
    // toward the entry.
    Feed f;
    f.layout = {{piece}, straightAlong(entryOut * 50.0f, entryOut)};
    f.from = entryOut * 45.0f + glm::vec3(0, GROOVE_Y, 0);
    f.velocity = -entryOut * SPEED;
    f.outcome = outcome;
    f.exit = exit;
    return f;
}
Feed dropIn(const std::string& piece, glm::vec3 at, Outcome outcome, glm::vec3 exit = glm::vec3(0.0f)) {
    Feed f;
    f.layout = {{piece}};
    f.from = at;
    f.outcome = outcome;
    f.exit = exit;
    return f;
}

class ShippedPieces : public ::testing::Test {
protected:
    static void SetUpTestSuite() { catalogue = new klotz::KlotzCatalogue(testsupport::loadShippedCatalogue()); }
    static void TearDownTestSuite() { delete catalogue; }

    static const klotz::Mesh* mesh(const std::string& name) {
        for (const klotz::KlotzType& t : catalogue->klotzTypes)
            if (t.name == name) return &t.mesh;
        return nullptr;
    }

    // Runs one feed with the layout turned `turn` quarter turns about y.
    // Returns "" on success, else what went wrong. maxGap receives the
    // largest gap seen under the ball while it was over the layout's first
    // cell.
    static std::string run(const Feed& feed, int turn, float* maxGap = nullptr);

    // A ball released at rest at the top of four slopes in a row (each one
    // cell on and one level down) with a straight at the foot, the layout
    // turned `turn` quarter turns. Returns "" when the ball leaves the
    // straight by its far end; seamGap and rampGap receive the largest gap
    // between ball and ramp near the seams between slopes and anywhere on the
    // ramp.
    static std::string runSlopeChain(int turn, float* seamGap, float* rampGap);

    static void expectAllTurns(const Feed& feed, const std::string& label) {
        for (int turn = 0; turn < 4; ++turn)
            EXPECT_EQ(run(feed, turn), "") << label << " turned " << turn * 90 << " degrees";
    }

    static klotz::KlotzCatalogue* catalogue;
};
klotz::KlotzCatalogue* ShippedPieces::catalogue = nullptr;

std::string ShippedPieces::run(const Feed& feed, int turn, float* maxGap) {
    Layout layout(mesh, feed.layout, turn);
    if (!layout.missing().empty()) return "no type " + layout.missing();
    physics::ActorHandle ball = layout.addBall(feed.from, feed.velocity, feed.floorNormal);
    physics::PhysicsWorld& world = layout.world();
    float lowest = 0;
    for (const Placed& p : feed.layout) lowest = std::min(lowest, p.at.y);

    std::ostringstream why;
    for (int step = 0; step < feed.steps; ++step) {
        world.simulate(0.01f);
        const glm::vec3 at = layout.position(ball);
        const glm::vec3 p = at - feed.exitCell;
        if (maxGap && std::fabs(at.x) < 25 && std::fabs(at.z) < 25) {
            physics::RayHit hit;
            // Straight down from just under the ball; the gap is measured
            // along the surface normal from the ball's centre.
            const float below = physics::BALL_RADIUS + 0.01f;
            if (world.raycastClosest(world.getGlobalPosition(ball) - glm::vec3(0, below, 0), glm::vec3(0, -1, 0), 60,
                                     &hit))
                *maxGap = std::max(*maxGap, (hit.distance + below) * std::fabs(hit.normal.y) - physics::BALL_RADIUS);
        }
        if (at.y < lowest - 30 && feed.outcome != Outcome::Down) {
            why << "fell out at " << at.x << " " << at.y << " " << at.z;
            return why.str();
        }
        switch (feed.outcome) {
        case Outcome::Exit: {
            if (glm::dot(p, feed.exit) > 26) {
                const float across = std::fabs(glm::dot(p, glm::vec3(feed.exit.z, 0, feed.exit.x)));
                if (across < 12 && p.y > -21 && p.y < feed.maxExitY) return "";
                why << "left at " << p.x << " " << p.y << " " << p.z << " off the exit";
                return why.str();
            }
            break;
        }
        case Outcome::Down:
            if (p.y < -35) {
                if (std::fabs(p.x) < 25 && std::fabs(p.z) < 25) return "";
                why << "fell outside the cell at " << p.x << " " << p.z;
                return why.str();
            }
            break;
        case Outcome::Stay:
            break;
        }
    }
    const glm::vec3 p = layout.position(ball) - feed.exitCell;
    if (feed.outcome == Outcome::Stay) {
        const float speed = glm::length(layout.velocity(ball));
        if (std::fabs(p.x) < 25 && std::fabs(p.z) < 25 && p.y > -25 && p.y < 25 && speed < 5) return "";
        why << "not held: at " << p.x << " " << p.y << " " << p.z << " moving at " << speed;
        return why.str();
    }
    why << "still at " << p.x << " " << p.y << " " << p.z << " after " << feed.steps / 100.0 << " s";
    return why.str();
}

std::string ShippedPieces::runSlopeChain(int turn, float* seamGap, float* rampGap) {
    // Chain frame: rows run along +x, so slope k sits at (k * 50, -k * 50, 0)
    // and the straight at (200, -150, 0).
    std::vector<Placed> chain;
    for (int k = 0; k < 4; ++k) chain.push_back({"slope", glm::vec3(50.0f * k, -50.0f * k, 0)});
    chain.push_back({"straight", glm::vec3(200, -150, 0)});
    Layout layout(mesh, chain, turn);
    if (!layout.missing().empty()) return "no type " + layout.missing();
    physics::PhysicsWorld& world = layout.world();

    // The ramp is the plane x + y = 4 of the chain frame; n is its normal.
    const glm::vec3 n = glm::normalize(glm::vec3(1, 1, 0));
    physics::ActorHandle ball = layout.addBall(glm::vec3(-20, 24, 0) + n * physics::BALL_RADIUS, glm::vec3(0.0f));

    std::ostringstream why;
    for (int step = 0; step < 300; ++step) {
        world.simulate(0.01f);
        const glm::vec3 w = world.getGlobalPosition(ball);
        const glm::vec3 p = layout.position(ball);
        if (p.x > -25 && p.x < 175) {
            // Along the ramp's normal, from 1 unit inside the ball's surface
            // (a ray starting inside the ball does not hit it).
            physics::RayHit hit;
            const float skip = physics::BALL_RADIUS - 1.0f;
            const glm::vec3 down = -layout.turned(n);
            float gap = 60;
            if (world.raycastClosest(w + down * skip, down, 60, &hit)) gap = hit.distance + skip - physics::BALL_RADIUS;
            *rampGap = std::max(*rampGap, gap);
            for (float seam : {25.0f, 75.0f, 125.0f})
                if (std::fabs(p.x - seam) < 12) *seamGap = std::max(*seamGap, gap);
        }
        if (std::fabs(p.z) > 12 || p.y < -180) {
            why << "fell off at " << p.x << " " << p.y << " " << p.z;
            return why.str();
        }
        if (p.x > 226) {
            if (p.y > -171 && p.y < -140) return "";
            why << "left the straight at height " << p.y + 150;
            return why.str();
        }
    }
    const glm::vec3 p = layout.position(ball);
    why << "still at " << p.x << " " << p.y << " " << p.z << " after 3 s";
    return why.str();
}

TEST_F(ShippedPieces, FlatPiecesPassTheBallOn) {
    expectAllTurns(rollIn("straight", XM, Outcome::Exit, XP), "straight");
    expectAllTurns(rollIn("halfpipe", XM, Outcome::Exit, XP), "halfpipe");
    expectAllTurns(rollIn("curve", XM, Outcome::Exit, ZP), "curve from x=-25");
    expectAllTurns(rollIn("curve", ZP, Outcome::Exit, XM), "curve from z=+25");
    expectAllTurns(rollIn("crossing", XM, Outcome::Exit, XP), "crossing along x");
    expectAllTurns(rollIn("crossing", ZM, Outcome::Exit, ZP), "crossing along z");
    expectAllTurns(rollIn("tee", XM, Outcome::Exit, XP), "tee");
}

TEST_F(ShippedPieces, MergesPassTheStraightOnBall) {
    expectAllTurns(rollIn("merge_right", XM, Outcome::Exit, XP), "merge_right straight on");
    expectAllTurns(rollIn("merge_left", XM, Outcome::Exit, XP), "merge_left straight on");
}

// The side ball is turned by the side lane's outer wall and crosses the
// straight groove toward the exit, at the slowest and fastest feed too.
TEST_F(ShippedPieces, MergesTurnTheSideBallToTheExit) {
    for (float speed : {80.0f, SPEED, 150.0f}) {
        Feed right = rollIn("merge_right", ZP, Outcome::Exit, XP);
        Feed left = rollIn("merge_left", ZM, Outcome::Exit, XP);
        right.velocity *= speed / SPEED;
        left.velocity *= speed / SPEED;
        expectAllTurns(right, "merge_right from the side at " + std::to_string(int(speed)));
        expectAllTurns(left, "merge_left from the side at " + std::to_string(int(speed)));
    }
}

TEST_F(ShippedPieces, SlopeTakesTheBallDownOneLevel) {
    Feed feed = rollIn("slope", XM, Outcome::Exit, XP);
    // Fed from the straight one level up.
    feed.layout[1].at.y += 50;
    feed.from.y += 50;
    expectAllTurns(feed, "slope");
    // A rolling ball leaves the floor at the sharp top edge of the 45-degree
    // ramp and lands further down the faster it comes (a ball launched level
    // at v meets the ramp 2 v^2 / g on); the largest gap shows how far.
    for (float speed : {40.0f, 60.0f, 80.0f, 120.0f}) {
        Feed f = feed;
        f.velocity *= speed / SPEED;
        float gap = 0;
        EXPECT_EQ(run(f, 0, &gap), "") << speed;
        RecordProperty("slopeGapAt" + std::to_string(int(speed)), std::to_string(gap));
        std::printf("slope: ball fed at %.0f units/s, largest gap under it %.1f\n", speed, gap);
    }
}

// Slopes in a row form one straight 45-degree ramp: a ball rolling down it
// from rest stays on it across the seams and runs out over the straight at
// the foot.
TEST_F(ShippedPieces, SlopeChainIsOneStraightRamp) {
    for (int turn = 0; turn < 4; ++turn) {
        float seamGap = 0, rampGap = 0;
        EXPECT_EQ(runSlopeChain(turn, &seamGap, &rampGap), "") << "turned " << turn * 90 << " degrees";
        std::printf("slope chain turned %d degrees: largest gap at the seams %.4f, on the whole ramp %.4f\n",
                    turn * 90, seamGap, rampGap);
        RecordProperty("slopeChainSeamGap" + std::to_string(turn * 90), std::to_string(seamGap));
        EXPECT_LT(seamGap, 1.0f) << "turned " << turn * 90 << " degrees";
        EXPECT_LT(rampGap, 1.0f) << "turned " << turn * 90 << " degrees";
    }
}

// The bends keep a ball on the floor and keep its energy, in every turn and
// from a slow ball up to the 250 units/s they are made for; at the sharp
// kinks they replace a ball at that speed loses a fifth of its speed or
// flies 60 units.
TEST_F(ShippedPieces, TransitionsCarryTheBallSmoothly) {
    for (int turn = 0; turn < 4; ++turn)
        for (float speed : {60.0f, 150.0f, 250.0f}) {
            const std::string label = "turned " + std::to_string(turn * 90) + " at " + std::to_string(int(speed));
            Layout sag(mesh, piecelayout::sagLayout(), turn);
            ASSERT_EQ(sag.missing(), "");
            const piecelayout::Pass concave = piecelayout::sagPass(sag, speed);
            EXPECT_GE(concave.keptPercent, 95) << "sag " << label;
            EXPECT_LE(concave.maxLift, 1.0f) << "sag " << label;
            Layout crest(mesh, piecelayout::crestLayout(), turn);
            ASSERT_EQ(crest.missing(), "");
            const piecelayout::Pass convex = piecelayout::crestPass(crest, speed);
            EXPECT_GE(convex.keptPercent, 95) << "crest " << label;
            EXPECT_LE(convex.maxLift, 1.0f) << "crest " << label;
            std::printf("%s: sag keeps %.1f %% lifts %.2f, crest keeps %.1f %% lifts %.2f\n", label.c_str(),
                        concave.keptPercent, concave.maxLift, convex.keptPercent, convex.maxLift);
        }
}

// The wide turn's six parts, each where the README's table puts it, pass a
// ball on from a straight onto a straight from slow to fast, keeping over
// 90 % of its speed at 100, 150 and 250 units/s (the sharp `curve` keeps
// two thirds). At 250 the ball rides the steep bank across a crease of
// the facets every few steps: it kept 86 % while each crease's slip took
// its toll, and as little while a fast ball's contacts of the step before
// went unseen.
std::vector<Placed> wideTurnLayout() {
    std::vector<Placed> l;
    const glm::vec3 cells[] = {{0, 0, 0}, {50, 0, 0}, {100, 0, 0}, {50, 0, 50}, {100, 0, 50}, {100, 0, 100}};
    for (int k = 0; k < 6; ++k) l.push_back({"turn_wide_" + std::to_string(k + 1), cells[k]});
    return l;
}

TEST_F(ShippedPieces, WideTurnPassesTheBallRoundKeepingItsSpeed) {
    for (float speed : {60.0f, SPEED, 250.0f}) {
        Feed f = rollIn("turn_wide_1", XM, Outcome::Exit, ZP);
        f.layout = wideTurnLayout();
        f.layout.push_back(straightAlong({-50, 0, 0}, XP));
        f.layout.push_back(straightAlong({100, 0, 150}, ZP));
        f.exitCell = {100, 0, 150};
        f.velocity *= speed / SPEED;
        f.steps = 600;
        expectAllTurns(f, "turn_wide at " + std::to_string(int(speed)));
    }
    for (float speed : {100.0f, 150.0f, 250.0f})
        for (int turn = 0; turn < 4; ++turn) {
            std::vector<Placed> l = wideTurnLayout();
            l.push_back(straightAlong({-50, 0, 0}, XP));
            l.push_back(straightAlong({100, 0, 150}, ZP));
            Layout layout(mesh, l, turn);
            ASSERT_EQ(layout.missing(), "");
            physics::ActorHandle ball = layout.addBall({-45, GROOVE_Y, 0}, {speed, 0, 0});
            float kept = -1;
            for (int step = 0; step < 400 && kept < 0; ++step) {
                layout.world().simulate(0.01f);
                if (layout.position(ball).z > 150) kept = 100 * glm::length(layout.velocity(ball)) / speed;
            }
            EXPECT_GE(kept, 90) << "at " << speed << " turned " << turn * 90;
        }
}

// The loop's eight parts where the README's table puts them, a straight
// before and after: a ball rolled in at the speed of a loss-free release
// from `height` above the groove floor. True when it went over the top and
// out along the straight after, beside the one it came in on.
bool loopPassed(const piecelayout::MeshOf& meshOf, int turn, float height) {
    const glm::vec3 cells[] = {{0, 0, 0},   {50, 0, 0},   {50, 50, 0}, {0, 50, 0},
                               {0, 50, 50}, {50, 50, 50}, {0, 0, 50},  {50, 0, 50}};
    std::vector<Placed> l = {straightAlong({-50, 0, 0}, XP), straightAlong({100, 0, 50}, XP)};
    for (int k = 0; k < 8; ++k) l.push_back({"loop_" + std::to_string(k + 1), cells[k]});
    Layout layout(meshOf, l, turn);
    if (!layout.missing().empty()) return false;
    const float speed = std::sqrt(10.0f / 7.0f * 400.0f * height);
    physics::ActorHandle ball = layout.addBall({-45, GROOVE_Y, 0}, {speed, 0, 0});
    // The loop's axis: x = 25, 42 above the floor; the ball's centre runs 8
    // inside the groove bottom.
    const float axisY = -21 + 42, ring = 42 - 8;
    bool top = false;
    for (int step = 0; step < 600; ++step) {
        layout.world().simulate(0.01f);
        const glm::vec3 p = layout.position(ball);
        top = top || p.y > axisY + ring - 3;
        if (p.y > axisY && std::hypot(p.x - 25, p.y - axisY) < ring - 3) return false;  // fell off the top
        if (p.x > 110 && std::fabs(p.z - 50) < 12 && p.y < 0) return top;
        if (p.x < -60 || p.y < -40) return false;
    }
    return false;
}

// From the release height the README gives it goes round in every turn;
// from 0.8 of it, like a ball in a real loop, it does not.
TEST_F(ShippedPieces, LoopNeedsTheReleaseHeightTheReadmeGives) {
    const float height = 120;
    for (int turn = 0; turn < 4; ++turn) {
        EXPECT_TRUE(loopPassed(mesh, turn, height)) << "turned " << turn * 90;
        EXPECT_TRUE(loopPassed(mesh, turn, 1.5f * height)) << "turned " << turn * 90;
        EXPECT_FALSE(loopPassed(mesh, turn, 0.8f * height)) << "turned " << turn * 90;
    }
}

TEST_F(ShippedPieces, JumpLaunchesOverTheFarFace) {
    Feed feed = rollIn("jump", XM, Outcome::Exit, XP);
    feed.maxExitY = 25;
    expectAllTurns(feed, "jump");
}

TEST_F(ShippedPieces, DroppedBallsAreCaught) {
    // A ball-start cell drops its ball from the centre of the level above.
    expectAllTurns(dropIn("start", {0, 50, 0}, Outcome::Exit, XP), "start");
    expectAllTurns(dropIn("funnel", {0, 50, 0}, Outcome::Exit, XP), "funnel");
    expectAllTurns(dropIn("funnel", {-15, 50, 15}, Outcome::Exit, XP), "funnel off-centre");
    expectAllTurns(dropIn("spiral", {0, 50, 0}, Outcome::Down), "spiral");
}

TEST_F(ShippedPieces, EndPiecesDropOrHoldTheBall) {
    expectAllTurns(rollIn("drop", XM, Outcome::Down), "drop");
    expectAllTurns(rollIn("goal", XM, Outcome::Stay), "goal");
    expectAllTurns(rollIn("stop", XM, Outcome::Stay), "stop");
}

// The tunnel's roof and the bridge's deck leave the groove below free; the
// deck carries a ball along the level above, level with flat track there.
TEST_F(ShippedPieces, TunnelAndBridgePassTheBall) {
    expectAllTurns(rollIn("tunnel", XM, Outcome::Exit, XP), "tunnel");
    expectAllTurns(rollIn("bridge", ZM, Outcome::Exit, ZP), "under the bridge");
    Feed deck = rollIn("bridge", XM, Outcome::Exit, XP);
    deck.layout[1].at.y += 50;
    deck.from.y += 50;
    deck.exitCell = {0, 50, 0};
    expectAllTurns(deck, "over the bridge");
}

TEST_F(ShippedPieces, CollectorGathersThreeEntriesIntoOneExit) {
    for (float speed : {80.0f, SPEED, 150.0f})
        for (glm::vec3 entry : {XM, ZP, ZM}) {
            Feed f = rollIn("collector", entry, Outcome::Exit, XP);
            f.velocity *= speed / SPEED;
            expectAllTurns(f, "collector from " + std::to_string(int(entry.x)) + "," + std::to_string(int(entry.z)) +
                                  " at " + std::to_string(int(speed)));
        }
}

// A ball off the centre line leaves on its own side; one on the very
// centre line is rolled to z=+25 by the ridge rather than stopping on the
// point where the two turns part.
TEST_F(ShippedPieces, SplitterSendsBallsToTheirSide) {
    for (float speed : {80.0f, SPEED, 150.0f})
        for (float z : {3.0f, 0.0f, -3.0f}) {
            Feed f = rollIn("splitter", XM, Outcome::Exit, z < -1 ? ZM : ZP);
            f.velocity *= speed / SPEED;
            f.from.z += z;
            expectAllTurns(f, "splitter, ball at z " + std::to_string(int(z)) + " at " + std::to_string(int(speed)));
        }
}

// A ball rolling off the jump flies into the catcher on the next cell and
// leaves by its side exit, over the range of speeds the jump is fed at.
TEST_F(ShippedPieces, CatcherTakesTheBallFromTheJump) {
    for (float speed : {90.0f, SPEED, 180.0f}) {
        Feed f = rollIn("catcher", XM, Outcome::Exit, ZP);
        f.layout = {{"catcher"}, {"jump", {-50, 0, 0}}, straightAlong({-100, 0, 0}, XP)};
        f.from.x -= 50;
        f.velocity *= speed / SPEED;
        f.steps = 600;
        expectAllTurns(f, "jump into catcher at " + std::to_string(int(speed)));
    }
    // A ball that lost its speed and lies on the entry side, beside the
    // groove, rolls out too: once it lay against the groove's end for good.
    for (float x : {-20.0f, -16.0f, -13.0f}) {
        Feed f = rollIn("catcher", XM, Outcome::Exit, ZP);
        f.layout = {{"catcher"}};
        f.from = {x, GROOVE_Y + 6, 0};
        f.velocity = glm::vec3(0.0f);
        expectAllTurns(f, "catcher, ball dropped at x " + std::to_string(int(x)));
    }
}

// Twelve balls rolling in one after another from flat track one level up on
// all four sides all stay in the basin and come to rest there.
TEST_F(ShippedPieces, GoalBasinHoldsTwelveBalls) {
    const glm::vec3 sides[4] = {XM, ZP, XP, ZM};
    std::vector<Placed> layout = {{"goal_basin"}};
    for (glm::vec3 s : sides) layout.push_back(straightAlong(s * 50.0f + glm::vec3(0, 50, 0), s));
    for (int turn = 0; turn < 4; ++turn) {
        Layout basin(mesh, layout, turn);
        ASSERT_EQ(basin.missing(), "");
        std::vector<physics::ActorHandle> balls;
        for (int step = 0; step < 900; ++step) {
            if (step % 40 == 0 && balls.size() < 12) {
                const glm::vec3 s = sides[balls.size() % 4];
                balls.push_back(basin.addBall(s * 45.0f + glm::vec3(0, 50 + GROOVE_Y, 0), -s * SPEED));
            }
            basin.world().simulate(0.01f);
        }
        for (std::size_t i = 0; i < balls.size(); ++i) {
            const glm::vec3 p = basin.position(balls[i]);
            EXPECT_TRUE(std::fabs(p.x) < 25 && std::fabs(p.z) < 25 && p.y > -25 && p.y < 29)
                << "turned " << turn * 90 << ": ball " << i << " at " << p.x << " " << p.y << " " << p.z;
            EXPECT_LT(glm::length(basin.velocity(balls[i])), 5.0f) << "turned " << turn * 90 << ": ball " << i;
        }
    }
}

}  // namespace
