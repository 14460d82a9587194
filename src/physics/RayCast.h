// Private to physics/: the pieces of the world's closest-hit ray cast. The
// particle system casts thousands of short rays a frame, so each kind of
// shape is met by the cheapest exact test: the merged klotz mesh through
// its own bounding-volume tree, the balls through a grid of their centres
// and their sphere equation, the planes by their equation.
#pragma once

#include <vector>

#include <btBulletCollisionCommon.h>

namespace physics {

// The closest hit found so far along from -> to: the fraction of the
// segment (1 while nothing is hit; only closer hits count) and the world
// normal there.
struct ClosestHit {
    btScalar fraction = 1;
    btVector3 normal{0, 0, 0};
};

// A boundary plane for ray casts: normal . p = distance, solid behind.
struct RayPlane {
    btVector3 normal;
    btScalar distance;
};

// Lowers hit to the first plane the segment goes into from the free side
// (or from on the plane); a ray starting behind a plane does not hit it.
void castPlanes(const std::vector<RayPlane>& planes, const btVector3& from, const btVector3& to, ClosestHit& hit);

// Ball centres bucketed by a grid over the build area (balls outside it in
// the border cells), rebuilt when a ray is cast after the balls moved.
class BallGrid {
public:
    void clear();
    void add(const btVector3& centre, btScalar radius);
    // Sorts the added balls into their cells.
    void finish();

    // Lowers hit to the closest ball surface the segment enters; a ray
    // starting inside a ball does not hit that ball.
    void cast(const btVector3& from, const btVector3& to, ClosestHit& hit) const;

private:
    struct Ball {  // packed: the cast walks these
        float x, y, z, radius;
    };
    static int cellOf(btScalar x, btScalar z);
    static void cellRange(btScalar lo, btScalar hi, int& first, int& last);

    std::vector<Ball> added_;
    std::vector<int> cellOfAdded_;
    std::vector<Ball> sorted_;      // by cell
    std::vector<int> cellStart_;    // into sorted_, one more than cells
    std::vector<int> fill_;         // scratch of finish, kept: it runs every step the particles look
    btScalar maxRadius_ = 0;
};

}  // namespace physics
