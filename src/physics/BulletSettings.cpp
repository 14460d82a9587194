#include "physics/BulletSettings.h"

#include <cmath>

namespace physics {

namespace {

btRigidBody* movingBall(const btCollisionObject* object) {
    btRigidBody* body = btRigidBody::upcast(const_cast<btCollisionObject*>(object));
    return body != nullptr && !body->isStaticOrKinematicObject() && body->isActive() &&
                   body->getCollisionShape()->getShapeType() == SPHERE_SHAPE_PROXYTYPE
               ? body
               : nullptr;
}

btScalar radiusOf(const btRigidBody& ball) {
    return static_cast<const btSphereShape*>(ball.getCollisionShape())->getRadius();
}

// After each step: every contact that carried a load takes the spin about
// its normal off its ball, or the spin of two balls about their common
// normal off the pair, by up to SPIN_FRICTION_LEVER times its normal
// impulse. A ball rolling along a wall turns about an axis tilted toward
// both normals; in a corner up to 90 degrees that spin about a normal is at
// most the ball's speed along the surface over its radius, and that much is
// rolling and is left alone. So is all spin about other axes.
void spinFriction(btDynamicsWorld* world, btScalar) {
    btDispatcher* dispatcher = world->getDispatcher();
    for (int i = 0; i < dispatcher->getNumManifolds(); ++i) {
        const btPersistentManifold* manifold = dispatcher->getManifoldByIndexInternal(i);
        btRigidBody* a = movingBall(manifold->getBody0());
        btRigidBody* b = movingBall(manifold->getBody1());
        if (!a && !b) continue;
        for (int k = 0; k < manifold->getNumContacts(); ++k) {
            const btManifoldPoint& p = manifold->getContactPoint(k);
            if (p.m_appliedImpulse <= 0) continue;
            const btVector3& n = p.m_normalWorldOnB;
            btScalar spin = 0, resistance = 0;  // (A's - B's) spin about n; 1 / inertia about it
            btVector3 velocity(0, 0, 0);        // A's relative to B's
            btScalar radius = BT_LARGE_FLOAT;
            if (a) {
                spin += a->getAngularVelocity().dot(n);
                resistance += n.dot(a->getInvInertiaTensorWorld() * n);
                velocity += a->getLinearVelocity();
                radius = radiusOf(*a);
            }
            if (b) {
                spin -= b->getAngularVelocity().dot(n);
                resistance += n.dot(b->getInvInertiaTensorWorld() * n);
                velocity -= b->getLinearVelocity();
                radius = btMin(radius, radiusOf(*b));
            }
            const btScalar rolling = (velocity - n * velocity.dot(n)).length() / radius;
            const btScalar excess = btFabs(spin) - rolling;
            if (excess <= 0 || resistance <= 0) continue;
            const btScalar most = SPIN_FRICTION_LEVER * p.m_appliedImpulse;
            const btScalar impulse = btMin(most, excess / resistance) * (spin > 0 ? 1 : -1);
            if (a) a->setAngularVelocity(a->getAngularVelocity() - a->getInvInertiaTensorWorld() * n * impulse);
            if (b) b->setAngularVelocity(b->getAngularVelocity() + b->getInvInertiaTensorWorld() * n * impulse);
        }
    }
}

}  // namespace

void configureWorld(btDiscreteDynamicsWorld& world) {
    world.setInternalTickCallback(&spinFriction, nullptr, false);
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
