#include "physics/MeshContacts.h"

#include <algorithm>
#include <numeric>

#include <LinearMath/btQuaternion.h>


namespace physics {

namespace {

// The normals of one flat surface (0.57 degrees, as the seam correction's).
constexpr btScalar FLAT_SURFACE_COS = btScalar(0.99995);

}  // namespace

std::vector<int> nearestPerSurface(const std::vector<MeshContact>& contacts) {
    std::vector<int> order(contacts.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(),
                     [&](int a, int b) { return contacts[a].distance < contacts[b].distance; });
    std::vector<int> kept;
    for (int c : order) {
        const bool covered = std::any_of(kept.begin(), kept.end(), [&](int k) {
            return contacts[k].normal.dot(contacts[c].normal) > ONE_SURFACE_COS ||
                   contacts[k].normal.dot(contacts[c].surface) > FLAT_SURFACE_COS;
        });
        if (!covered) kept.push_back(c);
    }
    return kept;
}

bool keepGrazingSpeed(const MeshContact& contact, const btVector3& previous, btScalar step, const btVector3& gravity,
                      btVector3& velocity) {
    const btVector3& n = contact.normal;
    const btVector3 start = velocity + gravity * step;  // what the solver starts from
    const btScalar approach = -velocity.dot(n);
    const btScalar solverApproach = -start.dot(n);
    const btScalar allowed = std::max(contact.distance, btScalar(0)) / step;  // closes the gap
    const btScalar turn = velocity.dot(previous) + approach;  // the approach the turn of the normal makes
    const btScalar lost = std::min({approach, solverApproach, turn});
    if (lost <= allowed) return false;
    const btVector3 along = start + n * solverApproach;
    const btScalar alongSpeed = along.length();
    if (approach > GRAZING_RATIO * (velocity + n * approach).length() || alongSpeed < SIMD_EPSILON) return false;
    const btScalar scale = btSqrt(alongSpeed * alongSpeed + lost * lost - allowed * allowed) / alongSpeed;
    velocity += along * (scale - 1);
    return true;
}

btVector3 turnedSpin(const btVector3& previous, const btVector3& normal, const btVector3& spin) {
    return quatRotate(shortestArcQuat(previous, normal), spin);
}

}  // namespace physics
