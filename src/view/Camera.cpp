// Camera arithmetic in single precision, as the program has always done it:
// step vectors and rotations are computed in float in the order written.
#include "view/Camera.h"

#include <cmath>

#include <glm/gtc/quaternion.hpp>

namespace view {

namespace {

constexpr float FOLLOW_VERTICAL_LIMIT = 1e-8f;  // squared horizontal length below which a view is vertical
constexpr float AT_REST_SPEED = 1e-8f;          // world units per second
constexpr float VERTICAL_NUDGE = 0.001f;        // horizontal heading kept by a vertical view

glm::vec3 normalisedOrZero(glm::vec3 v) {
    float length = glm::length(v);
    return length != 0.0f ? v / length : v;
}

// q * v * conjugate(q), v as a pure quaternion.
glm::vec3 rotate(const glm::quat& q, glm::vec3 v) {
    glm::quat p = q * glm::quat(0.0f, v.x, v.y, v.z) * glm::conjugate(q);
    return {p.x, p.y, p.z};
}

// Key moves: unit * 8, then * 50, then * 0.02, each rounded to float.
glm::vec3 keyStep(glm::vec3 unit) {
    glm::vec3 step = unit * MOVE_STEP;
    step = step * 50.0f;
    return step * 0.02f;
}

}  // namespace

void Camera::setStartPose() {
    position = {400.0f, 250.0f, -250.0f};
    direction = normalisedOrZero(glm::vec3(0.2f, -0.6f, -0.5f));
    recomputeRight();
}

void Camera::recomputeRight() { right = normalisedOrZero(glm::vec3(-direction.z, 0.0f, direction.x)); }

void Camera::setLookAnchor(int x, int y) {
    lookAnchorX = x;
    lookAnchorY = y;
}

void Camera::lookAround(int x, int y) {
    // Each pixel turns the view by two half-angles: one third of a degree.
    float a = static_cast<float>(lookAnchorX - x) * LOOK_HALF_ANGLE_PER_PIXEL;
    glm::quat yaw(std::cos(a), 0.0f, std::sin(a), 0.0f);
    glm::vec3 yawed = rotate(yaw, direction);

    // The pitch axis is the right vector from before this call. An exactly
    // vertical view has none; then world x turned by this call's yaw serves,
    // so a camera looking straight down can still be tilted out of it.
    glm::vec3 axis = normalisedOrZero(right);
    if (axis == glm::vec3(0.0f)) axis = rotate(yaw, glm::vec3(1.0f, 0.0f, 0.0f));
    float b = static_cast<float>(lookAnchorY - y) * LOOK_HALF_ANGLE_PER_PIXEL;
    float s = std::sin(b);
    glm::quat pitch(std::cos(b), s * axis.x, s * axis.y, s * axis.z);
    glm::vec3 pitched = rotate(pitch, yawed);

    // No flipping over the pole: the heading never reverses. A vertical
    // yawed view has no heading to keep.
    bool yawedHasHeading = yawed.x != 0.0f || yawed.z != 0.0f;
    if (yawedHasHeading && pitched.x * yawed.x + pitched.z * yawed.z <= 0.0f) {
        pitched.x = yawed.x;
        pitched.z = yawed.z;
    }
    direction = normalisedOrZero(pitched);
    setLookAnchor(x, y);
    recomputeRight();
}

void Camera::moveForward(int sign) {
    // A vertical view has no horizontal part; the step is then zero.
    glm::vec3 heading = normalisedOrZero(glm::vec3(direction.x, 0.0f, direction.z));
    position += static_cast<float>(sign) * keyStep(heading);
}

void Camera::moveSideways(int sign) { position += static_cast<float>(sign) * keyStep(right); }

void Camera::moveUp(int sign) { position.y += static_cast<float>(sign) * MOVE_STEP; }

void Camera::zoom(int sign) { position += static_cast<float>(sign) * keyStep(direction); }

void Camera::snapToBall(glm::vec3 ballPosition, glm::vec3 ballVelocity) {
    position = ballPosition;
    direction = glm::length(ballVelocity) < AT_REST_SPEED ? glm::vec3(VERTICAL_NUDGE, -1.0f, VERTICAL_NUDGE)
                                                          : ballVelocity;
    direction = normalisedOrZero(direction);
    recomputeRight();
}

void Camera::rideAlong(glm::vec3 ballPosition) {
    // After the first frame the eye sits on the ball, so travel is the
    // ball's movement since the last drawn frame.
    glm::vec3 travel = ballPosition - position;
    float n = static_cast<float>(FOLLOW_SMOOTHING);
    glm::vec3 v = ((n - 1.0f) / n) * direction + (1.0f / n) * travel;
    v = normalisedOrZero(v);
    if (v.x * v.x + v.z * v.z > FOLLOW_VERTICAL_LIMIT) {
        direction = v;
    } else {
        // Keep a small heading so that the look-at never degenerates.
        direction = normalisedOrZero(
            glm::vec3(VERTICAL_NUDGE * signOf(direction.x), v.y, VERTICAL_NUDGE * signOf(direction.z)));
    }
    position = ballPosition;
    recomputeRight();
}

}  // namespace view
