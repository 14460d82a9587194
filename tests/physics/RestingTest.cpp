// Balls come to rest: a ball twisted in a corner stops spinning, and a pile
// settles instead of trembling.
#include <gtest/gtest.h>

#include "physics/TrackGeometry.h"

namespace {

using namespace physics;
using namespace trackgeometry;

TEST(Resting, BallSpinningInACornerStops) {
    PhysicsWorld world;
    ActorHandle ball = ballAt(world, {BALL_RADIUS, BALL_RADIUS, -BALL_RADIUS});
    world.setAngularVelocity(ball, {0, 5, 0});
    world.simulate(3.0f);
    EXPECT_LT(glm::length(world.getAngularVelocity(ball)), 0.05f);
    world.simulate(2.0f);  // asleep by now
    EXPECT_EQ(world.getAngularVelocity(ball), glm::vec3(0.0f));
    EXPECT_LT(glm::length(world.getGlobalPosition(ball) - glm::vec3(8, 8, -8)), 0.1f);
}

// A square pit one cell wide: floor plate 4 thick, walls 5 thick and 30 high.
PieceMesh pit() {
    PieceMesh m;
    auto box = [&m](float x0, float x1, float y0, float y1, float z0, float z1) {
        m.addHexahedron([=](int ix, int iy, int iz) {
            return std::array<float, 3>{ix ? x1 : x0, iy ? y1 : y0, iz ? z1 : z0};
        });
    };
    const float top = FLOOR_Y + 30;
    box(-25, 25, FLOOR_Y - 4, FLOOR_Y, -25, 25);
    box(-25, 25, FLOOR_Y, top, -25, -20);
    box(-25, 25, FLOOR_Y, top, 20, 25);
    box(-25, -20, FLOOR_Y, top, -20, 20);
    box(20, 25, FLOOR_Y, top, -20, 20);
    return m;
}

TEST(Resting, PileInAPitSettlesWithinSeconds) {
    PhysicsWorld world;
    const glm::vec3 centre = levelCentre(5, 5, 0);
    place(world, registerMesh(world, pit()), centre);
    std::vector<ActorHandle> balls;
    for (int i = 0; i < 10; ++i)
        balls.push_back(ballAt(world, centre + glm::vec3((i % 3) * 6.0f - 6, 30 + 20 * i, (i % 2) * 7.0f - 3)));
    // The last ball lands after about 3.5 s; the pile settles within a
    // few seconds more and then sleeps.
    world.simulate(9.0f);
    std::vector<glm::vec3> settled;
    for (ActorHandle b : balls) {
        EXPECT_EQ(world.getLinearVelocity(b), glm::vec3(0.0f));
        EXPECT_EQ(world.getAngularVelocity(b), glm::vec3(0.0f));
        settled.push_back(world.getGlobalPosition(b));
        EXPECT_LT(glm::length(glm::vec2(settled.back().x - centre.x, settled.back().z - centre.z)), 25.0f);
    }
    world.simulate(10.0f);
    for (std::size_t i = 0; i < balls.size(); ++i)
        EXPECT_EQ(world.getGlobalPosition(balls[i]), settled[i]) << "ball " << i;
}

}  // namespace
