// A closed 50-unit cube, the klotz frame's box -25..25, for runs that need a
// klotz without the shipped set.
#pragma once

#include <cstdint>

#include "physics/Physics.h"

namespace apptest {

inline physics::MeshHandle cubeMesh(physics::PhysicsWorld& world) {
    static const float v[] = {-25, -25, -25, 25, -25, -25, 25, 25, -25, -25, 25, -25,
                              -25, -25, 25,  25, -25, 25,  25, 25, 25,  -25, 25, 25};
    static const std::int32_t f[] = {0, 2, 1, 0, 3, 2, 4, 5, 6, 4, 6, 7, 0, 1, 5, 0, 5, 4,
                                     3, 6, 2, 3, 7, 6, 0, 4, 7, 0, 7, 3, 1, 2, 6, 1, 6, 5};
    return world.createTriangleMesh(v, 8, f, 12);
}

}  // namespace apptest
