// A restarted run depends on the actors alone: a world with a long history
// of edits and steps runs the same scene exactly as a fresh one.
#include <cstring>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "physics/ErrorReporter.h"
#include "physics/TrackGeometry.h"

namespace {

using namespace physics;
using namespace trackgeometry;

// Kloetze in the order the scene makes them; balls dropped on the slopes,
// onto each other and into a pile, where the order of contacts tells.
const glm::vec3 KLOETZE[] = {levelCentre(2, 2, 0), levelCentre(3, 2, 0), levelCentre(4, 2, 0),
                             levelCentre(2, 3, 0), levelCentre(3, 3, 0)};
const bool SLOPE[] = {true, false, false, true, false};
const glm::vec3 STARTS[] = {levelCentre(2, 2, 1),
                            levelCentre(2, 3, 1),
                            levelCentre(2, 2, 3),
                            levelCentre(3, 2, 2) + glm::vec3(1, 0, 0),
                            levelCentre(3, 2, 4) + glm::vec3(-1, 0, 0.5f),
                            levelCentre(3, 2, 6) + glm::vec3(0, 0, -1),
                            levelCentre(3, 2, 8) + glm::vec3(0.5f, 0, 0)};
constexpr int BALLS = 7;

struct Recorded {
    std::vector<BallState> states;  // per ball and step
    std::vector<float> contacts;    // every number of every impact and touch
};

void putAtStarts(PhysicsWorld& world, const std::vector<ActorHandle>& balls) {
    for (std::size_t i = 0; i < balls.size(); ++i) {
        Pose pose;
        pose.translation = STARTS[i];
        world.setGlobalPose(balls[i], pose);
        world.setLinearVelocity(balls[i], glm::vec3(0.0f));
        world.setAngularVelocity(balls[i], glm::vec3(0.0f));
    }
}

Recorded run(PhysicsWorld& world, const std::vector<ActorHandle>& balls) {
    putAtStarts(world, balls);
    world.restartRun(balls);
    Recorded r;
    for (int frame = 0; frame < 120; ++frame) {
        world.simulate(0.025f);  // frames of 2.5 steps: the remainder counts too
        for (ActorHandle b : balls) r.states.push_back(world.getBallState(b));
        for (const BallImpact& i : world.stepContacts().impacts)
            r.contacts.insert(r.contacts.end(), {float(i.otherKind), i.normalSpeed, i.impulse, i.position.x,
                                                 i.position.y, i.normal.z, float(i.step)});
        for (const BallTouch& t : world.stepContacts().touches)
            r.contacts.insert(r.contacts.end(), {float(t.otherKind), t.rollingSpeed, t.slipSpeed, t.position.x});
    }
    return r;
}

bool sameBits(const BallState& a, const BallState& b) {
    return std::memcmp(&a.pose, &b.pose, sizeof a.pose) == 0 &&
           std::memcmp(&a.linearVelocity, &b.linearVelocity, sizeof a.linearVelocity) == 0 &&
           std::memcmp(&a.angularVelocity, &b.angularVelocity, sizeof a.angularVelocity) == 0;
}

TEST(WorldRestart, AWorldWithAHistoryRunsTheSceneBitForBitAsAFreshOne) {
    PhysicsWorld fresh;
    const MeshHandle slope = registerMesh(fresh, slopePiece()), flat = registerMesh(fresh, flatPiece());
    for (int k = 0; k < 5; ++k) place(fresh, SLOPE[k] ? slope : flat, KLOETZE[k]);
    std::vector<ActorHandle> freshBalls;
    for (int i = 0; i < BALLS; ++i) freshBalls.push_back(createBallActor(fresh));
    fresh.setContactReporting(true);
    const Recorded expected = run(fresh, freshBalls);

    // The same scene after edits: meshes registered the other way round,
    // actors made and released in between (slots reused in another order),
    // balls made in another order, kloetze moved away and back, a run whose
    // balls fell asleep on the floor, contact caches full and a step's
    // remainder carried.
    PhysicsWorld edited;
    const MeshHandle flat2 = registerMesh(edited, flatPiece()), slope2 = registerMesh(edited, slopePiece());
    std::vector<ActorHandle> junk;
    std::vector<ActorHandle> kloetze;
    std::vector<ActorHandle> balls(BALLS, NO_ACTOR);
    for (int k = 0; k < 5; ++k) {
        junk.push_back(place(edited, flat2, levelCentre(9, k, 0)));
        junk.push_back(ballAt(edited, levelCentre(9, k, 3)));
        kloetze.push_back(place(edited, SLOPE[k] ? slope2 : flat2, levelCentre(12, 12, k)));
    }
    for (int i = BALLS - 1; i >= 0; --i) balls[i] = ballAt(edited, levelCentre(15, 2 * i + 2, 0));
    edited.setContactReporting(true);
    edited.simulate(1.0f);
    for (std::size_t j = 0; j < junk.size(); j += 2) edited.releaseActor(junk[j]);
    for (int k = 0; k < 5; ++k) edited.setGlobalPosition(kloetze[k], KLOETZE[k] + glm::vec3(0, 500, 0));
    for (int i = 0; i < BALLS; ++i) edited.setLinearVelocity(balls[i], {40.0f * i, 0, -30});
    edited.simulate(4.0f);  // the balls come to rest against walls and each other, and sleep
    for (int k = 0; k < 5; ++k) edited.setGlobalPosition(kloetze[k], KLOETZE[k]);
    for (std::size_t j = 1; j < junk.size(); j += 2) edited.releaseActor(junk[j]);
    edited.simulate(0.015f);
    const Recorded got = run(edited, balls);

    ASSERT_EQ(got.states.size(), expected.states.size());
    int differing = 0;
    for (std::size_t s = 0; s < got.states.size(); ++s) differing += sameBits(got.states[s], expected.states[s]) ? 0 : 1;
    EXPECT_EQ(differing, 0) << "of " << got.states.size() << " ball states";
    EXPECT_EQ(got.contacts, expected.contacts);
    EXPECT_FALSE(expected.contacts.empty());

    // Starting the same scene again in the same world gives the same run.
    const Recorded again = run(edited, balls);
    EXPECT_EQ(std::memcmp(again.states.data(), expected.states.data(), sizeof(BallState) * expected.states.size()), 0);
    EXPECT_EQ(again.contacts, expected.contacts);
}

}  // namespace

namespace {

using namespace physics;
using namespace trackgeometry;

// A wrong handle in the ball order is reported and left out; the balls
// named and those not named all take part in the run.
TEST(WorldRestart, ReportsWrongHandlesAndKeepsEveryBall) {
    std::ostringstream log;
    std::istringstream none;
    ErrorReporter reporter(log, none);
    PhysicsWorld world(&reporter);
    const ActorHandle klotz = place(world, registerMesh(world, flatPiece()), levelCentre(2, 2, 0));
    const ActorHandle gone = ballAt(world, {500, 100, -500});
    world.releaseActor(gone);
    const ActorHandle named = ballAt(world, levelCentre(2, 2, 0) + glm::vec3(0, 20, 0));
    const ActorHandle unnamed = ballAt(world, {700, 100, -700});
    world.restartRun({gone, klotz, named, named});
    EXPECT_NE(log.str().find("restartRun: no actor " + std::to_string(gone)), std::string::npos);
    EXPECT_NE(log.str().find("restartRun: actor " + std::to_string(klotz) + " is no ball"), std::string::npos);
    EXPECT_NE(log.str().find("restartRun: actor " + std::to_string(named) + " is no ball or named twice"),
              std::string::npos);
    world.simulate(2.0f);
    EXPECT_NEAR(world.getGlobalPosition(named).y, REST_Y, 0.05f);  // on the klotz, not through it
    EXPECT_NEAR(world.getGlobalPosition(unnamed).y, BALL_RADIUS, 0.05f);
    EXPECT_EQ(world.stats().dynamicActors, 2);
}

}  // namespace
