// Private to physics/: the Bullet objects behind PhysicsWorld.
#pragma once

#include <limits>
#include <memory>
#include <vector>

#include <btBulletDynamicsCommon.h>

#include "physics/ErrorReporter.h"
#include "physics/Physics.h"
#include "physics/StaticGeometry.h"

namespace physics {

// A registered triangle mesh, copied in; indices checked against vertices.
struct MeshData {
    std::vector<float> vertices;
    std::vector<std::int32_t> faces;
};

enum class ActorKind { PLANE, KLOTZ, BALL };

struct ActorRecord {
    ActorKind kind = ActorKind::PLANE;
    bool alive = false;
    MeshHandle mesh = NO_MESH;  // klotz only
    btTransform klotzPose = btTransform::getIdentity();  // klotz only: it lives in the merged mesh
    btVector3 planeNormal{0, 1, 0};  // plane only: normal . p = planeDistance
    btScalar planeDistance = 0;
    float maxSpin = std::numeric_limits<float>::infinity();  // ball only, rad/s
    std::unique_ptr<btCollisionShape> shape;  // plane, ball
    std::unique_ptr<btRigidBody> body;        // plane, ball
};

}  // namespace physics
