// A ball spinning in place about its contact normal stops within a few
// seconds, as a real ball does, on the ground plane and on a klotz, also
// after a run restarts; the friction that stops it leaves the ball where it
// is. A ball rolls out of a sloping corner; rolling along a track is left
// alone (RollingTest).
#include <array>

#include <gtest/gtest.h>

#include "physics/Actors.h"
#include "physics/TrackGeometry.h"

namespace {

using namespace physics;
using namespace trackgeometry;

constexpr float STOPPED = 1.0f;       // rad/s
constexpr float WITHIN = 5.0f;        // s
constexpr float NEVER = 2 * WITHIN;   // s, where spinInPlace gives up

struct Spun {
    float seconds = NEVER;  // until it turned slower than STOPPED
    float moved = 0;        // from where it was spun
};

// A ball at rest at `at`, spun at `spin` rad/s about the vertical; with
// `restart` the run restarts just after (a fresh Bullet world).
Spun spinInPlace(PhysicsWorld& world, glm::vec3 at, float spin, bool restart = false) {
    ActorHandle ball = ballAt(world, at);
    world.simulate(0.2f);  // settles onto its floor
    const glm::vec3 from = world.getGlobalPosition(ball);
    world.setAngularVelocity(ball, {0, spin, 0});
    if (restart) world.restartRun({ball});
    Spun s;
    for (int step = 1; step * 0.01f <= NEVER; ++step) {
        world.simulate(0.01f);
        if (glm::length(world.getAngularVelocity(ball)) < STOPPED) {
            s.seconds = step * 0.01f;
            break;
        }
    }
    s.moved = glm::length(world.getGlobalPosition(ball) - from);
    return s;
}

TEST(Spin, SpinAboutTheContactNormalStopsWithinSeconds) {
    for (bool restart : {false, true}) {
        PhysicsWorld ground;
        const Spun onGround = spinInPlace(ground, {500, BALL_RADIUS, -500}, 80.0f, restart);
        PhysicsWorld track;
        place(track, registerMesh(track, flatPiece()), levelCentre(5, 5, 0));
        glm::vec3 onPiece = levelCentre(5, 5, 0);
        onPiece.y = REST_Y;
        const Spun onTrack = spinInPlace(track, onPiece, 80.0f, restart);
        EXPECT_LT(onGround.seconds, WITHIN) << "on the ground, restart " << restart;
        EXPECT_LT(onTrack.seconds, WITHIN) << "on a flat piece, restart " << restart;
        // Nor does it stop at once: it slows as a ball does.
        EXPECT_GT(onGround.seconds, 0.5f) << restart;
        EXPECT_LT(onGround.moved, 0.1f) << restart;
        EXPECT_LT(onTrack.moved, 0.1f) << restart;
    }
}

// A floor falling 0.2 toward a wall along +z and 0.15 along +x, like a
// catcher's: a ball let go in the corner rolls along the wall. Rolling out
// of a corner turns the ball about both normals; resisting that as
// spinning in place held it there.
TEST(Spin, BallRollsAlongTheWallOutOfASlopingCorner) {
    PhysicsWorld world;
    PieceMesh corner;
    auto floorAt = [](float x, float z) { return -0.15f * x - 0.2f * z; };
    corner.addHexahedron([&](int ix, int iy, int iz) {
        const float x = ix ? 50.0f : -50.0f, z = iz ? 25.0f : -30.0f;
        return std::array<float, 3>{x, floorAt(x, z) - (iy ? 0.0f : 4.0f), z};
    });
    corner.addHexahedron([&](int ix, int iy, int iz) {
        return std::array<float, 3>{ix ? 50.0f : -50.0f, iy ? 30.0f : -30.0f, iz ? 25.0f : 20.0f};
    });
    const glm::vec3 at{500, 100, -500};
    place(world, registerMesh(world, corner), at);
    const ActorHandle ball = ballAt(world, at + glm::vec3(-30, floorAt(-30, 12) + BALL_RADIUS + 1, 12));
    world.simulate(2.0f);
    const glm::vec3 p = world.getGlobalPosition(ball) - at;
    EXPECT_GT(p.x, 0.0f) << "stayed in the corner";
    EXPECT_NEAR(p.z, 20 - BALL_RADIUS, 0.5f) << "left the wall";
}

// A spinning ball falling freely keeps its spin: the friction is the
// contact's.
TEST(Spin, FreeBallKeepsItsSpin) {
    PhysicsWorld world;
    ActorHandle ball = ballAt(world, {500, 900, -500});
    world.setAngularVelocity(ball, {0, 80.0f, 0});
    world.simulate(1.0f);
    EXPECT_GT(world.getAngularVelocity(ball).y, 70.0f);
}

}  // namespace
