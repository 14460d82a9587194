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

btRigidBody* ballOf(const btCollisionObject* object) {
    btRigidBody* body = btRigidBody::upcast(const_cast<btCollisionObject*>(object));
    return body != nullptr && !body->isStaticOrKinematicObject() &&
                   body->getCollisionShape()->getShapeType() == SPHERE_SHAPE_PROXYTYPE
               ? body
               : nullptr;
}

// After each step, each loaded contact of a ball with the track or a plane
// takes the ball's spin about the contact normal beyond SPIN_OVER_ROLLING
// times its rolling, by up to SPIN_FRICTION_LEVER times the contact's
// normal impulse. Spin about other axes is not touched.
void spinFriction(btDynamicsWorld* world, btScalar) {
    btDispatcher* dispatcher = world->getDispatcher();
    for (int i = 0; i < dispatcher->getNumManifolds(); ++i) {
        const btPersistentManifold* manifold = dispatcher->getManifoldByIndexInternal(i);
        btRigidBody* ball = ballOf(manifold->getBody0());
        btRigidBody* other = ballOf(manifold->getBody1());
        // Between balls Bullet's own spinning friction lets piles settle.
        if ((ball == nullptr) == (other == nullptr)) continue;
        if (ball == nullptr) ball = other;
        if (!ball->isActive()) continue;
        const btScalar radius = static_cast<const btSphereShape*>(ball->getCollisionShape())->getRadius();
        for (int k = 0; k < manifold->getNumContacts(); ++k) {
            const btManifoldPoint& p = manifold->getContactPoint(k);
            if (p.m_appliedImpulse <= 0) continue;
            const btVector3& n = p.m_normalWorldOnB;  // either way round: spin about it
            const btVector3& w = ball->getAngularVelocity();
            const btVector3& v = ball->getLinearVelocity();
            const btScalar spin = w.dot(n);
            const btScalar rolling = btMax((v - n * v.dot(n)).length() / radius, (w - n * spin).length());
            const btScalar excess = btFabs(spin) - SPIN_OVER_ROLLING * rolling;
            if (excess <= 0) continue;
            const btVector3 turn = ball->getInvInertiaTensorWorld() * n;  // per unit torque impulse about n
            const btScalar impulse = btMin(SPIN_FRICTION_LEVER * p.m_appliedImpulse, excess / n.dot(turn));
            ball->setAngularVelocity(w - turn * (spin > 0 ? impulse : -impulse));
        }
    }
}

}  // namespace

void configureWorld(btDiscreteDynamicsWorld& world) {
    // Bullet's one global hook for it.
    gCalculateCombinedRestitutionCallback = largerRestitution;
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
