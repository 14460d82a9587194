// Rewinding a ball: a state read back restores it exactly, and the run from
// a restored state follows the first one.
#include <cmath>
#include <cstdio>
#include <sstream>

#include <gtest/gtest.h>

#include "physics/ErrorReporter.h"
#include "physics/TrackGeometry.h"

namespace {

using namespace physics;
using namespace trackgeometry;

// Positions of the ball over `steps` steps of 0.01 s.
std::vector<glm::vec3> path(PhysicsWorld& world, ActorHandle ball, int steps) {
    std::vector<glm::vec3> p;
    for (int i = 0; i < steps; ++i) {
        world.simulate(0.01f);
        p.push_back(world.getGlobalPosition(ball));
    }
    return p;
}

TEST(BallState, RestoredBallsRunTheSamePathAgain) {
    PhysicsWorld world;
    MeshHandle slope = registerMesh(world, slopePiece());
    MeshHandle flat = registerMesh(world, flatPiece());
    for (int i = 0; i < 4; ++i) place(world, slope, levelCentre(1 + i, 5, 4 - i));
    for (int i = 0; i < 2; ++i) place(world, flat, levelCentre(5 + i, 5, 1));
    // Dropped onto the ramp, down it, over the flats and off their end onto
    // the floor, into a second ball lying there.
    const float z = levelCentre(0, 5, 0).z;
    ActorHandle ball = ballAt(world, {58, 290, z + 2});
    ActorHandle lying = ballAt(world, {420, BALL_RADIUS, z + 3});
    world.simulate(0.8f);  // rolling down the ramp

    const BallState saved = world.getBallState(ball), savedLying = world.getBallState(lying);
    const std::vector<glm::vec3> first = path(world, ball, 200);
    world.setBallState(ball, saved);
    world.setBallState(lying, savedLying);
    const std::vector<glm::vec3> second = path(world, ball, 200);
    float drift = 0;
    for (std::size_t i = 0; i < first.size(); ++i) drift = std::max(drift, glm::length(first[i] - second[i]));
    const float travelled = glm::length(first.back() - saved.pose.translation);
    std::printf("rewound ball: largest drift over 2 s %.6f units, travelled %.0f\n", drift, travelled);
    RecordProperty("rewindDrift", std::to_string(drift));
    EXPECT_GT(travelled, 300.0f);
    EXPECT_LT(drift, 0.5f);

    // Read back at once, a restored state is the same bit for bit.
    world.setBallState(ball, saved);
    const BallState again = world.getBallState(ball);
    EXPECT_EQ(again.pose.rotation, saved.pose.rotation);
    EXPECT_EQ(again.pose.translation, saved.pose.translation);
    EXPECT_EQ(again.linearVelocity, saved.linearVelocity);
    EXPECT_EQ(again.angularVelocity, saved.angularVelocity);
}

TEST(BallState, RefusesBadStates) {
    std::ostringstream log;
    std::istringstream none;
    ErrorReporter reporter(log, none);
    PhysicsWorld world(&reporter);
    ActorHandle ball = ballAt(world, {100, 100, -100});
    BallState bad = world.getBallState(ball);
    bad.pose.rotation[0] = 2;  // not a rotation
    world.setBallState(ball, bad);
    bad = world.getBallState(ball);
    bad.linearVelocity.x = NAN;
    world.setBallState(ball, bad);
    world.getBallState(0);  // a plane
    EXPECT_EQ(world.getGlobalPosition(ball), glm::vec3(100, 100, -100));
    EXPECT_EQ(world.getLinearVelocity(ball), glm::vec3(0.0f));
    EXPECT_NE(log.str().find("setBallState: the pose must be finite"), std::string::npos);
    EXPECT_NE(log.str().find("getBallState: actor 0 is static"), std::string::npos);
}

}  // namespace
