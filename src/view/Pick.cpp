#include "view/Pick.h"

#include <cmath>
#include <cstdlib>
#include <limits>

namespace view {

Ray pointerRay(const Camera& camera, int x, int y, int width, int height) {
    const float w = static_cast<float>(width > 0 ? width : 1);
    const float h = static_cast<float>(height > 0 ? height : 1);
    // Normalised device coordinates of the pixel's centre, y up.
    const float nx = 2.0f * (static_cast<float>(x) + 0.5f) / w - 1.0f;
    const float ny = 1.0f - 2.0f * (static_cast<float>(y) + 0.5f) / h;
    const float tanHalf = std::tan(glm::radians(CAMERA_FOV_DEGREES * 0.5f));
    const glm::vec3 forward = glm::normalize(camera.direction);
    // gluLookAt's frame: side = forward x up, then the true up.
    glm::vec3 side = glm::cross(forward, glm::vec3(0.0f, 1.0f, 0.0f));
    if (glm::length(side) < 1e-6f) side = glm::vec3(1.0f, 0.0f, 0.0f);
    side = glm::normalize(side);
    const glm::vec3 up = glm::cross(side, forward);
    const glm::vec3 d = forward + side * (nx * tanHalf * (w / h)) + up * (ny * tanHalf);
    return {camera.position, glm::normalize(d)};
}

namespace {

// Entry distance of the ray into the box, or nothing. A flat box (the empty
// grid square) is met where the ray crosses its plane.
std::optional<float> enterBox(const Ray& ray, glm::vec3 low, glm::vec3 high) {
    float near = 0.0f;
    float far = std::numeric_limits<float>::max();
    for (int a = 0; a < 3; ++a) {
        const float o = ray.origin[a];
        const float d = ray.direction[a];
        if (std::fabs(d) < 1e-12f) {
            if (o < low[a] || o > high[a]) return std::nullopt;
            continue;
        }
        float t0 = (low[a] - o) / d;
        float t1 = (high[a] - o) / d;
        if (t0 > t1) std::swap(t0, t1);
        near = std::max(near, t0);
        far = std::min(far, t1);
        if (near > far) return std::nullopt;
    }
    return near;
}

}  // namespace

std::optional<PickedCell> pickCell(const Ray& ray, const std::function<int(int, int)>& stackHeight) {
    std::optional<PickedCell> best;
    float bestT = std::numeric_limits<float>::max();
    for (int row = 0; row < PICK_GRID_SIZE; ++row) {
        for (int column = 0; column < PICK_GRID_SIZE; ++column) {
            const int level = stackHeight(row, column);
            // Cell (row, column) spans x row*50..row*50+50 and z -(column*50+50)..-(column*50).
            const glm::vec3 low(row * PICK_CELL, 0.0f, -(column + 1) * PICK_CELL);
            const glm::vec3 high((row + 1) * PICK_CELL, level * PICK_CELL, -column * PICK_CELL);
            const std::optional<float> t = enterBox(ray, low, high);
            if (t && *t < bestT) {
                bestT = *t;
                best = PickedCell{row, column, level};
            }
        }
    }
    return best;
}

bool isClick(int pressX, int pressY, int releaseX, int releaseY) {
    return std::abs(releaseX - pressX) <= CLICK_SLOP_PIXELS && std::abs(releaseY - pressY) <= CLICK_SLOP_PIXELS;
}

}  // namespace view
