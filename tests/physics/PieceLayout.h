// Shipped pieces placed in a small layout around one cell, the whole layout
// turned any number of quarter turns about y, and balls set rolling in it:
// the harness of the shipped-piece tests and of the transition benchmark.
// Positions and velocities are given in the layout's own frame (before the
// turn, origin at the centre of its first cell, one cell 50 units).
#pragma once

#include <algorithm>
#include <cmath>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include <glm/gtc/quaternion.hpp>

#include "klotz/Mesh.h"
#include "physics/Actors.h"
#include "physics/ErrorReporter.h"
#include "physics/Physics.h"

namespace piecelayout {

struct Placed {
    std::string piece;
    glm::vec3 at{0.0f};  // centre of its cell, layout frame
    int turns = 0;       // its own quarter turns about y within the layout
};

// The mesh of a type by name, or nullptr.
using MeshOf = std::function<const klotz::Mesh*(const std::string&)>;

class QuietReporter : public physics::ErrorReporter {
public:
    QuietReporter() : physics::ErrorReporter(sink_) {}
    std::string text() const { return sink_.str(); }

private:
    std::ostringstream sink_;
};

inline glm::quat quarterTurns(int turns) { return glm::angleAxis(turns * glm::half_pi<float>(), glm::vec3(0, 1, 0)); }

class Layout {
public:
    // The layout's origin is the centre of cell (10, 10) at level 5, well
    // above the ground and inside the walls for layouts a few cells wide.
    Layout(const MeshOf& meshOf, const std::vector<Placed>& pieces, int turn)
        : world_(&reporter_), turn_(quarterTurns(turn)) {
        for (const Placed& p : pieces) {
            const klotz::Mesh* m = meshOf(p.piece);
            if (!m || m->empty()) {
                missing_ += p.piece + " ";
                continue;
            }
            physics::MeshHandle h = world_.createTriangleMesh(m->vertices.data(), m->vertexCount, m->faces.data(),
                                                              m->faceCount);
            physics::ActorHandle a = physics::createKlotzActor(world_, h);
            world_.setGlobalPosition(a, toWorld(p.at));
            world_.setGlobalOrientationQuat(a, turn_ * quarterTurns(p.turns));
        }
    }

    physics::PhysicsWorld& world() { return world_; }
    const std::string& missing() const { return missing_; }

    glm::vec3 toWorld(glm::vec3 local) const { return ORIGIN + turn_ * local; }
    glm::vec3 toLocal(glm::vec3 w) const { return glm::inverse(turn_) * (w - ORIGIN); }
    glm::vec3 turned(glm::vec3 v) const { return turn_ * v; }

    // A ball at `at` moving at `velocity`, spinning as it would rolling on a
    // floor with the given normal (layout frame).
    physics::ActorHandle addBall(glm::vec3 at, glm::vec3 velocity, glm::vec3 floorNormal = glm::vec3(0, 1, 0)) {
        physics::ActorHandle ball = physics::createBallActor(world_);
        world_.setGlobalPosition(ball, toWorld(at));
        world_.setLinearVelocity(ball, turned(velocity));
        world_.setAngularVelocity(ball, turned(glm::cross(floorNormal, velocity)) / physics::BALL_RADIUS);
        return ball;
    }
    glm::vec3 position(physics::ActorHandle ball) const { return toLocal(world_.getGlobalPosition(ball)); }
    glm::vec3 velocity(physics::ActorHandle ball) const {
        return glm::inverse(turn_) * world_.getLinearVelocity(ball);
    }

    // Distance from a ball's surface to the nearest surface in the layout's
    // x-y plane through its centre (rays every 7.5 degrees; a ray from
    // inside the ball does not see the ball itself), at most maxDistance.
    float gapUnder(physics::ActorHandle ball, float maxDistance = 100) const {
        const glm::vec3 c = world_.getGlobalPosition(ball);
        float best = maxDistance + physics::BALL_RADIUS;
        physics::RayHit hit;
        for (int k = 0; k < 48; ++k) {
            const float a = glm::radians(7.5f * k);
            if (world_.raycastClosest(c, turned({std::cos(a), std::sin(a), 0.0f}), best, &hit))
                best = std::min(best, hit.distance);
        }
        return best - physics::BALL_RADIUS;
    }

private:
    const glm::vec3 ORIGIN{10 * 50 + 25, 5 * 50 + 25, -10 * 50 - 25};

    QuietReporter reporter_;
    physics::PhysicsWorld world_;
    glm::quat turn_;
    std::string missing_;
};

// The speed a loss-free rolling sphere has after rolling from speed v0 down
// a drop (units): v^2 = v0^2 + (10/7) g drop.
inline float lossFreeSpeed(float v0, float drop) { return std::sqrt(v0 * v0 + 10.0f / 7.0f * 400.0f * drop); }

// A ball's pass along +x of the layout frame through a stretch of track.
struct Pass {
    float keptPercent = -1;  // speed at exitX against lossFreeSpeed from entryX; -1: never got there
    float maxLift = -1;      // largest gap to the track from entryX to liftToX
};

inline Pass passAlong(Layout& layout, physics::ActorHandle ball, float entryX, float exitX, float liftToX,
                      int steps = 400) {
    Pass pass;
    float v0 = -1, y0 = 0, lift = 0;
    for (int step = 0; step < steps; ++step) {
        layout.world().simulate(0.01f);
        const glm::vec3 p = layout.position(ball);
        const float speed = glm::length(layout.velocity(ball));
        if (p.x >= entryX && p.x <= liftToX) lift = std::max(lift, layout.gapUnder(ball));
        if (v0 < 0 && p.x >= entryX) {
            v0 = speed;
            y0 = p.y;
        }
        if (v0 >= 0 && pass.keptPercent < 0 && p.x >= exitX)
            pass.keptPercent = 100 * speed / lossFreeSpeed(v0, y0 - p.y);
        if (p.x > liftToX) break;
    }
    if (pass.keptPercent >= 0) pass.maxLift = lift;
    return pass;
}

// The transitions, laid out along +x from the origin cell: the concave bend
// (sag_1, sag_2) with the slope that feeds it one cell back and one level
// up and a straight after it; the convex bend (crest_1 .. crest_4) with the
// straight that feeds it and the slope it runs into. A ball rolls in at
// `speed` 2 units before the origin cell; the pass is measured over the
// bend's cells, the lift also over the piece after.
inline std::vector<Placed> sagLayout(const std::string& first = "sag_1", const std::string& second = "sag_2") {
    return {{"slope", {-50, 50, 0}}, {first, {0, 0, 0}}, {second, {50, 0, 0}}, {"straight", {100, 0, 0}}};
}
inline Pass sagPass(Layout& layout, float speed) {
    const glm::vec3 n = glm::normalize(glm::vec3(1, 1, 0));
    const glm::vec3 onRamp = glm::vec3(-50 + 17, 50 + 4 - 17, 0) + n * physics::BALL_RADIUS;
    physics::ActorHandle ball = layout.addBall(onRamp, glm::normalize(glm::vec3(1, -1, 0)) * speed, n);
    return passAlong(layout, ball, -25, 75, 125);
}
inline std::vector<Placed> crestLayout() {
    return {{"straight", {-50, 0, 0}},   {"crest_1", {0, 0, 0}},      {"crest_2", {50, -50, 0}},
            {"crest_3", {100, -50, 0}}, {"crest_4", {150, -100, 0}}, {"slope", {200, -150, 0}}};
}
inline Pass crestPass(Layout& layout, float speed) {
    physics::ActorHandle ball = layout.addBall({-27, -13, 0}, {speed, 0, 0});
    return passAlong(layout, ball, -25, 175, 225);
}

}  // namespace piecelayout
