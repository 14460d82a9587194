#include "physics/BulletSettings.h"

#include <algorithm>
#include <cmath>

namespace physics {

namespace {

// Bullet multiplies the restitutions of a contact; balls have none, so a
// bouncy part needs the larger of the two instead. Everything else has
// none either, so no other contact changes.
btScalar largerRestitution(const btCollisionObject* a, const btCollisionObject* b) {
    return std::max(a->getRestitution(), b->getRestitution());
}

}  // namespace

void configureWorld(btDiscreteDynamicsWorld& world) {
    // Bullet's one global hook for it.
    gCalculateCombinedRestitutionCallback = largerRestitution;
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
    info.m_spinningFriction = BALL_SPINNING_FRICTION;
    info.m_linearDamping = 0;
    info.m_angularDamping = btScalar(0.05);
    info.m_linearSleepingThreshold = BALL_SLEEP_SPEED;
    info.m_angularSleepingThreshold = BALL_SLEEP_SPIN;
    auto body = std::make_unique<btRigidBody>(info);
    // A sphere's inertia is the same about every axis: no gyroscopic
    // torque to work out each step.
    body->setFlags(body->getFlags() & ~BT_ENABLE_GYROSCOPIC_FORCE_IMPLICIT_BODY);
    // Continuous collision only for fast flights: beyond half a radius per
    // step the ball is swept.
    body->setCcdMotionThreshold(radius * btScalar(0.5));
    body->setCcdSweptSphereRadius(radius * btScalar(0.9));
    return body;
}

namespace {

// How far (world units) the box of a half-space reaches past its plane
// into the free side: a ball's pair with the plane exists from this gap on.
constexpr btScalar HALF_SPACE_MARGIN = 1;
constexpr btScalar AXIS_COS = btScalar(1 - 1e-6);

}  // namespace

void HalfSpaceShape::place(const btVector3& normal, btScalar distance) {
    m_planeNormal = normal;
    m_planeConstant = distance;
}

void HalfSpaceShape::getAabb(const btTransform& t, btVector3& aabbMin, btVector3& aabbMax) const {
    btStaticPlaneShape::getAabb(t, aabbMin, aabbMax);
    const btVector3 n = t.getBasis() * m_planeNormal;
    const btScalar d = m_planeConstant + n.dot(t.getOrigin());
    for (int k = 0; k < 3; ++k) {
        if (n[k] > AXIS_COS) aabbMax[k] = d + HALF_SPACE_MARGIN;    // solid where p[k] < d
        if (n[k] < -AXIS_COS) aabbMin[k] = -d - HALF_SPACE_MARGIN;  // solid where p[k] > -d
    }
}

std::unique_ptr<btRigidBody> makePlaneBody(HalfSpaceShape& shape) {
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
