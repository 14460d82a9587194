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
    float speedLossPercent = 0;  // over the run, after the start-up settling
    float maxHop = 0;            // highest centre above the resting height
};

// A ball rolling at `speed` along `pieces` adjacent flat pieces in a row
// (row 0..pieces-1, column 5, level 0) with the right spin for rolling.
// The speed at the far end is compared with the starting speed.
inline RollResult rollAlongFlats(physics::MeshHandle flat, int pieces, float speed, physics::PhysicsWorld& world,
                                 float floorY = FLOOR_Y) {
    for (int i = 0; i < pieces; ++i) place(world, flat, levelCentre(i, 5, 0));
    const float restY = 25.0f + floorY + physics::BALL_RADIUS;
    glm::vec3 start = levelCentre(0, 5, 0);
    start.x = 10.0f;
    start.y = restY;
    physics::ActorHandle ball = ballAt(world, start, {speed, 0, 0});
    world.setAngularVelocity(ball, {0, 0, -speed / physics::BALL_RADIUS});
    RollResult r;
    const float endX = pieces * 50.0f - 20.0f;
    for (int step = 0; step < 2000; ++step) {
        world.simulate(0.01f);
        glm::vec3 p = world.getGlobalPosition(ball);
        r.maxHop = std::max(r.maxHop, p.y - restY);
        if (p.x >= endX) break;
    }
    float endSpeed = glm::length(world.getLinearVelocity(ball));
    r.speedLossPercent = 100.0f * (speed - endSpeed) / speed;
    return r;
}

}  // namespace trackgeometry
