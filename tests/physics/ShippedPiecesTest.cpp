// Balls through the shipped track pieces, loaded from a copy of the data
// folder: each piece stands on a cell in each of the four turns about y,
// fed the way its neighbour would feed it (a straight before its entry, the
// ball rolling at 120 units/s, or a ball dropped from the level above), and
// the ball must leave by the piece's exit, drop out through its floor, or
// stay in it.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include <glm/gtc/quaternion.hpp>

#include "klotz/Catalogue.h"
#include "physics/Actors.h"
#include "physics/ErrorReporter.h"
#include "physics/Physics.h"
#include "support/ShippedCatalogue.h"

namespace {

constexpr float SPEED = 120;  // units/s, a ball rolling in from a neighbour
constexpr float GROOVE_Y = -13;  // ball centre on the groove floor, local

enum class Outcome { Exit, Down, Stay };

struct Feed {
    std::string piece;
    glm::vec3 from;      // local ball start
    glm::vec3 velocity;  // local
    Outcome outcome;
    glm::vec3 exit{0.0f};  // outward face direction, for Exit
    float maxExitY = 10;   // highest centre when crossing the exit face
};

const glm::vec3 XP(1, 0, 0), XM(-1, 0, 0), ZP(0, 0, 1), ZM(0, 0, -1);

Feed rollIn(const std::string& piece, glm::vec3 entryOut, Outcome outcome, glm::vec3 exit = glm::vec3(0.0f)) {
    // Starts 20 units into the neighbouring cell, rolling toward the entry.
    return {piece, entryOut * 45.0f + glm::vec3(0, GROOVE_Y, 0), -entryOut * SPEED, outcome, exit};
}
Feed dropIn(const std::string& piece, glm::vec3 at, Outcome outcome, glm::vec3 exit = glm::vec3(0.0f)) {
    return {piece, at, glm::vec3(0.0f), outcome, exit};
}

class QuietReporter : public physics::ErrorReporter {
public:
    QuietReporter() : physics::ErrorReporter(sink_) {}
    std::string text() const { return sink_.str(); }

private:
    std::ostringstream sink_;
};

class ShippedPieces : public ::testing::Test {
protected:
    static void SetUpTestSuite() { catalogue = new klotz::KlotzCatalogue(testsupport::loadShippedCatalogue()); }
    static void TearDownTestSuite() { delete catalogue; }

    static const klotz::Mesh& mesh(const std::string& name) {
        for (const klotz::KlotzType& t : catalogue->klotzTypes)
            if (t.name == name) return t.mesh;
        ADD_FAILURE() << "no type " << name;
        static klotz::Mesh none;
        return none;
    }

    // Runs one feed with the piece turned `turn` quarter turns about y.
    // Returns "" on success, else what went wrong. maxGap receives the
    // largest gap seen under the ball while it was over the piece.
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
    QuietReporter reporter;
    physics::PhysicsWorld world(&reporter);
    const glm::quat q = glm::angleAxis(turn * glm::half_pi<float>(), glm::vec3(0, 1, 0));
    const glm::vec3 centre(10 * 50 + 25, 75, -10 * 50 - 25);  // cell (10, 10), level 1
    auto toWorld = [&](glm::vec3 local) { return centre + q * local; };
    auto toLocal = [&](glm::vec3 w) { return glm::inverse(q) * (w - centre); };
    auto place = [&](const std::string& name, glm::vec3 localOffset, glm::quat extra) {
        const klotz::Mesh& m = mesh(name);
        physics::MeshHandle h = world.createTriangleMesh(m.vertices.data(), m.vertexCount, m.faces.data(), m.faceCount);
        physics::ActorHandle a = physics::createKlotzActor(world, h);
        world.setGlobalPosition(a, toWorld(localOffset));
        world.setGlobalOrientationQuat(a, q * extra);
    };
    place(feed.piece, glm::vec3(0.0f), glm::quat(1, 0, 0, 0));
    const bool rolling = glm::length(feed.velocity) > 0;
    if (rolling) {
        // The neighbour the ball comes from: a straight turned along the feed;
        // the slope's sits one level up.
        glm::vec3 dir = glm::normalize(feed.velocity);
        glm::vec3 cell = glm::vec3(std::round(feed.from.x / 50) * 50, 0, std::round(feed.from.z / 50) * 50);
        if (feed.piece == "slope") cell.y = 50;
        glm::quat along = std::fabs(dir.z) > 0.5f ? glm::angleAxis(glm::half_pi<float>(), glm::vec3(0, 1, 0))
                                                  : glm::quat(1, 0, 0, 0);
        place("straight", cell, along);
    }
    physics::ActorHandle ball = physics::createBallActor(world);
    world.setGlobalPosition(ball, toWorld(feed.from));
    world.setLinearVelocity(ball, q * feed.velocity);
    // Rolling, not sliding: spin = up x v / r.
    world.setAngularVelocity(ball, glm::cross(glm::vec3(0, 1, 0), q * feed.velocity) / physics::BALL_RADIUS);

    std::ostringstream why;
    for (int step = 0; step < 300; ++step) {
        world.simulate(0.01f);
        const glm::vec3 p = toLocal(world.getGlobalPosition(ball));
        if (maxGap && std::fabs(p.x) < 25 && std::fabs(p.z) < 25) {
            physics::RayHit hit;
            // Straight down from just under the ball; the gap is measured
            // along the surface normal from the ball's centre.
            const float below = physics::BALL_RADIUS + 0.01f;
            if (world.raycastClosest(world.getGlobalPosition(ball) - glm::vec3(0, below, 0), glm::vec3(0, -1, 0), 60,
                                     &hit))
                *maxGap = std::max(*maxGap, (hit.distance + below) * std::fabs(hit.normal.y) - physics::BALL_RADIUS);
        }
        switch (feed.outcome) {
        case Outcome::Exit: {
            if (glm::dot(p, feed.exit) > 26) {
                const float across = std::fabs(glm::dot(p, glm::vec3(feed.exit.z, 0, feed.exit.x)));
                if (across < 12 && p.y > -21 && p.y < feed.maxExitY) return "";
                why << "left at " << p.x << " " << p.y << " " << p.z << " off the exit";
                return why.str();
            }
            if (p.y < -30) {
                why << "fell out at " << p.x << " " << p.y << " " << p.z;
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
    const glm::vec3 p = toLocal(world.getGlobalPosition(ball));
    if (feed.outcome == Outcome::Stay) {
        const float speed = glm::length(world.getLinearVelocity(ball));
        if (std::fabs(p.x) < 25 && std::fabs(p.z) < 25 && p.y > -25 && p.y < 0 && speed < 5) return "";
        why << "not held: at " << p.x << " " << p.y << " " << p.z << " moving at " << speed;
        return why.str();
    }
    why << "still at " << p.x << " " << p.y << " " << p.z << " after 3 s";
    return why.str();
}


std::string ShippedPieces::runSlopeChain(int turn, float* seamGap, float* rampGap) {
    QuietReporter reporter;
    physics::PhysicsWorld world(&reporter);
    const glm::quat q = glm::angleAxis(turn * glm::half_pi<float>(), glm::vec3(0, 1, 0));
    // Chain frame: the top slope's cell (10, 10) at level 3; rows run along
    // +x, so slope k sits at (k * 50, -k * 50, 0) and the straight at (200, -150, 0).
    const glm::vec3 top(10 * 50 + 25, 3 * 50 + 25, -10 * 50 - 25);
    auto toWorld = [&](glm::vec3 local) { return top + q * local; };
    auto toLocal = [&](glm::vec3 w) { return glm::inverse(q) * (w - top); };
    auto place = [&](const std::string& name, glm::vec3 at) {
        const klotz::Mesh& m = mesh(name);
        physics::MeshHandle h = world.createTriangleMesh(m.vertices.data(), m.vertexCount, m.faces.data(), m.faceCount);
        physics::ActorHandle a = physics::createKlotzActor(world, h);
        world.setGlobalPosition(a, toWorld(at));
        world.setGlobalOrientationQuat(a, q);
    };
    for (int k = 0; k < 4; ++k) place("slope", glm::vec3(50.0f * k, -50.0f * k, 0));
    place("straight", glm::vec3(200, -150, 0));

    // The ramp is the plane x + y = 4 of the chain frame; n is its normal.
    const glm::vec3 n = glm::normalize(glm::vec3(1, 1, 0));
    physics::ActorHandle ball = physics::createBallActor(world);
    world.setGlobalPosition(ball, toWorld(glm::vec3(-20, 24, 0) + n * physics::BALL_RADIUS));

    std::ostringstream why;
    for (int step = 0; step < 300; ++step) {
        world.simulate(0.01f);
        const glm::vec3 w = world.getGlobalPosition(ball);
        const glm::vec3 p = toLocal(w);
        if (p.x > -25 && p.x < 175) {
            // Along the ramp's normal, from 1 unit inside the ball's surface
            // (a ray starting inside the ball does not hit it).
            physics::RayHit hit;
            const float skip = physics::BALL_RADIUS - 1.0f;
            const glm::vec3 down = -(q * n);
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
    const glm::vec3 p = toLocal(world.getGlobalPosition(ball));
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
    feed.from.y += 50;  // on the straight one level up
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

}  // namespace
