#include "view/Framing.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace view {

namespace {

std::array<glm::vec3, 8> corners(const Box& box) {
    std::array<glm::vec3, 8> c;
    for (int i = 0; i < 8; ++i)
        c[i] = {i & 1 ? box.max.x : box.min.x, i & 2 ? box.max.y : box.min.y, i & 4 ? box.max.z : box.min.z};
    return c;
}

void include(Box& box, glm::vec3 low, glm::vec3 high) {
    box.min = glm::min(box.min, low);
    box.max = glm::max(box.max, high);
}

}  // namespace

PictureWindow pictureWindow(float aspectRatio, float coveredFraction) {
    const float t = std::tan(glm::radians(CAMERA_FOV_DEGREES * 0.5f));
    const float covered = std::clamp(coveredFraction, 0.0f, 0.9f);
    return {t * aspectRatio, t * (2.0f * covered - 1.0f), t};
}

std::optional<Box> bounds(const std::vector<glm::vec3>& points) {
    if (points.empty()) return std::nullopt;
    Box box{glm::vec3(1e30f), glm::vec3(-1e30f)};
    for (const glm::vec3& p : points) include(box, p, p);
    return box;
}

glm::vec3 framingDirection(float headingDegrees) {
    const float pitch = glm::radians(FRAMING_PITCH_DEGREES);
    const float heading = glm::radians(headingDegrees);
    return {std::cos(pitch) * std::sin(heading), -std::sin(pitch), -std::cos(pitch) * std::cos(heading)};
}

Framing framingEye(const std::vector<glm::vec3>& points, glm::vec3 direction, PictureWindow window) {
    // Eye = centre + a*right + b*up - t*direction. A point p (relative to
    // the centre) lies in the window when its sideways and upward parts,
    // divided by its depth p.d + t, lie within the window's tangents: for
    // the sideways part, a >= p.r - sx*(p.d + t) and a <= p.r + sx*(p.d + t)
    // for every p, which some a meets once
    // 2*sx*t >= max(p.r - sx*p.d) - min(p.r + sx*p.d); upwards alike. The
    // largest such t is the nearest eye, and a and b then sit in the middle
    // of what remains.
    const glm::vec3 right = glm::normalize(glm::vec3(-direction.z, 0.0f, direction.x));
    const glm::vec3 up = glm::cross(right, direction);
    const float middle = 0.5f * (window.top + window.bottom);
    const float sx = window.right * (1.0f - FRAMING_MARGIN);
    const float halfHeight = 0.5f * (window.top - window.bottom) * (1.0f - FRAMING_MARGIN);
    const float lo = middle - halfHeight;
    const float hi = middle + halfHeight;

    glm::vec3 centre(0.0f);
    for (const glm::vec3& p : points) centre += p;
    centre /= static_cast<float>(std::max<std::size_t>(points.size(), 1));
    constexpr float BIG = 1e30f;
    float maxR = -BIG, minR = BIG, maxU = -BIG, minU = BIG, minD = BIG;
    for (const glm::vec3& pc : points) {
        const glm::vec3 p = pc - centre;
        const float r = glm::dot(p, right), u = glm::dot(p, up), d = glm::dot(p, direction);
        maxR = std::max(maxR, r - sx * d);
        minR = std::min(minR, r + sx * d);
        maxU = std::max(maxU, u - hi * d);
        minU = std::min(minU, u - lo * d);
        minD = std::min(minD, d);
    }
    float t = std::max({CAMERA_NEAR - minD, (maxR - minR) / (2.0f * sx), (maxU - minU) / (hi - lo)});
    // a within [max(p.r - sx*z), min(p.r + sx*z)] with z = p.d + t; b alike.
    const float a = 0.5f * ((maxR - sx * t) + (minR + sx * t));
    const float b = 0.5f * ((maxU - hi * t) + (minU - lo * t));
    return {centre + a * right + b * up - t * direction, t};
}

Framing framingEye(const Box& box, glm::vec3 direction, PictureWindow window) {
    const std::array<glm::vec3, 8> c = corners(box);
    return framingEye(std::vector<glm::vec3>(c.begin(), c.end()), direction, window);
}

void frameConstruction(Camera& camera, const std::vector<glm::vec3>& points, float coveredFraction) {
    if (points.empty()) {
        camera.setStartPose();
        return;
    }
    // Of the three-quarter headings, the one that shows the construction
    // largest.
    const PictureWindow window = pictureWindow(camera.aspectRatio, coveredFraction);
    Framing best{};
    glm::vec3 bestDirection(0.0f);
    for (float heading : FRAMING_HEADINGS) {
        const glm::vec3 direction = framingDirection(heading);
        const Framing f = framingEye(points, direction, window);
        if (bestDirection == glm::vec3(0.0f) || f.distance < best.distance) {
            best = f;
            bestDirection = direction;
        }
    }
    camera.direction = bestDirection;
    camera.position = best.eye;
    camera.recomputeRight();
}

}  // namespace view
