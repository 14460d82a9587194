// Private to physics/: contacts between two balls. Bullet's own sphere
// pair makes a contact only while the spheres overlap, so a ball resting on
// others loses its support the moment the solver has pushed it clear,
// falls for a step, lands again and keeps a pile jittering for ever. This
// one keeps the contact while the gap is within the manifold's breaking
// threshold; the solver then lets the ball close the gap and no further.
#pragma once

#include <BulletCollision/CollisionDispatch/btActivatingCollisionAlgorithm.h>
#include <BulletCollision/CollisionDispatch/btCollisionCreateFunc.h>

class btPersistentManifold;

namespace physics {

class SphereContact : public btActivatingCollisionAlgorithm {
public:
    SphereContact(const btCollisionAlgorithmConstructionInfo& info, const btCollisionObjectWrapper* a,
                  const btCollisionObjectWrapper* b);
    ~SphereContact() override;

    void processCollision(const btCollisionObjectWrapper* a, const btCollisionObjectWrapper* b,
                          const btDispatcherInfo& dispatchInfo, btManifoldResult* result) override;
    btScalar calculateTimeOfImpact(btCollisionObject*, btCollisionObject*, const btDispatcherInfo&,
                                   btManifoldResult*) override {
        return 1;
    }
    void getAllContactManifolds(btManifoldArray& manifolds) override;

    // Registered with the dispatcher for sphere pairs; must outlive it.
    struct CreateFunc : btCollisionAlgorithmCreateFunc {
        btCollisionAlgorithm* CreateCollisionAlgorithm(btCollisionAlgorithmConstructionInfo& info,
                                                       const btCollisionObjectWrapper* a,
                                                       const btCollisionObjectWrapper* b) override;
    };

private:
    btPersistentManifold* manifold_;
};

}  // namespace physics
