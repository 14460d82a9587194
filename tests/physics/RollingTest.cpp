#include <gtest/gtest.h>

#include "physics/Actors.h"
#include "physics/Physics.h"
#include "physics/TrackGeometry.h"

namespace {

using namespace physics;
using namespace trackgeometry;

TEST(KlotzContact, DroppedBallComesToRestOnTheGrooveFloor) {
    // Separate meshes per klotz and one shared mesh behave alike.
    for (bool shared : {false, true}) {
        PhysicsWorld world;
        PieceMesh piece = flatPiece();
        MeshHandle mesh = registerMesh(world, piece);
        for (int i = 0; i < 3; ++i)
            place(world, shared ? mesh : registerMesh(world, piece), levelCentre(2 + i, 3, 1));
        glm::vec3 centre = levelCentre(3, 3, 1);
        ActorHandle ball = ballAt(world, {centre.x + 5, centre.y + 60, centre.z});
        world.simulate(2.0f);
        glm::vec3 settled = world.getGlobalPosition(ball);
        EXPECT_NEAR(settled.y, centre.y + FLOOR_Y + BALL_RADIUS, 0.1f) << shared;
        EXPECT_NEAR(settled.z, centre.z, 0.1f);
        for (int i = 0; i < 200; ++i) {
            world.simulate(0.01f);
            EXPECT_LT(glm::length(world.getGlobalPosition(ball) - settled), 0.05f);
        }
    }
}

}  // namespace

namespace {

using namespace trackgeometry;

// The limits users judge the kit by, on the test pieces, with margin.
// Also when the kloetze entered the physics before the ball: Bullet then
// hands the pair's contacts over the other way round.
TEST(SmoothRolling, BallKeepsItsSpeedAndHeightAcrossEightPieces) {
    for (bool meshFirst : {false, true}) {
        RollResult r = rollAlongFlats(flatPiece(), 8, 150.0f, meshFirst);
        EXPECT_LT(r.speedLossPercent, 2.0f) << meshFirst;
        EXPECT_GT(r.speedLossPercent, -1.0f) << meshFirst;
        EXPECT_LT(r.maxHop, 0.3f) << meshFirst;
        // Nor does it drop where its contact passes to the next triangle.
        EXPECT_LT(r.maxSink, 0.005f) << meshFirst;
    }
}

TEST(SmoothRolling, BallAtRestStaysPut) { EXPECT_LT(restingDrift(flatPiece(), 2.0f), 0.03f); }

TEST(SmoothRolling, BallFollowsAChainOfSlopesOntoFlatTrack) {
    EXPECT_LT(slopeChainMaxGap(slopePiece(), flatPiece()), 0.6f);
}

TEST(NoTunnelling, FastShotsAndLongDropsStayOutOfEverySolid) {
    EXPECT_EQ(tunnellingCount(flatPiece(), 50, 50, 7u), 0);
}

TEST(NoTunnelling, BoundaryWallsHoldBallsShotAtThem) {
    physics::PhysicsWorld world;
    const glm::vec3 dirs[4] = {{-1, 0, 0}, {1, 0, 0}, {0, 0, 1}, {0, 0, -1}};
    std::vector<physics::ActorHandle> balls;
    for (const glm::vec3& d : dirs) balls.push_back(ballAt(world, glm::vec3(500, 30, -500) + d * 480.0f, d * 400.0f));
    balls.push_back(ballAt(world, {20, 1000, -980}, {-400, -400, -400}));
    for (int i = 0; i < 300; ++i) {
        world.simulate(0.01f);
        for (physics::ActorHandle b : balls) {
            glm::vec3 p = world.getGlobalPosition(b);
            ASSERT_GE(p.x, 7.0f);
            ASSERT_LE(p.x, 993.0f);
            ASSERT_LE(p.z, -7.0f);
            ASSERT_GE(p.z, -993.0f);
            ASSERT_GE(p.y, 7.0f);
        }
    }
}

}  // namespace
