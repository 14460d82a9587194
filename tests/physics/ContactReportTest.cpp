// Contact reports: what a ball hits (klotz, ball or plane, by handle) and
// what it touches, step by step.
#include <cmath>

#include <gtest/gtest.h>

#include "physics/TrackGeometry.h"

namespace {

using namespace physics;
using namespace trackgeometry;

constexpr float BALL_MASS = 7600.0f * 4.0f / 3.0f * 3.14159265f * 512.0f * 1e-6f;  // see createSphereActor
constexpr ActorHandle FLOOR = 0;  // the first boundary plane

std::vector<BallImpact> impactsOf(ActorHandle ball, const std::vector<BallImpact>& all) {
    std::vector<BallImpact> mine;
    for (const BallImpact& i : all)
        if (i.ball == ball) mine.push_back(i);
    return mine;
}

TEST(ContactReports, DroppedBallsHitTheKlotzAndTheFloorOnceAtFreeFallSpeed) {
    PhysicsWorld world;
    MeshHandle mesh = registerMesh(world, flatPiece());
    place(world, mesh, levelCentre(2, 2, 0));
    const glm::vec3 centre = levelCentre(4, 4, 0);
    const ActorHandle klotz = place(world, mesh, centre);
    ActorHandle onKlotz = ballAt(world, {centre.x + 3, REST_Y + 100, centre.z});
    ActorHandle onFloor = ballAt(world, {700, BALL_RADIUS + 100, -700});
    world.simulate(0.01f);
    EXPECT_TRUE(world.stepContacts().impacts.empty());  // off until switched on

    world.setContactReporting(true);
    std::vector<BallImpact> impacts;
    for (int i = 0; i < 150; ++i) {
        world.simulate(0.01f);
        impacts.insert(impacts.end(), world.stepContacts().impacts.begin(), world.stepContacts().impacts.end());
    }
    const float fallSpeed = std::sqrt(2 * 400.0f * 100);
    for (auto [ball, other, kind] : {std::tuple{onKlotz, klotz, ContactKind::KLOTZ},
                                     std::tuple{onFloor, FLOOR, ContactKind::PLANE}}) {
        std::vector<BallImpact> mine = impactsOf(ball, impacts);
        ASSERT_EQ(mine.size(), 1u) << "ball " << ball;
        EXPECT_EQ(mine[0].other, other);
        EXPECT_EQ(mine[0].otherKind, kind);
        EXPECT_NEAR(mine[0].normalSpeed, fallSpeed, 0.03f * fallSpeed);
        // The impulse stops the fall (and one step of gravity).
        EXPECT_NEAR(mine[0].impulse / BALL_MASS, mine[0].normalSpeed, 0.05f * fallSpeed);
        EXPECT_NEAR(mine[0].normal.y, 1.0f, 1e-3f);
        EXPECT_NEAR(mine[0].position.y, world.getGlobalPosition(ball).y - BALL_RADIUS, 0.2f);
    }
    // Both rest where they landed, touching what they hit.
    ASSERT_EQ(world.stepContacts().touches.size(), 2u);
    for (const BallTouch& t : world.stepContacts().touches) {
        EXPECT_EQ(t.other, t.ball == onKlotz ? klotz : FLOOR);
        EXPECT_LT(t.rollingSpeed, 0.1f);
    }
}

TEST(ContactReports, BallRollingOverTwoKloetzeTouchesTheFirstThenTheSecond) {
    PhysicsWorld world;
    MeshHandle mesh = registerMesh(world, flatPiece());
    const ActorHandle first = place(world, mesh, levelCentre(0, 5, 0));
    const ActorHandle second = place(world, mesh, levelCentre(1, 5, 0));
    const glm::vec3 start(10, REST_Y, levelCentre(0, 5, 0).z);
    ActorHandle ball = ballAt(world, start, {100, 0, 0});
    world.setAngularVelocity(ball, {0, 0, -100 / BALL_RADIUS});
    world.setContactReporting(true);
    std::vector<ActorHandle> touched;
    for (int i = 0; i < 75; ++i) {
        world.simulate(0.01f);
        const StepContacts& c = world.stepContacts();
        EXPECT_TRUE(c.impacts.empty()) << "at x " << world.getGlobalPosition(ball).x << " " << (c.impacts.empty() ? 0 : c.impacts[0].other) << " " << (c.impacts.empty() ? 0 : c.impacts[0].normalSpeed) << " n " << (c.impacts.empty() ? 0 : c.impacts[0].normal.x) << " " << (c.impacts.empty() ? 0 : c.impacts[0].normal.y) << " pos " << (c.impacts.empty() ? 0 : c.impacts[0].position.x);
        for (const BallTouch& t : c.touches) {
            if (touched.empty() || touched.back() != t.other) touched.push_back(t.other);
            EXPECT_EQ(t.otherKind, ContactKind::KLOTZ);
            EXPECT_NEAR(t.rollingSpeed, 100.0f, 2.0f);
            EXPECT_LT(t.slipSpeed, 1.0f);  // rolling, not sliding
        }
    }
    EXPECT_GT(world.getGlobalPosition(ball).x, 75.0f);
    // At the seam it may touch both for a step.
    ASSERT_GE(touched.size(), 2u);
    EXPECT_EQ(touched.front(), first);
    EXPECT_EQ(touched.back(), second);
    for (ActorHandle t : touched) EXPECT_TRUE(t == first || t == second) << t;
}

TEST(ContactReports, CollidingBallsEachReportTheOther) {
    PhysicsWorld world;
    ActorHandle moving = ballAt(world, {200, BALL_RADIUS, -500}, {100, 0, 0});
    world.setAngularVelocity(moving, {0, 0, -100 / BALL_RADIUS});
    ActorHandle resting = ballAt(world, {260, BALL_RADIUS, -500});
    world.setContactReporting(true);
    std::vector<BallImpact> impacts;
    for (int i = 0; i < 100; ++i) {
        world.simulate(0.01f);
        impacts.insert(impacts.end(), world.stepContacts().impacts.begin(), world.stepContacts().impacts.end());
    }
    for (auto [ball, other] : {std::pair{moving, resting}, std::pair{resting, moving}}) {
        std::vector<BallImpact> mine = impactsOf(ball, impacts);
        ASSERT_EQ(mine.size(), 1u) << "ball " << ball;
        EXPECT_EQ(mine[0].other, other);
        EXPECT_EQ(mine[0].otherKind, ContactKind::BALL);
        EXPECT_NEAR(mine[0].normalSpeed, 100.0f, 2.0f);
        EXPECT_NEAR(mine[0].position.x, 252.0f, 1.0f);  // where the surfaces meet
    }
}

}  // namespace
