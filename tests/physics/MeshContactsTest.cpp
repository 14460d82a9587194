// The contact choice and the grazing rule against their formulas.
#include <gtest/gtest.h>

#include "physics/MeshContacts.h"

namespace {

using physics::MeshContact;

btVector3 tilted(float degrees) {
    const float a = btRadians(degrees);
    return {std::sin(a), std::cos(a), 0};
}

TEST(MeshContacts, NearestOfEachSurfaceIsKept) {
    // Facets of one curved floor, the wall beside it, and a seam edge
    // leaning 32 degrees on the flat floor the ball has sunk into.
    const std::vector<MeshContact> contacts = {
        {tilted(-3), 0.02f, tilted(-3)}, {tilted(2), -0.05f, tilted(2)},  {tilted(12), 0.1f, {0, 0, 0}},
        {{1, 0, 0}, -0.01f, {1, 0, 0}},  {tilted(0), -1.1f, tilted(0)}, {tilted(32), 0.07f, tilted(0)}};
    const std::vector<int> kept = physics::nearestPerSurface(contacts);
    EXPECT_EQ(kept, (std::vector<int>{4, 3}));
}

// A ball riding a circle of radius R at speed v: in one step the normal
// turns by v dt / R and the ball approaches by v sin of that. What the
// solver leaves after taking the approach away must have the ball's speed.
TEST(MeshContacts, GrazingContactTurnsWithoutSlowing) {
    const float v = 250, dt = 0.01f, radius = 42;
    const float turn = v * dt / radius;
    const btVector3 before(0, 1, 0);
    const btVector3 now(-std::sin(turn), std::cos(turn), 0);
    btVector3 velocity(v, 0, 0);
    ASSERT_TRUE(physics::keepGrazingSpeed({now, -0.05f}, before, dt, {0, 0, 0}, velocity));
    const btVector3 after = velocity - now * velocity.dot(now);
    EXPECT_NEAR(after.length(), v, 1e-3f * v);

    // Gravity pulling the ball into a flat floor is not made up: no speed
    // from nothing while rolling along.
    btVector3 rolling(v, 0, 0);
    EXPECT_FALSE(physics::keepGrazingSpeed({before, 0.0f}, before, dt, {0, -400, 0}, rolling));
    EXPECT_EQ(rolling, btVector3(v, 0, 0));

    // Nor a ball meeting a surface steeply, nor one pushed against it.
    btVector3 steep(v, -0.5f * v, 0);
    EXPECT_FALSE(physics::keepGrazingSpeed({before, 0.0f}, before, dt, {0, 0, 0}, steep));
    btVector3 pushed(v, -10, 0);
    EXPECT_FALSE(physics::keepGrazingSpeed({before, 0.0f}, before, dt, {0, 0, 0}, pushed));
}

// A ball rolling over a crease of a faceted banked turn, spinning about
// the normal as well (as it does on a bank): with its spin turned along,
// the grazing contact leaves it rolling on the new facet, where the old
// spin would slip by about the speed times the crease's angle.
TEST(MeshContacts, SpinTurnsWithTheSurfaceSoTheBallRollsOn) {
    const float v = 250, dt = 0.01f, r = 8;
    const btVector3 before = btVector3(0, 1, 1).normalized();
    const btVector3 now = btVector3(-0.1f, 1, 1).normalized();  // 4 degrees on, about the vertical
    btVector3 velocity = btVector3(1, 0, 0) * v;
    const btVector3 spin = before.cross(velocity) / r + before * 30;
    auto slip = [&](const btVector3& w) { return (velocity + w.cross(-now * r)).length(); };
    ASSERT_TRUE(physics::keepGrazingSpeed({now, -0.05f}, before, dt, {0, 0, 0}, velocity));
    velocity -= now * velocity.dot(now);  // what the solver leaves
    EXPECT_GT(slip(spin), 0.05f * v);
    EXPECT_LT(slip(physics::turnedSpin(before, now, spin)), 0.01f * v);
}

}  // namespace
