// The free-flying camera: eye position, unit view direction and the
// horizontal right vector (single precision, world units). Plain arithmetic;
// loading it into GL is CameraGl.cpp's.
#pragma once

#include <glm/glm.hpp>

namespace view {

constexpr float CAMERA_FOV_DEGREES = 60.0f;
constexpr float CAMERA_NEAR = 2.0f;
constexpr float CAMERA_FAR = 5000.0f;
constexpr int FOLLOW_SMOOTHING = 10;
constexpr float LOOK_HALF_ANGLE_PER_PIXEL = 0.0029088820f;  // pi/1080: one third of a degree per pixel
constexpr float MOVE_STEP = 8.0f;                            // world units per key press

// Sign with 0 counted as +1, so an exactly vertical view still picks an axis
// direction and a heading (the camera normally keeps a small horizontal part).
inline int signOf(float v) { return v < 0.0f ? -1 : 1; }

struct Camera {
    glm::vec3 position{400.0f, 250.0f, -250.0f};
    glm::vec3 direction{0.0f, 0.0f, -1.0f};  // unit length
    glm::vec3 right{1.0f, 0.0f, 0.0f};       // direction x (0, 1, 0), normalised
    float aspectRatio = 1.0f;
    int lookAnchorX = 0;
    int lookAnchorY = 0;

    // The start pose: at (400, 250, -250) looking along normalise(0.2, -0.6, -0.5).
    void setStartPose();
    void recomputeRight();
    void setLookAnchor(int x, int y);
    // Turns by one third of a degree per pixel of pointer travel since the
    // anchor: yaw about world up, then pitch about the previous right vector
    // (world x turned by the yaw when the view was exactly vertical); the
    // heading never flips over the pole.
    void lookAround(int x, int y);
    void moveForward(int sign);
    void moveSideways(int sign);
    void moveUp(int sign);
    void zoom(int sign);
    // Eye into the ball, looking along its velocity (or almost straight down
    // when it is at rest).
    void snapToBall(glm::vec3 ballPosition, glm::vec3 ballVelocity);
    // One ride-along step towards a ball at ballPosition: the view bends a
    // tenth of the way towards the ball's travel; a view that would become
    // vertical keeps a 0.001 heading with the previous signs (0 counting as
    // positive).
    void rideAlong(glm::vec3 ballPosition);
};

}  // namespace view
