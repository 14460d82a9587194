// A field of balls on one static mesh inside the five boundary planes,
// stepped by plain Bullet with the physics module's settings and shapes:
// what our physics layer costs on top of Bullet.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include <glm/glm.hpp>

namespace benchbaseline {

struct Ball {
    glm::vec3 at{0.0f};
    glm::vec3 velocity{0.0f};
    glm::vec3 spin{0.0f};
};

class BulletBaseline {
public:
    // vertices: 3 floats each; faces: 3 indices each.
    BulletBaseline(const std::vector<float>& vertices, const std::vector<std::int32_t>& faces,
                   const std::vector<Ball>& balls);
    ~BulletBaseline();
    // One 0.01 s step.
    void step();

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace benchbaseline
