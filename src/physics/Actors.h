// Recipes for the actors of the scene: kloetze are static triangle meshes,
// balls dynamic steel spheres; and the conversion between an actor's pose
// and the column-major render matrix.
#pragma once

#include <array>

#include "physics/Physics.h"

namespace physics {

constexpr float BALL_RADIUS = 8.0f;        // world units
constexpr float BALL_DENSITY = 7600.0f;    // steel; see createSphereActor for the mass unit
constexpr float MAX_BALL_SPIN = 10000.0f;  // radians per second
constexpr float SHOOT_SPEED = 400.0f;      // world units per second

// Static actor at the identity pose colliding with the type's triangles.
ActorHandle createKlotzActor(PhysicsWorld& world, MeshHandle typeMesh);

// Dynamic ball at the origin, at rest, no angular damping.
ActorHandle createBallActor(PhysicsWorld& world);

// m[4j + i] = R[i][j]; m[12..14] = t; m[3] = m[7] = m[11] = 0; m[15] = 1.
std::array<float, 16> poseToMatrix(const Pose& pose);
// The reverse: rotation from the upper-left 3 x 3 block, translation from
// elements 12..14; elements 3, 7, 11 and 15 are not used.
Pose matrixToPose(const std::array<float, 16>& m);

}  // namespace physics
