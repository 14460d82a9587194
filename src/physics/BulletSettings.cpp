#include "physics/BulletSettings.h"

#include <cmath>

namespace physics {

void configureWorld(btDiscreteDynamicsWorld& world) {
    world.setGravity(btVector3(0, GRAVITY_Y, 0));
    btContactSolverInfo& info = world.getSolverInfo();
    info.m_splitImpulse = 1;  // penetration recovery adds no velocity: no hops
    info.m_numIterations = 10;
    // Static bounding boxes are set when statics change; recomputing them
    // every step re-inserted the merged mesh into the broad phase's moving
    // set and re-collided it with every ball.
    world.setForceUpdateAllAabbs(false);
}

std::unique_ptr<btRigidBody> makeBallBody(btSphereShape& shape, btScalar density) {
    const btScalar radius = shape.getRadius();
    const double volume = 4.0 / 3.0 * M_PI * double(radius) * radius * radius;
    const btScalar mass = static_cast<btScalar>(density * volume * DENSITY_TO_MASS);
    btVector3 inertia;
    shape.calculateLocalInertia(mass, inertia);
    btRigidBody::btRigidBodyConstructionInfo info(mass, nullptr, &shape, inertia);
    info.m_friction = BODY_FRICTION;
    info.m_restitution = RESTITUTION;
    info.m_rollingFriction = BALL_ROLLING_FRICTION;
    info.m_linearDamping = 0;
    info.m_angularDamping = btScalar(0.05);
    auto body = std::make_unique<btRigidBody>(info);
    // Continuous collision only for fast flights: beyond half a radius per
    // step the ball is swept.
    body->setCcdMotionThreshold(radius * btScalar(0.5));
    body->setCcdSweptSphereRadius(radius * btScalar(0.9));
    return body;
}

namespace {

// Half sizes of the slab that stands for a plane, world units.
constexpr btScalar PLANE_REACH = 100000;
constexpr btScalar PLANE_THICKNESS = 1000;

}  // namespace

std::unique_ptr<btCollisionShape> makePlaneShape() {
    return std::make_unique<btBoxShape>(btVector3(PLANE_REACH, PLANE_THICKNESS, PLANE_REACH));
}

btTransform planeColliderTransform(const btVector3& n, btScalar distance) {
    // Local y along the normal (det +1), the slab's top face on the plane.
    btVector3 u, v;
    btPlaneSpace1(n, u, v);
    btMatrix3x3 basis(v.x(), n.x(), u.x(), v.y(), n.y(), u.y(), v.z(), n.z(), u.z());
    return btTransform(basis, n * (distance - PLANE_THICKNESS));
}

std::unique_ptr<btRigidBody> makePlaneBody(btCollisionShape& shape) {
    auto body = std::make_unique<btRigidBody>(0, nullptr, &shape);
    body->setFriction(BODY_FRICTION);
    body->setRestitution(RESTITUTION);
    return body;
}

void addPlaneBody(btDiscreteDynamicsWorld& world, btRigidBody& body) {
    world.addRigidBody(&body, PLANE_GROUP,
                       btBroadphaseProxy::AllFilter ^ (btBroadphaseProxy::StaticFilter | PLANE_GROUP));
}

void addStaticObject(btDiscreteDynamicsWorld& world, btCollisionObject& object) {
    object.setFriction(BODY_FRICTION);
    object.setRestitution(RESTITUTION);
    object.setCollisionFlags(object.getCollisionFlags() | btCollisionObject::CF_STATIC_OBJECT);
    // Not active: the world then leaves its bounding box alone.
    object.setActivationState(ISLAND_SLEEPING);
    world.addCollisionObject(&object, btBroadphaseProxy::StaticFilter,
                             btBroadphaseProxy::AllFilter ^ btBroadphaseProxy::StaticFilter);
}

}  // namespace physics
