#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "physics/Actors.h"
#include "physics/ErrorReporter.h"
#include "physics/Physics.h"
#include "physics/TrackGeometry.h"
#include "physics/WorldImpl.h"

namespace {

using namespace physics;
using trackgeometry::ballAt;
using trackgeometry::levelCentre;

struct WorldFixture : ::testing::Test {
    std::ostringstream log;
    std::istringstream answers;
    ErrorReporter reporter{log, answers};
    PhysicsWorld world{&reporter};
};

TEST_F(WorldFixture, StartsWithFiveBoundaryPlanesOnly) {
    WorldStats s = world.stats();
    EXPECT_EQ(s.planeActors, 5);
    EXPECT_EQ(s.staticActors, 5);
    EXPECT_EQ(s.dynamicActors, 0);
    EXPECT_EQ(s.stepsTaken, 0);
    EXPECT_EQ(log.str(), "");
}

TEST_F(WorldFixture, FreeBallFallsAtFourHundredStraightDown) {
    ActorHandle ball = ballAt(world, {500, 900, -500});
    world.simulate(1.0f);
    glm::vec3 p = world.getGlobalPosition(ball);
    EXPECT_NEAR(p.y, 900.0f - 200.0f, 3.0f);  // semi-implicit Euler lags by v*dt/2
    EXPECT_NEAR(world.getLinearVelocity(ball).y, -400.0f, 0.5f);
    EXPECT_FLOAT_EQ(p.x, 500.0f);
    EXPECT_FLOAT_EQ(p.z, -500.0f);
    EXPECT_EQ(world.stats().stepsTaken, 100);
}

TEST_F(WorldFixture, StepsInFixedHundredthsAndCarriesTheRemainder) {
    world.simulate(0.015f);
    EXPECT_EQ(world.stats().stepsTaken, 1);
    world.simulate(0.005f);
    EXPECT_EQ(world.stats().stepsTaken, 2);
    world.simulate(0.004f);
    EXPECT_EQ(world.stats().stepsTaken, 2);
    for (int i = 0; i < 10; ++i) world.simulate(0.001f);
    EXPECT_EQ(world.stats().stepsTaken, 3);
    world.simulate(100.0f);  // a long stall: at most 1000 steps
    EXPECT_EQ(world.stats().stepsTaken, 1003);
    world.simulate(0.0f);  // the stall is not carried over
    EXPECT_EQ(world.stats().stepsTaken, 1003);
    world.simulate(1e30f);
    world.simulate(0.0f);
    EXPECT_EQ(world.stats().stepsTaken, 2003);
}

TEST_F(WorldFixture, PosesAndVelocitiesAreCurrentAfterEveryStep) {
    ActorHandle ball = ballAt(world, {500, 500, -500}, {10, 0, 0});
    glm::vec3 last = world.getGlobalPosition(ball);
    for (int i = 0; i < 5; ++i) {
        world.simulate(0.01f);
        glm::vec3 now = world.getGlobalPosition(ball);
        EXPECT_NEAR(now.x - last.x, 0.1f, 1e-3f);
        last = now;
    }
}

TEST_F(WorldFixture, TeleportsAreVisibleToTheNextGet) {
    MeshHandle mesh = trackgeometry::registerMesh(world, trackgeometry::flatPiece());
    ActorHandle klotz = createKlotzActor(world, mesh);
    world.setGlobalPosition(klotz, levelCentre(3, 4, 0));
    Pose pose = world.getGlobalPose(klotz);
    EXPECT_EQ(pose.translation, glm::vec3(175, 25, -225));
    EXPECT_EQ(pose.rotation, (Pose{}.rotation));
    std::array<float, 16> m = poseToMatrix(pose);
    EXPECT_EQ(m[12], 175.0f);
    EXPECT_EQ(m[14], -225.0f);

    glm::quat quarter = glm::angleAxis(glm::radians(90.0f), glm::vec3(0, 1, 0));
    world.setGlobalOrientationQuat(klotz, quarter);
    glm::quat back = world.getGlobalOrientationQuat(klotz);
    EXPECT_NEAR(std::abs(glm::dot(back, quarter)), 1.0f, 1e-6f);
    EXPECT_EQ(world.getGlobalPosition(klotz), glm::vec3(175, 25, -225));

    Pose turned = matrixToPose(poseToMatrix(world.getGlobalPose(klotz)));
    turned.translation = {25, 75, -25};
    world.setGlobalPose(klotz, turned);
    Pose read = world.getGlobalPose(klotz);
    EXPECT_EQ(read.translation, turned.translation);
    for (int i = 0; i < 9; ++i) EXPECT_NEAR(read.rotation[i], turned.rotation[i], 1e-6f);

    ActorHandle ball = createBallActor(world);
    EXPECT_EQ(world.getGlobalPosition(ball), glm::vec3(0.0f));
    world.setLinearVelocity(ball, {1, 2, 3});
    EXPECT_EQ(world.getLinearVelocity(ball), glm::vec3(1, 2, 3));
    EXPECT_EQ(world.stats().dynamicActors, 1);
    EXPECT_EQ(world.stats().staticActors, 6);
}

TEST_F(WorldFixture, BadCallsAreReportedNotFollowed) {
    ActorHandle ball = createBallActor(world);
    world.releaseActor(ball);
    EXPECT_FALSE(world.isActor(ball));
    world.setGlobalPosition(ball, {1, 2, 3});
    EXPECT_EQ(world.getGlobalPosition(ball), glm::vec3(0.0f));
    world.releaseActor(ball);
    world.setLinearVelocity(12345, {0, 0, 0});
    EXPECT_NE(log.str().find("PhysicsWorld.cpp ("), std::string::npos);
    EXPECT_NE(log.str().find(":invalid parameter : setGlobalPosition: no actor "), std::string::npos);
    EXPECT_NE(log.str().find("setLinearVelocity: no actor 12345"), std::string::npos);

    log.str("");
    ActorHandle live = createBallActor(world);
    EXPECT_NE(live, ball);  // its slot again, under a new generation
    world.setGlobalPosition(live, {NAN, 0, 0});
    world.setLinearVelocity(live, {0, INFINITY, 0});
    EXPECT_EQ(world.getGlobalPosition(live), glm::vec3(0.0f));
    EXPECT_EQ(world.createSphereActor(0.0f, 7600.0f), NO_ACTOR);
    EXPECT_EQ(world.createSphereActor(-1.0f, 7600.0f), NO_ACTOR);
    const float v[9] = {0, 0, 0, 1, 0, 0, 0, 1, 0};
    const std::int32_t badFace[3] = {0, 1, 3};
    EXPECT_EQ(world.createTriangleMesh(v, 3, badFace, 1), NO_MESH);
    EXPECT_EQ(world.createMeshActor(77), NO_ACTOR);
    Pose sheared;
    sheared.rotation[1] = 0.5f;
    ActorHandle plane = 0;
    world.setGlobalPose(plane, sheared);
    world.simulate(-1.0f);
    std::istringstream lines(log.str());
    std::string line;
    int reports = 0;
    while (std::getline(lines, line)) {
        ++reports;
        EXPECT_NE(line.find(":invalid parameter : "), std::string::npos) << line;
    }
    EXPECT_EQ(reports, 8);
    EXPECT_EQ(world.stats().dynamicActors, 1);
}

// Editing makes and releases actors all the time (every undo rebuilds the
// scene): slots are reused, the handles of released actors stay refused and
// the counts are of the living.
TEST_F(WorldFixture, ReleasedSlotsAreReusedAndOldHandlesStayRefused) {
    const MeshHandle mesh = trackgeometry::registerMesh(world, trackgeometry::flatPiece());
    std::vector<ActorHandle> released;
    ActorHandle klotz = NO_ACTOR, ball = NO_ACTOR;
    for (int round = 0; round < 1000; ++round) {
        klotz = trackgeometry::place(world, mesh, levelCentre(round % 20, 3, 0));
        ball = ballAt(world, {500, 100, -500});
        world.simulate(0.01f);
        if (round % 100 == 0) released.insert(released.end(), {klotz, ball});
        if (round + 1 < 1000) {
            world.releaseActor(ball);
            world.releaseActor(klotz);
        }
    }
    EXPECT_LE(world.implementation().actors.size(), 7u);
    EXPECT_EQ(log.str(), "");
    WorldStats s = world.stats();
    EXPECT_EQ(s.staticActors, 6);
    EXPECT_EQ(s.dynamicActors, 1);
    EXPECT_EQ(s.planeActors, 5);

    // Every old handle is refused, even where its slot now holds a live
    // actor, and nothing happens to that actor.
    for (ActorHandle old : released) {
        EXPECT_NE(old, klotz);
        EXPECT_NE(old, ball);
        EXPECT_FALSE(world.isActor(old));
        log.str("");
        world.setGlobalPosition(old, {900, 300, -900});
        EXPECT_NE(log.str().find("setGlobalPosition: no actor " + std::to_string(old)), std::string::npos);
        world.releaseActor(old);
    }
    EXPECT_NE(world.getGlobalPosition(ball), glm::vec3(900, 300, -900));
    EXPECT_EQ(world.getGlobalPosition(klotz), levelCentre(19, 3, 0));
    EXPECT_EQ(world.stats().dynamicActors, 1);

    // Contact reports name the live ball and klotz by their new handles.
    world.setGlobalPosition(ball, levelCentre(19, 3, 0) + glm::vec3(0, trackgeometry::REST_Y - 25.0f + 2.0f, 0));
    world.setContactReporting(true);
    world.simulate(0.2f);
    ASSERT_FALSE(world.stepContacts().touches.empty());
    EXPECT_EQ(world.stepContacts().touches[0].ball, ball);
    EXPECT_EQ(world.stepContacts().touches[0].other, klotz);
}

TEST_F(WorldFixture, RayCastFindsTheClosestSurfaceAndItsNormal) {
    MeshHandle mesh = trackgeometry::registerMesh(world, trackgeometry::flatPiece());
    trackgeometry::place(world, mesh, levelCentre(2, 2, 0));
    RayHit hit;
    // Down into the groove of the piece at (125, 25, -125): its floor at y 4.
    ASSERT_TRUE(world.raycastClosest({125, 10, -125}, {0, -1, 0}, 20, &hit));
    EXPECT_NEAR(hit.point.y, 4.0f, 1e-3f);
    EXPECT_NEAR(hit.distance, 6.0f, 1e-3f);
    EXPECT_NEAR(hit.normal.y, 1.0f, 1e-5f);
    EXPECT_FALSE(world.raycastClosest({125, 10, -125}, {0, -1, 0}, 5, &hit));
    // Sideways into a boundary wall.
    ASSERT_TRUE(world.raycastClosest({3, 10, -500}, {-1, 0, 0}, 5, &hit));
    EXPECT_NEAR(hit.point.x, 0.0f, 1e-4f);
    EXPECT_NEAR(hit.normal.x, 1.0f, 1e-5f);
    // A ball is hit too.
    ballAt(world, {500, 300, -500});
    ASSERT_TRUE(world.raycastClosest({500, 320, -500}, {0, -1, 0}, 20, &hit));
    EXPECT_NEAR(hit.point.y, 308.0f, 1e-3f);
}

}  // namespace

namespace {

using namespace physics;

float groundAt(PhysicsWorld& world, float x, float z) {
    RayHit hit;
    return world.raycastClosest({x, 200, z}, {0, -1, 0}, 300, &hit) ? hit.point.y : -1.0f;
}

TEST(KlotzColliders, FollowTheirActorsPoseAndLeaveWithIt) {
    std::ostringstream log;
    std::istringstream none;
    ErrorReporter reporter(log, none);
    PhysicsWorld world(&reporter);
    MeshHandle mesh = trackgeometry::registerMesh(world, trackgeometry::flatPiece());
    ActorHandle a = trackgeometry::place(world, mesh, trackgeometry::levelCentre(1, 1, 0));
    ActorHandle b = trackgeometry::place(world, mesh, trackgeometry::levelCentre(1, 1, 1));
    EXPECT_NEAR(groundAt(world, 75, -75), 54.0f, 1e-3f);  // groove floor of the upper one
    EXPECT_NEAR(groundAt(world, 75, -55), 70.0f, 1e-3f);  // its wall top (walls at z beyond +-12)

    // Turned a quarter about y the groove runs along z: the wall is now at x.
    world.setGlobalOrientationQuat(b, glm::angleAxis(glm::radians(90.0f), glm::vec3(0, 1, 0)));
    EXPECT_NEAR(groundAt(world, 75, -55), 54.0f, 1e-3f);
    EXPECT_NEAR(groundAt(world, 95, -75), 70.0f, 1e-3f);

    world.setGlobalPosition(b, trackgeometry::levelCentre(6, 6, 0));
    EXPECT_NEAR(groundAt(world, 75, -75), 4.0f, 1e-3f);  // the lower one again
    EXPECT_NEAR(groundAt(world, 325, -325), 4.0f, 1e-3f);

    world.releaseActor(a);
    EXPECT_NEAR(groundAt(world, 75, -75), 0.0f, 1e-3f);  // the floor plane
    EXPECT_EQ(world.stats().staticActors, 6);
    EXPECT_EQ(log.str(), "");
}

}  // namespace
