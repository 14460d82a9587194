// Curved test track for the physics tests and benchmark: a vertical loop
// and a trough, both round-bottomed grooves faceted every degree along the
// curve, and the runs that measure them against the textbook rolling ball.
#pragma once

#include <algorithm>
#include <cmath>
#include <functional>

#include "physics/TrackGeometry.h"

namespace trackgeometry {

constexpr float GROOVE_RADIUS = 12.0f;  // of the round groove's cross-section
constexpr float PI = 3.14159265f;
constexpr float GRAVITY = 400.0f;  // units/s^2, the world's

// A sheet swept along a curve: at each of `steps` + 1 points t of 0..1,
// centre(t) is the groove bottom, inward(t) the unit normal toward the
// ball and side(t) the unit sideways direction; the cross-section is an
// arc of GROOVE_RADIUS from -80 to 80 degrees. Wound counter-clockwise
// seen from the ball, or the other way round when `reversed`.
inline PieceMesh sweptGroove(const std::function<glm::vec3(float)>& centre, const std::function<glm::vec3(float)>& inward,
                             const std::function<glm::vec3(float)>& side, int steps, bool reversed = false) {
    constexpr int ARC = 16;
    PieceMesh m;
    for (int i = 0; i <= steps; ++i) {
        const float t = static_cast<float>(i) / steps;
        const glm::vec3 c = centre(t), n = inward(t), s = side(t);
        for (int j = 0; j <= ARC; ++j) {
            const float a = glm::radians(-80.0f + 160.0f * j / ARC);
            const glm::vec3 p = c + n * (GROOVE_RADIUS * (1 - std::cos(a))) + s * (GROOVE_RADIUS * std::sin(a));
            m.vertices.insert(m.vertices.end(), {p.x, p.y, p.z});
        }
    }
    // Orientation of a quad (i, j) .. (i + 1, j + 1) seen from the ball.
    const glm::vec3 along = centre(1.0f / steps) - centre(0), across = side(0);
    const bool flip = (glm::dot(glm::cross(along, across), inward(0)) < 0) != reversed;
    for (int i = 0; i < steps; ++i)
        for (int j = 0; j < ARC; ++j) {
            const std::int32_t a = i * (ARC + 1) + j, b = a + ARC + 1;
            if (flip)
                m.faces.insert(m.faces.end(), {a, a + 1, b + 1, a, b + 1, b});
            else
                m.faces.insert(m.faces.end(), {a, b, b + 1, a, b + 1, a + 1});
        }
    return m;
}

// A vertical loop whose groove bottom has radius R, entered along +x at
// the origin from a straight of `lead` and left along a straight shifted
// by `shift` sideways (+z), so the exit passes beside the entry.
struct Loop {
    float radius, shift, lead;
    glm::vec3 tangent(float phi) const {
        return glm::normalize(glm::vec3(radius * std::cos(phi), radius * std::sin(phi), shift / (2 * PI)));
    }
    glm::vec3 inward(float phi) const { return {-std::sin(phi), std::cos(phi), 0.0f}; }
    glm::vec3 bottom(float phi) const {
        return {radius * std::sin(phi), radius * (1 - std::cos(phi)), shift * phi / (2 * PI)};
    }
    PieceMesh mesh(bool reversed = false) const {
        // Path parameter: the entry straight, 360 one-degree steps round the
        // loop, the exit straight; each straight is one step.
        const int steps = 362;
        auto phiOf = [&](float t) { return std::clamp((t * steps - 1) * PI / 180.0f, 0.0f, 2 * PI); };
        auto centre = [&](float t) {
            const float phi = phiOf(t);
            const float s = t * steps;
            if (s < 1) return bottom(0) - tangent(0) * (lead * (1 - s));
            if (s > steps - 1) return bottom(2 * PI) + tangent(2 * PI) * (lead * (s - (steps - 1)));
            return bottom(phi);
        };
        auto in = [&](float t) { return inward(phiOf(t)); };
        auto side = [&](float t) { return glm::normalize(glm::cross(tangent(phiOf(t)), inward(phiOf(t)))); };
        return sweptGroove(centre, in, side, steps, reversed);
    }
};

// Speed at the bottom of a ball rolled without slipping from `height`
// above it: g h = 7/10 v^2.
inline float rollingSpeedFrom(float height) { return std::sqrt(10.0f / 7.0f * GRAVITY * height); }

inline glm::quat quarterTurns(int turns) { return glm::angleAxis(glm::radians(90.0f * turns), glm::vec3(0, 1, 0)); }

// Where the loop stands in the test world, above the floor plane.
inline glm::vec3 loopOrigin() { return {500.0f, 40.0f, -500.0f}; }

// A ball rolling into `loop` (turned by `turns` quarter turns about the
// vertical) at the speed of a release from height * (R - r) above the
// bottom. True when it leaves along the exit straight.
inline bool loopCompleted(const PieceMesh& mesh, const Loop& loop, int turns, float releaseOverRMinusR) {
    physics::PhysicsWorld world;
    const glm::quat turn = quarterTurns(turns);
    const glm::vec3 origin = loopOrigin();
    physics::ActorHandle klotz = place(world, registerMesh(world, mesh), origin);
    world.setGlobalOrientationQuat(klotz, turn);
    const float r = physics::BALL_RADIUS;
    const glm::vec3 up(0, 1, 0);
    const glm::vec3 t0 = turn * loop.tangent(0);
    const float speed = rollingSpeedFrom(releaseOverRMinusR * (loop.radius - r));
    const glm::vec3 start = origin + turn * (loop.bottom(0) - loop.tangent(0) * (0.5f * loop.lead)) + up * r;
    physics::ActorHandle ball = ballAt(world, start, t0 * speed);
    world.setAngularVelocity(ball, glm::cross(up, t0 * speed) / r);
    const glm::vec3 exit = origin + turn * loop.bottom(2 * PI), t1 = turn * loop.tangent(2 * PI);
    bool top = false;  // has been over the top
    for (int step = 0; step < 800; ++step) {
        world.simulate(0.01f);
        const glm::vec3 p = world.getGlobalPosition(ball);
        top = top || p.y - origin.y > 2 * loop.radius - r - 3.0f;
        if (top && glm::dot(p - exit, t1) > 0.5f * loop.lead && p.y < exit.y + 2 * r) return true;
        const glm::vec3 q = glm::inverse(turn) * (p - origin);
        const bool rolledBack = glm::dot(p - start, t0) < -0.4f * loop.lead && q.y < 2 * r && q.z < 0.5f * loop.shift;
        if (p.y < origin.y - 30.0f || rolledBack) return false;
        // Off the track in the upper half: inside the circle the centre runs
        // on by more than a contact's give. A ball that leaves the track
        // near the top and falls back onto it has not gone round.
        if (q.y > 0.6f * loop.radius && std::hypot(q.x, q.y - loop.radius) < loop.radius - r - 0.5f) return false;
    }
    return false;
}

// Lowest release height over R - r from which the ball completes the loop,
// by bisection between lo and hi to within `tolerance`.
inline float loopThreshold(const Loop& loop, int turns, float lo = 2.0f, float hi = 4.0f, float tolerance = 0.005f) {
    const PieceMesh mesh = loop.mesh();
    while (hi - lo > tolerance) {
        const float mid = 0.5f * (lo + hi);
        (loopCompleted(mesh, loop, turns, mid) ? hi : lo) = mid;
    }
    return hi;
}

}  // namespace trackgeometry

namespace trackgeometry {

// A groove whose bottom is a circular arc of `radius` in the vertical
// plane, concave up, from -span to +span degrees: a ball rolls to and fro
// along it.
inline PieceMesh valley(float radius, float span) {
    auto angle = [&](float t) { return glm::radians(span * (2 * t - 1)); };
    return sweptGroove([&](float t) { return glm::vec3(radius * std::sin(angle(t)), radius * (1 - std::cos(angle(t))), 0); },
                       [&](float t) { return glm::vec3(-std::sin(angle(t)), std::cos(angle(t)), 0); },
                       [](float) { return glm::vec3(0, 0, 1); }, static_cast<int>(2 * span));
}

// Period (s) of a ball released at rest `amplitude` degrees up `valley`,
// from the times it passes the bottom going the same way.
inline float rockingPeriod(float radius, float amplitude) {
    physics::PhysicsWorld world;
    const glm::vec3 origin = loopOrigin();
    place(world, registerMesh(world, valley(radius, 40.0f)), origin);
    const float r = physics::BALL_RADIUS, a = glm::radians(amplitude);
    const physics::ActorHandle ball =
        ballAt(world, origin + glm::vec3((radius - r) * std::sin(a), radius - (radius - r) * std::cos(a), 0));
    std::vector<float> passes;
    float last = (radius - r) * std::sin(a);
    for (int step = 1; step <= 1000 && passes.size() < 3; ++step) {
        world.simulate(0.01f);
        const float x = world.getGlobalPosition(ball).x - origin.x;
        if (last > 0 && x <= 0) passes.push_back(0.01f * (step - 1 + last / (last - x)));
        last = x;
    }
    return passes.size() == 3 ? 0.5f * (passes[2] - passes[0]) : 0.0f;
}

}  // namespace trackgeometry
