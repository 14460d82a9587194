#include "physics/SphereContact.h"

#include <new>

#include <BulletCollision/BroadphaseCollision/btDispatcher.h>
#include <BulletCollision/CollisionDispatch/btCollisionObjectWrapper.h>
#include <BulletCollision/CollisionDispatch/btManifoldResult.h>
#include <BulletCollision/CollisionShapes/btSphereShape.h>
#include <BulletCollision/NarrowPhaseCollision/btPersistentManifold.h>

namespace physics {

SphereContact::SphereContact(const btCollisionAlgorithmConstructionInfo& info, const btCollisionObjectWrapper* a,
                             const btCollisionObjectWrapper* b)
    : btActivatingCollisionAlgorithm(info, a, b),
      manifold_(m_dispatcher->getNewManifold(a->getCollisionObject(), b->getCollisionObject())) {}

SphereContact::~SphereContact() { m_dispatcher->releaseManifold(manifold_); }

void SphereContact::processCollision(const btCollisionObjectWrapper* a, const btCollisionObjectWrapper* b,
                                     const btDispatcherInfo&, btManifoldResult* result) {
    result->setPersistentManifold(manifold_);
    const btVector3 centreA = a->getWorldTransform().getOrigin();
    const btVector3 centreB = b->getWorldTransform().getOrigin();
    const btScalar radiusA = static_cast<const btSphereShape*>(a->getCollisionShape())->getRadius();
    const btScalar radiusB = static_cast<const btSphereShape*>(b->getCollisionShape())->getRadius();
    const btVector3 diff = centreA - centreB;
    const btScalar length = diff.length();
    const btScalar gap = length - (radiusA + radiusB);
    if (gap < manifold_->getContactBreakingThreshold()) {
        const btVector3 normalOnB = length > SIMD_EPSILON ? diff / length : btVector3(1, 0, 0);
        result->addContactPoint(normalOnB, centreB + normalOnB * radiusB, gap);
    }
    result->refreshContactPoints();
}

void SphereContact::getAllContactManifolds(btManifoldArray& manifolds) { manifolds.push_back(manifold_); }

btCollisionAlgorithm* SphereContact::CreateFunc::CreateCollisionAlgorithm(btCollisionAlgorithmConstructionInfo& info,
                                                                           const btCollisionObjectWrapper* a,
                                                                           const btCollisionObjectWrapper* b) {
    void* memory = info.m_dispatcher1->allocateCollisionAlgorithm(sizeof(SphereContact));
    return new (memory) SphereContact(info, a, b);
}

}  // namespace physics
