// Balls through the shipped pieces with moving parts, each in a small
// layout turned each of the four ways: counts and exits, not positions.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <sstream>
#include <string>
#include <vector>

#include <glm/gtc/quaternion.hpp>

#include "physics/Actors.h"
#include "physics/ErrorReporter.h"
#include "scene/SceneModel.h"
#include "support/ShippedCatalogue.h"

namespace {

const klotz::KlotzCatalogue& shipped() {
    static const klotz::KlotzCatalogue catalogue = testsupport::loadShippedCatalogue();
    return catalogue;
}

int typeNamed(const std::string& name) {
    for (int t = 0; t < shipped().typeCount(); ++t)
        if (shipped().klotzTypes[t].name == name) return t;
    ADD_FAILURE() << "no type " << name;
    return 0;
}

glm::quat quarterTurns(int turns) { return glm::angleAxis(turns * glm::half_pi<float>(), glm::vec3(0, 1, 0)); }

// Pieces around the centre of cell (10, 10) at level 4, the whole layout
// turned; positions in the layout's frame, one cell 50 units.
class Rig {
public:
    explicit Rig(int turn) : world_(&reporter_), turn_(quarterTurns(turn)) {}

    physics::ActorHandle place(const std::string& name, glm::vec3 at, int ownTurns = 0) {
        physics::Pose pose;
        const glm::mat3 r = glm::mat3_cast(turn_ * quarterTurns(ownTurns));
        for (int i = 0; i < 3; ++i)
            for (int j = 0; j < 3; ++j) pose.rotation[3 * i + j] = r[j][i];
        pose.translation = toWorld(at);
        return model_.makeKlotzActor(shipped(), world_, typeNamed(name), pose);
    }
    physics::ActorHandle ball(glm::vec3 at, glm::vec3 velocity = glm::vec3(0.0f)) {
        const physics::ActorHandle b = physics::createBallActor(world_);
        world_.setGlobalPosition(b, toWorld(at));
        world_.setLinearVelocity(b, turn_ * velocity);
        world_.setAngularVelocity(b, turn_ * glm::cross(glm::vec3(0, 1, 0), velocity) / physics::BALL_RADIUS);
        return b;
    }
    glm::vec3 where(physics::ActorHandle b) const { return glm::inverse(turn_) * (world_.getGlobalPosition(b) - ORIGIN); }
    void run(float seconds) { world_.simulate(seconds); }
    physics::PhysicsWorld& world() { return world_; }
    std::string errors() const { return log_.str(); }

private:
    glm::vec3 toWorld(glm::vec3 at) const { return ORIGIN + turn_ * at; }

    const glm::vec3 ORIGIN{10 * 50 + 25, 4 * 50 + 25, -10 * 50 - 25};
    std::ostringstream log_;
    std::istringstream answers_;
    physics::ErrorReporter reporter_{log_, answers_};
    physics::PhysicsWorld world_;
    scene::SceneModel model_;
    glm::quat turn_;
};

constexpr float GROOVE_Y = -13;  // a ball's centre on a groove floor

TEST(MovingPieces, TheSwitchSendsBallsLeftAndRightInTurn) {
    // From the slowest ball that gets through its turns to one off a ramp.
    for (float speed : {90.0f, 150.0f, 220.0f})
        for (int turn = 0; turn < 4; ++turn) {
        Rig rig(turn);
        rig.place("straight", {-50, 0, 0});
        rig.place("switch", {0, 0, 0});
        rig.place("straight", {0, 0, 50}, 1);
        rig.place("straight", {0, 0, -50}, 1);
        std::string sides;
        for (int i = 0; i < 8; ++i) {
            const physics::ActorHandle b = rig.ball({-60, GROOVE_Y, 0}, {speed, 0, 0});
            rig.run(1.5f);
            const glm::vec3 p = rig.where(b);
            sides += p.z > 30 ? '+' : p.z < -30 ? '-' : '?';
            rig.world().releaseActor(b);
        }
        EXPECT_EQ(sides, "-+-+-+-+") << "turn " << turn << " speed " << speed;
        EXPECT_EQ(rig.errors(), "");
    }
}

TEST(MovingPieces, TheSeesawTipsUnderABallLetsItOnAndRightsItself) {
    for (int turn = 0; turn < 4; ++turn) {
        Rig rig(turn);
        rig.place("straight", {-50, 0, 0});
        const physics::ActorHandle seesaw = rig.place("seesaw", {0, 0, 0});
        rig.place("straight", {50, 0, 0});
        rig.place("straight", {100, 0, 0});
        const std::array<float, 16> rest = rig.world().movingPartMatrix(seesaw, 0);
        int through = 0;
        for (int i = 0; i < 3; ++i) {
            const physics::ActorHandle b = rig.ball({-60, GROOVE_Y, 0}, {100, 0, 0});
            float tipped = 0;
            for (int s = 0; s < 150; ++s) {
                rig.run(0.01f);
                tipped = std::max(tipped, std::fabs(rig.world().movingPartMatrix(seesaw, 0)[1] - rest[1]));
            }
            through += rig.where(b).x > 60 ? 1 : 0;
            EXPECT_GT(tipped, 0.2f) << "turn " << turn << ": the ball tips the tray";
            rig.world().releaseActor(b);
            rig.run(2.0f);
            EXPECT_NEAR(rig.world().movingPartMatrix(seesaw, 0)[1], rest[1], 0.02f) << "turn " << turn << ": righted";
        }
        EXPECT_EQ(through, 3) << "turn " << turn;
    }
}

TEST(MovingPieces, TheTrampolineThrowsAFallingBallIntoTheCatcher) {
    for (int turn = 0; turn < 4; ++turn) {
        Rig rig(turn);
        rig.place("trampoline", {0, 0, 0});
        rig.place("catcher", {50, 0, 0});
        rig.place("straight", {50, 0, 50}, 1);
        int caught = 0;
        for (int i = 0; i < 3; ++i) {
            const physics::ActorHandle b = rig.ball({0, 50, 0});
            rig.run(5.0f);
            const glm::vec3 p = rig.where(b);
            caught += p.z > 30 && std::fabs(p.x - 50) < 15 ? 1 : 0;
            rig.world().releaseActor(b);
        }
        EXPECT_EQ(caught, 3) << "turn " << turn;
    }
}

TEST(MovingPieces, TheLiftCarriesBallsUpThreeLevelsOneAfterAnotherWithoutJamming) {
    for (int turn = 0; turn < 4; ++turn) {
        Rig rig(turn);
        // Fed down slopes: balls queueing there roll on by themselves.
        rig.place("slope", {-100, 50, 0});
        rig.place("slope", {-50, 0, 0});
        rig.place("lift", {0, 0, 0});
        rig.place("slope", {50, 100, 0});
        rig.place("straight", {100, 100, 0});
        std::vector<physics::ActorHandle> balls;
        for (int i = 0; i < 3; ++i) balls.push_back(rig.ball({-80 + 20.0f * i, 60, 0}));
        std::vector<bool> out(balls.size(), false);
        for (int s = 0; s < 3000; ++s) {
            rig.run(0.01f);
            for (std::size_t i = 0; i < balls.size(); ++i) {
                const glm::vec3 p = rig.where(balls[i]);
                out[i] = out[i] || (p.x > 25 && p.y > 120);  // on the track three levels up
            }
        }
        EXPECT_EQ(std::count(out.begin(), out.end(), true), 3) << "turn " << turn << ": all three out at the top";
    }
}

}  // namespace
