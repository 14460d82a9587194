// Test track for the physics tests and benchmark: channel pieces in the
// shipped pieces' convention (cell box -25..25, groove 24 wide along local
// x, groove floor at local y = -21), built from closed boxes wound
// counter-clockwise seen from outside, and the rolling measurements made on
// them.
#pragma once

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <functional>
#include <vector>

#include "physics/Actors.h"
#include "physics/Physics.h"

namespace trackgeometry {

constexpr float FLOOR_Y = -21.0f;  // groove floor, local
constexpr float WALL_TOP = -5.0f;  // side wall tops above the floor of a flat piece

struct PieceMesh {
    std::vector<float> vertices;
    std::vector<std::int32_t> faces;
    int vertexCount() const { return static_cast<int>(vertices.size() / 3); }
    int faceCount() const { return static_cast<int>(faces.size() / 3); }

    // A hexahedron; corner(ix, iy, iz) with each index 0 or 1 deforms the
    // unit cube without turning it inside out.
    void addHexahedron(const std::function<std::array<float, 3>(int, int, int)>& corner) {
        const std::int32_t base = vertexCount();
        for (int i = 0; i < 8; ++i) {
            std::array<float, 3> p = corner(i & 1, (i >> 1) & 1, (i >> 2) & 1);
            vertices.insert(vertices.end(), p.begin(), p.end());
        }
        static const int tri[12][3] = {{0, 4, 6}, {0, 6, 2}, {1, 3, 7}, {1, 7, 5}, {0, 1, 5}, {0, 5, 4},
                                       {2, 6, 7}, {2, 7, 3}, {0, 2, 3}, {0, 3, 1}, {4, 5, 7}, {4, 7, 6}};
        for (const auto& t : tri)
            for (int k : t) faces.push_back(base + k);
    }
};

// floorAt(x) is the groove floor height at local x; the plate is 4 thick
// below it and the side walls (z beyond +-12) rise 16 above it.
inline PieceMesh channelPiece(const std::function<float(float)>& floorAt) {
    PieceMesh m;
    auto x = [](int ix) { return ix ? 25.0f : -25.0f; };
    m.addHexahedron([&](int ix, int iy, int iz) {
        return std::array<float, 3>{x(ix), floorAt(x(ix)) + (iy ? 0.0f : -4.0f), iz ? 25.0f : -25.0f};
    });
    for (float z0 : {-25.0f, 12.0f})
        m.addHexahedron([&](int ix, int iy, int iz) {
            return std::array<float, 3>{x(ix), floorAt(x(ix)) + (iy ? 16.0f : 0.0f), iz ? z0 + 13.0f : z0};
        });
    return m;
}

inline PieceMesh flatPiece() {
    return channelPiece([](float) { return FLOOR_Y; });
}
// Descends 45 degrees along +x from FLOOR_Y + 50 at x = -25 to FLOOR_Y at 25.
inline PieceMesh slopePiece() {
    return channelPiece([](float x) { return FLOOR_Y + 25.0f - x; });
}

inline physics::MeshHandle registerMesh(physics::PhysicsWorld& world, const PieceMesh& m) {
    return world.createTriangleMesh(m.vertices.data(), m.vertexCount(), m.faces.data(), m.faceCount());
}

// Centre of the klotz at grid cell (row, column) and stack level k.
inline glm::vec3 levelCentre(int row, int column, int k) {
    return {row * 50.0f + 25.0f, k * 50.0f + 25.0f, -25.0f - column * 50.0f};
}

inline physics::ActorHandle place(physics::PhysicsWorld& world, physics::MeshHandle mesh, glm::vec3 at) {
    physics::ActorHandle a = physics::createKlotzActor(world, mesh);
    world.setGlobalPosition(a, at);
    return a;
}

inline physics::ActorHandle ballAt(physics::PhysicsWorld& world, glm::vec3 at, glm::vec3 velocity = glm::vec3(0.0f)) {
    physics::ActorHandle b = physics::createBallActor(world);
    world.setGlobalPosition(b, at);
    world.setAngularVelocity(b, glm::vec3(0.0f));
    world.setLinearVelocity(b, velocity);
    return b;
}

struct RollResult {
    float speedLossPercent = 0;  // at the far end against the starting speed
    float maxHop = 0;            // highest centre above the resting height
    float maxSink = 0;           // lowest centre below it
};

constexpr float REST_Y = 25.0f + FLOOR_Y + physics::BALL_RADIUS;  // ball centre on a level-0 piece

// A ball rolling (with the matching spin) at `speed` along `pieces` adjacent
// flat pieces in a row (rows 0.., column 5, level 0). With meshFirst a ray
// cast makes the world build its klotz mesh before the ball exists, as the
// program's pointer does between placing kloetze and starting a run.
inline RollResult rollAlongFlats(const PieceMesh& flat, int pieces, float speed, bool meshFirst = false) {
    physics::PhysicsWorld world;
    physics::MeshHandle mesh = registerMesh(world, flat);
    for (int i = 0; i < pieces; ++i) place(world, mesh, levelCentre(i, 5, 0));
    if (meshFirst) {
        physics::RayHit hit;
        world.raycastClosest(levelCentre(0, 5, 0) + glm::vec3(0, 40, 0), {0, -1, 0}, 100, &hit);
    }
    glm::vec3 start = levelCentre(0, 5, 0);
    start.x = 10.0f;
    start.y = REST_Y;
    physics::ActorHandle ball = ballAt(world, start, {speed, 0, 0});
    world.setAngularVelocity(ball, {0, 0, -speed / physics::BALL_RADIUS});
    RollResult r;
    const float endX = pieces * 50.0f - 20.0f;
    for (int step = 0; step < 2000; ++step) {
        world.simulate(0.01f);
        glm::vec3 p = world.getGlobalPosition(ball);
        r.maxHop = std::max(r.maxHop, p.y - REST_Y);
        r.maxSink = std::max(r.maxSink, REST_Y - p.y);
        if (p.x >= endX) break;
    }
    r.speedLossPercent = 100.0f * (speed - glm::length(world.getLinearVelocity(ball))) / speed;
    return r;
}

// Largest distance a ball wanders from where it settled on a flat piece,
// over `seconds` after one second of settling.
inline float restingDrift(const PieceMesh& flat, float seconds) {
    physics::PhysicsWorld world;
    glm::vec3 centre = levelCentre(4, 4, 0);
    place(world, registerMesh(world, flat), centre);
    physics::ActorHandle ball = ballAt(world, {centre.x + 3.0f, REST_Y + 1.0f, centre.z});
    world.simulate(1.0f);
    glm::vec3 settled = world.getGlobalPosition(ball);
    float drift = 0;
    for (int i = 0; i < seconds * 100; ++i) {
        world.simulate(0.01f);
        drift = std::max(drift, glm::length(world.getGlobalPosition(ball) - settled));
    }
    return drift;
}

// Distance from p to the nearest surface of `probe` in the x-y plane
// through p (rays every 7.5 degrees), or maxDistance.
inline float surfaceDistance(const physics::PhysicsWorld& probe, glm::vec3 p, float maxDistance) {
    float best = maxDistance;
    physics::RayHit hit;
    for (int k = 0; k < 48; ++k) {
        float a = glm::radians(7.5f * k);
        if (probe.raycastClosest(p, {std::cos(a), std::sin(a), 0.0f}, maxDistance, &hit))
            best = std::min(best, hit.distance);
    }
    return best;
}

// A ball released at rest near the top of the first of four slopes
// stepping down one level each (rows 1..4, levels 4..1), then rolling on
// flat pieces at level 1 (rows 5..8). The largest gap between ball and
// track, measured by ray casts in a twin world without the ball.
inline float slopeChainMaxGap(const PieceMesh& slope, const PieceMesh& flat) {
    physics::PhysicsWorld world, probe;
    for (physics::PhysicsWorld* w : {&world, &probe}) {
        physics::MeshHandle slopeMesh = registerMesh(*w, slope);
        physics::MeshHandle flatMesh = registerMesh(*w, flat);
        for (int i = 0; i < 4; ++i) place(*w, slopeMesh, levelCentre(1 + i, 5, 4 - i));
        for (int i = 0; i < 4; ++i) place(*w, flatMesh, levelCentre(5 + i, 5, 1));
    }
    const float z = levelCentre(0, 5, 0).z, r = physics::BALL_RADIUS;
    physics::RayHit ground;
    if (!probe.raycastClosest({58.0f, 400.0f, z}, {0, -1, 0}, 400.0f, &ground)) return 1e9f;
    physics::ActorHandle ball = ballAt(world, ground.point + ground.normal * (r + 0.01f));
    float gap = 0;
    for (int step = 0; step < 600; ++step) {
        world.simulate(0.01f);
        glm::vec3 p = world.getGlobalPosition(ball);
        gap = std::max(gap, surfaceDistance(probe, p, 100.0f) - r);
        if (p.x > 430.0f) break;
    }
    return gap;
}

// Balls shot at 400 units/s from random points in random directions, and
// dropped from 20 levels, over a field of pieces on 10 x 10 cells with a
// few stacked on top. A ball tunnelled when its centre crossed a surface
// between two steps (seen by a ray cast in a twin world without balls) or
// it left the box x 0..1000, z -1000..0, y >= 0.
inline int tunnellingCount(const PieceMesh& flat, int shots, int drops, unsigned seed) {
    physics::PhysicsWorld world;
    physics::PhysicsWorld probe;
    physics::MeshHandle mesh = registerMesh(world, flat);
    physics::MeshHandle probeMesh = registerMesh(probe, flat);
    const glm::quat quarter = glm::angleAxis(glm::radians(90.0f), glm::vec3(0, 1, 0));
    auto put = [&](int row, int column, int level) {
        for (auto [w, m] : {std::pair{&world, mesh}, std::pair{&probe, probeMesh}}) {
            physics::ActorHandle a = place(*w, m, levelCentre(row, column, level));
            if ((row + column) % 2) w->setGlobalOrientationQuat(a, quarter);
        }
    };
    for (int row = 0; row < 10; ++row)
        for (int column = 0; column < 10; ++column) put(row, column, 0);
    for (int i = 0; i < 10; ++i) put(i, (3 * i) % 10, 1);

    unsigned state = seed;
    auto uniform = [&](float lo, float hi) {
        state = state * 1664525u + 1013904223u;
        return lo + (hi - lo) * static_cast<float>(state >> 8) / 16777216.0f;
    };
    int tunnelled = 0;
    auto run = [&](std::vector<physics::ActorHandle>& balls, int steps) {
        std::vector<glm::vec3> last;
        std::vector<bool> bad(balls.size(), false);
        for (physics::ActorHandle b : balls) last.push_back(world.getGlobalPosition(b));
        for (int step = 0; step < steps; ++step) {
            world.simulate(0.01f);
            for (std::size_t i = 0; i < balls.size(); ++i) {
                glm::vec3 p = world.getGlobalPosition(balls[i]);
                glm::vec3 d = p - last[i];
                float len = glm::length(d);
                bool crossed = len > 1e-4f && probe.raycastClosest(last[i], d / len, len, nullptr);
                bool outside = p.x < 0 || p.x > 1000 || p.z > 0 || p.z < -1000 || p.y < 0;
                if ((crossed || outside) && !bad[i]) {
                    bad[i] = true;
                    ++tunnelled;
                }
                last[i] = p;
            }
        }
        for (physics::ActorHandle b : balls) world.releaseActor(b);
        balls.clear();
    };
    std::vector<physics::ActorHandle> balls;
    for (int i = 0; i < shots; ++i) {
        glm::vec3 from(uniform(20, 480), uniform(120, 400), uniform(-480, -20));
        glm::vec3 dir(uniform(-1, 1), uniform(-1, 0.2f), uniform(-1, 1));
        if (glm::length(dir) < 0.1f) dir = {0, -1, 0};
        balls.push_back(ballAt(world, from, glm::normalize(dir) * physics::SHOOT_SPEED));
        if (balls.size() == 50 || i + 1 == shots) run(balls, 150);
    }
    for (int i = 0; i < drops; ++i) {
        glm::vec3 from(uniform(10, 990), 20 * 50.0f + 25.0f + uniform(0, 20), uniform(-990, -10));
        balls.push_back(ballAt(world, from));
        if (balls.size() == 50 || i + 1 == drops) run(balls, 300);
    }
    return tunnelled;
}

}  // namespace trackgeometry
