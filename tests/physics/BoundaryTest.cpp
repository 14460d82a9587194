// The boundary planes are solid half-spaces: a ball that starts anywhere
// behind one (a shot from a camera outside the grid) comes back to the
// build area instead of flying on outside.
#include <sstream>

#include <gtest/gtest.h>

#include "physics/TrackGeometry.h"

namespace {

using namespace physics;
using trackgeometry::ballAt;

bool inside(glm::vec3 p, float slack) {
    return p.x > -slack && p.x < 1000 + slack && p.z < slack && p.z > -1000 - slack && p.y > -slack;
}

TEST(BoundaryPlanes, BallsFarBehindThemComeBackIntoTheBuildArea) {
    const glm::vec3 outward[5] = {{-1, 0, 0}, {1, 0, 0}, {0, 0, 1}, {0, 0, -1}, {0, -1, 0}};
    for (float depth : {20.0f, 1500.0f, 40000.0f})
        for (const glm::vec3& out : outward)
            for (float speed : {0.0f, 400.0f, -400.0f}) {  // at rest, flying away, flying in
                std::ostringstream where;
                where << "depth " << depth << " outward " << out.x << "," << out.y << "," << out.z << " speed " << speed;
                PhysicsWorld world;
                const glm::vec3 centre(500, out.y < 0 ? 100 : 300, -500);
                ActorHandle ball = ballAt(world, centre + out * (depth + 500.0f - (out.y < 0 ? 100 : 0)), out * speed);
                // Bullet pushes a ball out of a plane by a fifth of its depth
                // a step, without adding speed, and stops it moving deeper.
                int steps = 0;
                for (; !inside(world.getGlobalPosition(ball), 0.5f) && steps < 60; ++steps) {
                    world.simulate(0.01f);
                    ASSERT_LE(glm::dot(world.getLinearVelocity(ball), out), 1e-3f) << where.str() << " step " << steps;
                }
                glm::vec3 p = world.getGlobalPosition(ball);
                EXPECT_TRUE(inside(p, 0.5f)) << where.str() << " still at " << p.x << " " << p.y << " " << p.z;
                world.simulate(2.0f);
                p = world.getGlobalPosition(ball);
                EXPECT_TRUE(inside(p, 0.0f)) << where.str() << " left again to " << p.x << " " << p.y << " " << p.z;
            }
}

}  // namespace
