// Private to physics/: what the contact reports keep per ball between two
// steps, gathered from Bullet's contact manifolds (ContactReports.cpp).
#pragma once

#include <vector>

#include <btBulletCollisionCommon.h>

#include "physics/Physics.h"

namespace physics {

// One contact of a ball in one step; points of a manifold that lie on the
// same surface (the same other actor and nearly the same normal) are one.
struct SeenContact {
    ActorHandle other = NO_ACTOR;
    ContactKind kind = ContactKind::KLOTZ;
    btVector3 normal{0, 0, 0};    // unit, from the other toward the ball
    btVector3 position{0, 0, 0};  // on the other's surface
    btScalar distance = 0;        // negative while they overlap
    int impact = -1;              // index into the call's impacts, or -1
};

struct BallContacts {
    btVector3 velocityBefore{0, 0, 0};  // linear, at the start of the step
    std::vector<SeenContact> before;    // the step before
    std::vector<SeenContact> now;       // this step

    // Room for what a ball in a pile touches, so that steps do not allocate.
    void makeRoom() {
        before.reserve(8);
        now.reserve(8);
    }
    // Forgets everything, keeping the room.
    void clear() {
        velocityBefore.setZero();
        before.clear();
        now.clear();
    }
};

}  // namespace physics
