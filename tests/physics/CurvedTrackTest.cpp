// Balls on curved track against the textbook rolling ball: a loop is
// completed from 2.7 (R - r) above its bottom and not from below, in every
// turn of the piece, and a ball rocking in a valley keeps the rolling
// period. Both need the mesh contacts a smooth surface would give.
#include <gtest/gtest.h>

#include "physics/CurvedTrack.h"

namespace {

using namespace trackgeometry;

TEST(Loop, CompletedFromTheTextbookHeightAndNotBelowInEveryTurn) {
    const Loop loop{50.0f, 30.0f, 60.0f};
    const PieceMesh mesh = loop.mesh();
    for (int turn = 0; turn < 4; ++turn) {
        EXPECT_TRUE(loopCompleted(mesh, loop, turn, 2.7f * 1.05f)) << "turn " << turn;
        EXPECT_FALSE(loopCompleted(mesh, loop, turn, 2.7f * 0.95f)) << "turn " << turn;
    }
}

// The contact rules judge faces by where the ball is, not by the way the
// triangles are wound.
TEST(Loop, WoundTheOtherWayRoundItRunsTheSame) {
    const Loop loop{50.0f, 30.0f, 60.0f};
    const PieceMesh mesh = loop.mesh(true);
    EXPECT_TRUE(loopCompleted(mesh, loop, 1, 2.7f * 1.05f));
    EXPECT_FALSE(loopCompleted(mesh, loop, 1, 2.7f * 0.95f));
}

TEST(Loop, LargerLoopToo) {
    const Loop loop{100.0f, 30.0f, 60.0f};
    const PieceMesh mesh = loop.mesh();
    EXPECT_TRUE(loopCompleted(mesh, loop, 2, 2.7f * 1.05f));
    EXPECT_FALSE(loopCompleted(mesh, loop, 2, 2.7f * 0.95f));
}

TEST(Valley, BallRocksWithTheRollingPeriod) {
    for (float radius : {40.0f, 80.0f}) {
        const float expected = 2 * PI * std::sqrt(7 * (radius - physics::BALL_RADIUS) / (5 * GRAVITY));
        EXPECT_NEAR(rockingPeriod(radius, 25.0f), expected, 0.05f * expected) << radius;
    }
}

}  // namespace

namespace {

// A wall 4 thick whose top face is split along its long diagonal: next to
// a corner the diagonal runs within a hair of the rim. A ball leaning on
// the rim there from outside touches the rim, not the diagonal's flat
// surface; taken for the top face, the contact would hold it up beside the
// wall on a floor that is not there.
TEST(SeamCorrection, BallBesideAWallTopFallsPastItsRim) {
    physics::PhysicsWorld world;
    PieceMesh wall;
    const float height = 30.0f;
    wall.addHexahedron([&](int ix, int iy, int iz) {
        return std::array<float, 3>{ix ? 25.0f : -25.0f, iy ? height - 25.0f : -25.0f, iz ? 2.0f : -2.0f};
    });
    const glm::vec3 centre = levelCentre(5, 5, 0);
    place(world, registerMesh(world, wall), centre);
    const float r = physics::BALL_RADIUS, out = 4.0f;
    const glm::vec3 corner = centre + glm::vec3(-25.0f, height - 25.0f, -2.0f);
    const physics::ActorHandle ball =
        ballAt(world, corner + glm::vec3(0.1f, std::sqrt(r * r - out * out) - 0.05f, -out));
    world.simulate(1.0f);
    EXPECT_LT(world.getGlobalPosition(ball).y, corner.y);
}

}  // namespace
