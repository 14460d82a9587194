#include "physics/RayCast.h"

#include <algorithm>
#include <cmath>

namespace physics {

namespace {

// Cells of 25 x 25 units in x and z over the build area x 0..1000,
// z -1000..0; height is not divided (balls rarely stack high).
constexpr btScalar CELL = 25;
constexpr int CELLS = 40;

int clampCell(btScalar c) {
    if (!(c >= 0)) return 0;  // also NaN
    return c >= CELLS - 1 ? CELLS - 1 : static_cast<int>(c);
}

}  // namespace

void castPlanes(const std::vector<RayPlane>& planes, const btVector3& from, const btVector3& to, ClosestHit& hit) {
    for (const RayPlane& plane : planes) {
        const btScalar start = plane.normal.dot(from) - plane.distance;
        const btScalar end = plane.normal.dot(to) - plane.distance;
        if (start < 0 || end >= 0) continue;
        const btScalar f = start / (start - end);
        if (f < hit.fraction) {
            hit.fraction = f;
            hit.normal = plane.normal;
        }
    }
}

int BallGrid::cellOf(btScalar x, btScalar z) { return clampCell(x / CELL) * CELLS + clampCell(-z / CELL); }

void BallGrid::cellRange(btScalar lo, btScalar hi, int& first, int& last) {
    first = clampCell(lo / CELL);
    last = clampCell(hi / CELL);
}

void BallGrid::clear() {
    added_.clear();
    maxRadius_ = 0;
}

void BallGrid::add(const btVector3& centre, btScalar radius) {
    added_.push_back({float(centre.x()), float(centre.y()), float(centre.z()), float(radius)});
    maxRadius_ = std::max(maxRadius_, radius);
}

void BallGrid::finish() {
    cellStart_.assign(CELLS * CELLS + 1, 0);
    cellOfAdded_.resize(added_.size());
    for (std::size_t i = 0; i < added_.size(); ++i) {
        cellOfAdded_[i] = cellOf(added_[i].x, added_[i].z);
        ++cellStart_[cellOfAdded_[i] + 1];
    }
    for (int c = 0; c < CELLS * CELLS; ++c) cellStart_[c + 1] += cellStart_[c];
    sorted_.resize(added_.size());
    fill_.assign(cellStart_.begin(), cellStart_.end() - 1);
    for (std::size_t i = 0; i < added_.size(); ++i) sorted_[fill_[cellOfAdded_[i]]++] = added_[i];
}

void BallGrid::cast(const btVector3& from, const btVector3& to, ClosestHit& hit) const {
    if (sorted_.empty()) return;
    const btVector3 d = to - from;
    const btScalar a = d.length2();
    if (!(a > 0)) return;
    // Only up to the closest hit so far; widened by the largest radius.
    const btVector3 end = from + d * hit.fraction;
    int x0, x1, z0, z1;
    cellRange(std::min(from.x(), end.x()) - maxRadius_, std::max(from.x(), end.x()) + maxRadius_, x0, x1);
    cellRange(-std::max(from.z(), end.z()) - maxRadius_, -std::min(from.z(), end.z()) + maxRadius_, z0, z1);
    for (int x = x0; x <= x1; ++x) {
        const int row = x * CELLS;
        for (int i = cellStart_[row + z0], last = cellStart_[row + z1 + 1]; i < last; ++i) {
            const Ball& ball = sorted_[i];
            const btVector3 f = from - btVector3(ball.x, ball.y, ball.z);
            const btScalar b = f.dot(d), c = f.length2() - ball.radius * ball.radius;
            const btScalar disc = b * b - a * c;
            if (c < 0 || disc < 0) continue;
            const btScalar t = (-b - btSqrt(disc)) / a;
            if (t < 0 || t >= hit.fraction) continue;
            hit.fraction = t;
            hit.normal = (f + d * t) / ball.radius;
        }
    }
}

}  // namespace physics
