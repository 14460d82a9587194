// Moving parts as bodies of their own: what the pieces built on them rely
// on (a spring rights a part, a bistable one stays thrown, a driven one
// carries a ball, a bouncy one bounces) and what runs rely on (parts follow
// their klotz, go with it, start every run at rest, come back on a rewind).
#include <cmath>
#include <sstream>
#include <vector>

#include <gtest/gtest.h>

#include "physics/Actors.h"
#include "physics/ErrorReporter.h"
#include "physics/Physics.h"

namespace {

using namespace physics;

struct PartsFixture : ::testing::Test {
    std::ostringstream log;
    std::istringstream answers;
    ErrorReporter reporter{log, answers};
    PhysicsWorld world{&reporter};

    // A flat plate x -w..w, z -w..w, 4 thick, top at y = 0 (klotz frame).
    MeshHandle plate(float w) {
        const float v[] = {-w, 0, -w, w, 0, -w, w, 0, w, -w, 0, w, -w, -4, -w, w, -4, -w, w, -4, w, -w, -4, w};
        const std::int32_t f[] = {0, 2, 1, 0, 3, 2, 4, 5, 6, 4, 6, 7, 0, 1, 5, 0, 5, 4,
                                  1, 2, 6, 1, 6, 5, 2, 3, 7, 2, 7, 6, 3, 0, 4, 3, 4, 7};
        return world.createTriangleMesh(v, 8, f, 12);
    }
    // A klotz with no triangles of its own, at centre, turned by quarter turns about y.
    ActorHandle klotzAt(glm::vec3 centre, int quarterTurns = 0) {
        const float none[] = {0, 0, 0};
        const std::int32_t face[] = {0, 0, 0};
        const ActorHandle k = createKlotzActor(world, world.createTriangleMesh(none, 1, face, 1));
        world.setGlobalPosition(k, centre);
        world.setGlobalOrientationQuat(k, glm::angleAxis(glm::radians(90.0f * quarterTurns), glm::vec3(0, 1, 0)));
        return k;
    }
    ActorHandle ballAt(glm::vec3 p) {
        const ActorHandle b = createBallActor(world);
        world.setGlobalPosition(b, p);
        return b;
    }
    // The part's angle about z from its matrix (columns 0 and 1 of the turn).
    float tilt(ActorHandle klotz) {
        const std::array<float, 16> m = world.movingPartMatrix(klotz, 0);
        return std::atan2(m[1], m[0]);
    }
};

MovingPartSpec tray(MeshHandle mesh) {
    MovingPartSpec s;
    s.mesh = mesh;
    s.joint = PartJoint::HINGE;
    s.pivot = {0, 0, 0};
    s.axis = {0, 0, 1};
    s.lower = -0.5f;
    s.upper = 0.5f;
    s.mass = 20;
    s.damping = 0.9f;
    return s;
}

TEST_F(PartsFixture, ASprungTrayTipsUnderABallAndRightsItselfOnceItIsGone) {
    MovingPartSpec s = tray(plate(20));
    s.spring = 20000;
    const ActorHandle k = klotzAt({500, 100, -500});
    world.addMovingPart(k, s);
    ASSERT_EQ(world.stats().movingParts, 1);
    const ActorHandle ball = ballAt({512, 120, -500});  // over the +x side
    float lowest = 0;
    for (int i = 0; i < 150; ++i) {
        world.simulate(0.01f);
        lowest = std::min(lowest, tilt(k));
    }
    EXPECT_LT(lowest, -0.2f) << "the ball's weight tips the tray toward it";
    EXPECT_LT(world.getGlobalPosition(ball).y, 60.0f) << "and the ball rolls off";
    for (int i = 0; i < 300; ++i) world.simulate(0.01f);
    EXPECT_NEAR(tilt(k), 0.0f, 0.03f) << "the spring rights it";
    EXPECT_EQ(log.str(), "");
}

TEST_F(PartsFixture, ABistablePartStaysOnTheSideItWasLastThrownTo) {
    MovingPartSpec s = tray(plate(20));
    s.spring = 20000;
    s.bistable = true;
    s.upper = 0.3f;  // uneven limits: each side is its own
    const ActorHandle k = klotzAt({500, 100, -500});
    world.addMovingPart(k, s);
    for (int i = 0; i < 100; ++i) world.simulate(0.01f);
    EXPECT_NEAR(tilt(k), 0.3f, 0.05f) << "at rest it is past the middle of its limits: it goes to that side";
    ballAt({512, 120, -500});
    for (int i = 0; i < 300; ++i) world.simulate(0.01f);
    EXPECT_NEAR(tilt(k), -0.5f, 0.05f) << "thrown to the ball's side, it stays there";
    ballAt({488, 120, -500});
    for (int i = 0; i < 300; ++i) world.simulate(0.01f);
    EXPECT_NEAR(tilt(k), 0.3f, 0.05f) << "the next ball on the other side throws it back";
}

TEST_F(PartsFixture, ADrivenPlatformCarriesABallUpAndBackAtItsSpeed) {
    MovingPartSpec s;
    s.mesh = plate(20);
    s.joint = PartJoint::DRIVEN;
    s.path = {{0, 0, 0}, {0, 150, 0}};
    s.speed = 50;
    s.pause = 1;
    const ActorHandle k = klotzAt({500, 50, -500});
    world.addMovingPart(k, s);
    const ActorHandle ball = ballAt({500, 59, -500});
    world.simulate(1.0f);  // the pause at the bottom
    EXPECT_NEAR(world.getGlobalPosition(ball).y, 58, 1.5);
    world.simulate(2.0f);
    EXPECT_NEAR(world.getGlobalPosition(ball).y, 58 + 100, 3) << "100 up in 2 s at 50 units/s";
    world.simulate(2.0f);  // at the top, then the pause
    EXPECT_NEAR(world.getGlobalPosition(ball).y, 58 + 150, 3);
    EXPECT_NEAR(world.movingPartMatrix(k, 0)[13], 200, 0.01);
    world.simulate(4.0f);  // down again
    EXPECT_NEAR(world.movingPartMatrix(k, 0)[13], 50, 0.01);
}

TEST_F(PartsFixture, OnlyABouncyPartGivesABallBack) {
    for (float restitution : {0.0f, 0.8f}) {
        PhysicsWorld w(&reporter);
        const float none[] = {0, 0, 0};
        const std::int32_t face[] = {0, 0, 0};
        const ActorHandle k = createKlotzActor(w, w.createTriangleMesh(none, 1, face, 1));
        w.setGlobalPosition(k, {500, 100, -500});
        const float v[] = {-20, 0, -20, 20, 0, -20, 20, 0, 20, -20, 0, 20};
        const std::int32_t f[] = {0, 2, 1, 0, 3, 2};
        MovingPartSpec s;
        s.mesh = w.createTriangleMesh(v, 4, f, 2);
        s.joint = PartJoint::DRIVEN;  // held still
        s.restitution = restitution;
        w.addMovingPart(k, s);
        const ActorHandle ball = createBallActor(w);
        w.setGlobalPosition(ball, {500, 208, -500});  // 100 over the pad
        float highest = 0;
        bool landed = false;
        for (int i = 0; i < 200; ++i) {
            w.simulate(0.01f);
            const float y = w.getGlobalPosition(ball).y - 108;
            landed = landed || y < 5;
            if (landed) highest = std::max(highest, y);
        }
        if (restitution == 0)
            EXPECT_LT(highest, 6) << "a plain part does not bounce";
        else
            EXPECT_NEAR(highest, 100 * restitution * restitution, 12) << "h' = e^2 h";
    }
}

// What a ball meets on a part is reported as met on its klotz: the sound
// and the run's outcomes hear and see it like any other klotz contact.
TEST_F(PartsFixture, ABallHittingAPartIsReportedAsHittingItsKlotz) {
    MovingPartSpec s;
    s.mesh = plate(20);
    s.joint = PartJoint::DRIVEN;  // held still
    const ActorHandle k = klotzAt({500, 100, -500});
    world.addMovingPart(k, s);
    world.setContactReporting(true);
    const ActorHandle ball = ballAt({500, 160, -500});
    bool heard = false, touching = false;
    for (int i = 0; i < 100; ++i) {
        world.simulate(0.01f);
        for (const BallImpact& impact : world.stepContacts().impacts)
            heard = heard || (impact.ball == ball && impact.other == k && impact.otherKind == ContactKind::KLOTZ &&
                              impact.normalSpeed > 100);
    }
    for (const BallTouch& touch : world.stepContacts().touches)
        touching = touching || (touch.ball == ball && touch.other == k && touch.otherKind == ContactKind::KLOTZ);
    EXPECT_TRUE(heard) << "the landing is an impact on the klotz";
    EXPECT_TRUE(touching) << "resting on the part, it touches the klotz";
}

TEST_F(PartsFixture, PartsFollowTheirKlotzAndGoWithIt) {
    const ActorHandle k = klotzAt({500, 100, -500}, 1);
    MovingPartSpec s;
    s.mesh = plate(10);
    s.joint = PartJoint::DRIVEN;  // held still
    s.pivot = {10, 0, 0};
    world.addMovingPart(k, s);
    std::array<float, 16> m = world.movingPartMatrix(k, 0);
    EXPECT_NEAR(m[0], 0, 1e-5) << "turned with the klotz: local x is world -z";
    EXPECT_NEAR(m[2], -1, 1e-5);
    world.setGlobalPosition(k, {300, 150, -300});
    m = world.movingPartMatrix(k, 0);
    EXPECT_NEAR(m[12], 300, 1e-3);
    EXPECT_NEAR(m[13], 150, 1e-3);
    const ActorHandle ball = ballAt({300, 170, -300});  // lands on the part at its new place
    world.simulate(1.0f);
    EXPECT_NEAR(world.getGlobalPosition(ball).y, 158, 1);
    world.releaseActor(k);
    EXPECT_EQ(world.stats().movingParts, 0);
    world.simulate(1.0f);
    EXPECT_LT(world.getGlobalPosition(ball).y, 20) << "the part went with its klotz";
    EXPECT_EQ(log.str(), "");
}

TEST_F(PartsFixture, RunsWithPartsRestartAndRewindBitForBit) {
    MovingPartSpec s = tray(plate(20));
    s.spring = 2000;
    const ActorHandle k = klotzAt({500, 100, -500});
    world.addMovingPart(k, s);
    const ActorHandle ball = ballAt({515, 140, -500});
    const auto run = [&](int steps) {
        for (int i = 0; i < steps; ++i) world.simulate(0.01f);
        return std::make_pair(world.getBallState(ball).pose.translation, world.getPartStates()[0].pose.rotation);
    };
    const auto start = [&] {
        world.setBallState(ball, {Pose{{1, 0, 0, 0, 1, 0, 0, 0, 1}, {515, 140, -500}}, {}, {}});
        world.restartRun({ball});
    };
    start();
    const auto first = run(120);
    start();
    EXPECT_EQ(world.getPartStates()[0].pose.rotation, (std::array<float, 9>{1, 0, 0, 0, 1, 0, 0, 0, 1}))
        << "a run starts with the part at rest";
    EXPECT_EQ(run(120), first) << "the same run again";

    start();
    run(40);
    const BallState ballThen = world.getBallState(ball);
    const std::vector<PartState> partsThen = world.getPartStates();
    const auto straight = run(80);
    world.setBallState(ball, ballThen);
    world.setPartStates(partsThen);
    const auto again = run(80);
    EXPECT_NEAR(again.first.y, straight.first.y, 0.05f) << "rewound to step 40, the run goes on as before";
    EXPECT_NEAR(again.second[1], straight.second[1], 1e-3f);
}

}  // namespace
