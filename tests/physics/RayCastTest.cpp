// The world's ray cast against Bullet's own, on random rays through a field
// of kloetze (some turned, some stacked) with balls lying and rolling on it.
#include <gtest/gtest.h>

#include "physics/TrackGeometry.h"
#include "physics/WorldImpl.h"

namespace {

using namespace physics;
using namespace trackgeometry;

TEST(RayCast, FindsTheSameHitsAsBulletsOwnRayTest) {
    PhysicsWorld world;
    MeshHandle mesh = registerMesh(world, flatPiece());
    MeshHandle slope = registerMesh(world, slopePiece());
    const glm::quat quarter = glm::angleAxis(glm::radians(90.0f), glm::vec3(0, 1, 0));
    for (int row = 0; row < 6; ++row)
        for (int column = 0; column < 6; ++column) {
            if ((row * 7 + column) % 5 == 0) continue;  // some bare floor
            ActorHandle a = place(world, (row + column) % 4 ? mesh : slope, levelCentre(row, column, row == 3));
            if (column % 2) world.setGlobalOrientationQuat(a, quarter);
        }
    for (int i = 0; i < 60; ++i)
        ballAt(world, {20.0f + 4.3f * i, 60.0f + (i % 3) * 20.0f, -20.0f - (i * 37) % 260}, {30, 0, -20});
    world.simulate(0.7f);

    btCollisionWorld& bullet = *world.implementation().world;
    unsigned state = 99;
    auto uniform = [&](float lo, float hi) {
        state = state * 1664525u + 1013904223u;
        return lo + (hi - lo) * static_cast<float>(state >> 8) / 16777216.0f;
    };
    int hits = 0, ballHits = 0, mismatches = 0;
    for (int i = 0; i < 10000; ++i) {
        glm::vec3 from(uniform(1, 310), uniform(1, 130), uniform(-310, -1));
        glm::vec3 dir(uniform(-1, 1), uniform(-1, 1), uniform(-1, 1));
        if (glm::length(dir) < 0.1f) continue;
        dir = glm::normalize(dir);
        const float length = i % 2 ? uniform(0.5f, 8) : uniform(8, 120);
        RayHit ours;
        const bool hit = world.raycastClosest(from, dir, length, &ours);

        const btVector3 a = toBt(from), b = toBt(from + dir * length);
        btCollisionWorld::ClosestRayResultCallback reference(a, b);
        bullet.rayTest(a, b, reference);
        if (reference.hasHit() && reference.m_collisionObject->getCollisionShape()->getShapeType() ==
                                      SPHERE_SHAPE_PROXYTYPE &&
            reference.m_closestHitFraction == 0)
            continue;  // starts inside a ball: ours does not hit that ball
        hits += hit;
        if (hit != reference.hasHit()) {
            ++mismatches;
            ADD_FAILURE() << "ray " << i << ": ours " << hit << ", Bullet's " << reference.hasHit();
            continue;
        }
        if (!hit) continue;
        const float distance = reference.m_closestHitFraction * length;
        const glm::vec3 normal = glm::normalize(toGlm(reference.m_hitNormalWorld));
        // Bullet meets a sphere by an iterative convex cast, good to a few
        // hundredths; triangles by the same exact test as ours.
        const bool ball = reference.m_collisionObject->getCollisionShape()->getShapeType() == SPHERE_SHAPE_PROXYTYPE;
        ballHits += ball;
        if (std::abs(ours.distance - distance) > (ball ? 0.05f : 1e-4f) ||
            glm::dot(ours.normal, normal) < (ball ? 0.995f : 0.99999f)) {
            ++mismatches;
            ADD_FAILURE() << "ray " << i << ": ours at " << ours.distance << ", Bullet's at " << distance;
        }
    }
    EXPECT_GT(hits, 800);
    EXPECT_GT(ballHits, 80);
    EXPECT_EQ(mismatches, 0);
}

}  // namespace
