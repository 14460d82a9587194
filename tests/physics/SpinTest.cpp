// A ball spinning about the vertical on a floor slows to a stop within a
// few seconds, as a real ball does; rolling along a track is not slowed.
#include <gtest/gtest.h>

#include "physics/TrackGeometry.h"

namespace {

using namespace physics;
using namespace trackgeometry;

// Seconds until a ball spinning at `spin` rad/s about the vertical, at rest
// at `at`, turns slower than 0.5 rad/s; 60 when it never does within that.
float secondsToStop(PhysicsWorld& world, glm::vec3 at, float spin) {
    ActorHandle ball = ballAt(world, at);
    world.setAngularVelocity(ball, {0, spin, 0});
    for (int step = 1; step <= 6000; ++step) {
        world.simulate(0.01f);
        if (glm::length(world.getAngularVelocity(ball)) < 0.5f) return step * 0.01f;
    }
    return 60.0f;
}

TEST(Spin, SpinAboutTheVerticalStopsWithinSeconds) {
    for (float spin : {80.0f, 150.0f, MAX_BALL_SPIN}) {
        PhysicsWorld ground;
        const float onGround = secondsToStop(ground, {500, BALL_RADIUS, -500}, spin);
        PhysicsWorld track;
        place(track, registerMesh(track, flatPiece()), levelCentre(5, 5, 0));
        glm::vec3 onPiece = levelCentre(5, 5, 0);
        onPiece.y = REST_Y;
        const float onTrack = secondsToStop(track, onPiece, spin);
        EXPECT_LT(onGround, spin < 100 ? 2.0f : 6.0f) << spin << " rad/s on the ground";
        EXPECT_LT(onTrack, spin < 100 ? 2.0f : 6.0f) << spin << " rad/s on a flat piece";
    }
}

}  // namespace
