#include "physics/Actors.h"

namespace physics {

ActorHandle createKlotzActor(PhysicsWorld& world, MeshHandle typeMesh) { return world.createMeshActor(typeMesh); }

ActorHandle createBallActor(PhysicsWorld& world) {
    ActorHandle ball = world.createSphereActor(BALL_RADIUS, BALL_DENSITY);
    world.setAngularDamping(ball, 0.0f);
    world.setMaxAngularVelocity(ball, MAX_BALL_SPIN);
    return ball;
}

std::array<float, 16> poseToMatrix(const Pose& pose) {
    std::array<float, 16> m{};
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) m[4 * j + i] = pose.rotation[3 * i + j];
    m[12] = pose.translation.x;
    m[13] = pose.translation.y;
    m[14] = pose.translation.z;
    m[15] = 1.0f;
    return m;
}

Pose matrixToPose(const std::array<float, 16>& m) {
    Pose pose;
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) pose.rotation[3 * i + j] = m[4 * j + i];
    pose.translation = {m[12], m[13], m[14]};
    return pose;
}

}  // namespace physics
