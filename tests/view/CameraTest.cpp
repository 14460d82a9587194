#include <cmath>

#include <gtest/gtest.h>

#include "view/Camera.h"

namespace {

using namespace view;

constexpr float PI = 3.14159265358979f;

view::Camera cameraLooking(glm::vec3 direction) {
    view::Camera camera;
    camera.position = {500.0f, 100.0f, -500.0f};
    camera.direction = glm::normalize(direction);
    camera.recomputeRight();
    return camera;
}

void expectVecNear(glm::vec3 actual, glm::vec3 expected, float tolerance) {
    EXPECT_NEAR(actual.x, expected.x, tolerance);
    EXPECT_NEAR(actual.y, expected.y, tolerance);
    EXPECT_NEAR(actual.z, expected.z, tolerance);
}

float headingDegrees(glm::vec3 v) { return std::atan2(v.x, -v.z) * 180.0f / PI; }

TEST(CameraStart, PoseLooksDownTowardsLargerXAndMoreNegativeZ) {
    view::Camera camera;
    camera.setStartPose();
    expectVecNear(camera.position, {400.0f, 250.0f, -250.0f}, 0.0f);
    expectVecNear(camera.direction, {0.24807f, -0.74421f, -0.62017f}, 1e-5f);
    expectVecNear(camera.right, {0.92848f, 0.0f, 0.37139f}, 1e-5f);
}

TEST(CameraLook, PointerTravelRightTurnsTenDegreesRightKeepingPitch) {
    view::Camera camera;
    camera.setStartPose();
    glm::vec3 before = camera.direction;
    camera.setLookAnchor(100, 100);
    camera.lookAround(130, 100);
    EXPECT_NEAR(camera.direction.y, before.y, 1e-6f);  // pitch unchanged
    EXPECT_NEAR(headingDegrees(camera.direction) - headingDegrees(before), 10.0f, 1e-3f);
    EXPECT_NEAR(glm::length(camera.direction), 1.0f, 1e-6f);
    EXPECT_EQ(camera.lookAnchorX, 130);
    EXPECT_EQ(camera.lookAnchorY, 100);
}

TEST(CameraLook, DraggingLeft270PixelsTurnsMinusZIntoMinusX) {
    view::Camera camera = cameraLooking({0.0f, 0.0f, -1.0f});
    camera.setLookAnchor(400, 200);
    camera.lookAround(130, 200);
    expectVecNear(camera.direction, {-1.0f, 0.0f, 0.0f}, 1e-5f);
    expectVecNear(camera.right, {0.0f, 0.0f, -1.0f}, 1e-5f);
}

TEST(CameraLook, PointerUpTiltsViewUp) {
    view::Camera camera = cameraLooking({0.0f, 0.0f, -1.0f});
    camera.setLookAnchor(0, 200);
    camera.lookAround(0, 170);  // 30 px up: 10 degrees
    EXPECT_NEAR(camera.direction.y, std::sin(10.0f * PI / 180.0f), 1e-5f);
    EXPECT_LT(camera.direction.z, 0.0f);
}

TEST(CameraLook, DraggingUpPastTheVerticalNeverFlipsTheHeading) {
    view::Camera camera = cameraLooking({0.3f, 0.0f, -1.0f});
    float heading = headingDegrees(camera.direction);
    // 600 px up in one event is 200 degrees of pitch.
    camera.lookAround(0, -600);
    EXPECT_NEAR(headingDegrees(camera.direction), heading, 1e-3f);
    // And in small steps, continuing upwards past the pole.
    view::Camera stepped = cameraLooking({0.3f, 0.0f, -1.0f});
    for (int y = -10; y > -1000; y -= 10) {
        stepped.lookAround(0, y);
        EXPECT_GT(stepped.direction.x * 0.3f - stepped.direction.z, 0.0f) << "at y " << y;
        EXPECT_NEAR(glm::length(stepped.direction), 1.0f, 1e-5f);
        EXPECT_GT(glm::length(stepped.right), 0.99f);
    }
    EXPECT_GT(stepped.direction.y, 0.99f);  // only steeper
}

TEST(CameraLook, ExactlyVerticalViewTiltsAboutTheYawedWorldX) {
    view::Camera camera = cameraLooking({0.0f, -1.0f, 0.0f});
    ASSERT_EQ(camera.right, glm::vec3(0.0f));
    // A pure yaw leaves a vertical view vertical and well defined.
    camera.lookAround(30, 0);
    expectVecNear(camera.direction, {0.0f, -1.0f, 0.0f}, 1e-6f);
    // Pointer up tilts out of the vertical instead of sticking there.
    camera.setLookAnchor(0, 0);
    camera.lookAround(0, -30);
    EXPECT_NEAR(camera.direction.y, -std::cos(10.0f * PI / 180.0f), 1e-5f);
    EXPECT_LT(camera.direction.z, 0.0f);
    EXPECT_NEAR(camera.direction.x, 0.0f, 1e-6f);
    EXPECT_NEAR(glm::length(camera.right), 1.0f, 1e-5f);
}

TEST(CameraMoves, ForwardIsHorizontalAndStraightDownMovesNothing) {
    view::Camera camera;
    camera.setStartPose();
    glm::vec3 start = camera.position;
    camera.moveForward(1);
    glm::vec3 step = camera.position - start;
    EXPECT_EQ(step.y, 0.0f);
    EXPECT_NEAR(glm::length(step), 8.0f, 1e-4f);  // positions near 400 carry 3e-5 steps
    EXPECT_GT(glm::dot(step, camera.direction), 0.0f);
    camera.moveForward(-1);
    expectVecNear(camera.position, start, 1e-4f);

    view::Camera down = cameraLooking({0.0f, -1.0f, 0.0f});
    glm::vec3 before = down.position;
    down.moveForward(1);
    down.moveForward(-1);
    EXPECT_EQ(down.position, before);
}

TEST(CameraMoves, SidewaysUpAndZoomFollowTheirAxes) {
    view::Camera camera;
    camera.setStartPose();
    glm::vec3 start = camera.position;
    camera.moveSideways(1);
    expectVecNear(camera.position - start, camera.right * 8.0f, 1e-4f);
    camera.position = start;
    camera.moveUp(-1);
    EXPECT_EQ(camera.position, start - glm::vec3(0.0f, 8.0f, 0.0f));
    camera.position = start;
    camera.zoom(1);
    expectVecNear(camera.position - start, camera.direction * 8.0f, 1e-4f);
}

TEST(CameraSnap, RestingBallLooksAlmostStraightDown) {
    view::Camera camera;
    camera.setStartPose();
    camera.snapToBall({125.0f, 33.0f, -75.0f}, glm::vec3(0.0f));
    EXPECT_EQ(camera.position, glm::vec3(125.0f, 33.0f, -75.0f));
    expectVecNear(camera.direction, glm::normalize(glm::vec3(0.001f, -1.0f, 0.001f)), 1e-7f);
    EXPECT_NEAR(glm::length(camera.right), 1.0f, 1e-5f);
}

TEST(CameraSnap, MovingBallLooksAlongItsVelocity) {
    view::Camera camera;
    camera.snapToBall({0.0f, 0.0f, 0.0f}, {0.0f, 0.0f, -40.0f});
    expectVecNear(camera.direction, {0.0f, 0.0f, -1.0f}, 1e-7f);
    expectVecNear(camera.right, {1.0f, 0.0f, 0.0f}, 1e-7f);
}

TEST(CameraRide, BallAtRestKeepsTheView) {
    view::Camera camera;
    camera.setStartPose();
    glm::vec3 ball{300.0f, 33.0f, -300.0f};
    camera.rideAlong(ball);
    EXPECT_EQ(camera.position, ball);
    glm::vec3 settled = camera.direction;
    for (int frame = 0; frame < 100; ++frame) camera.rideAlong(ball);
    expectVecNear(camera.direction, settled, 1e-5f);
}

TEST(CameraRide, ViewBendsTowardsTheTravelDirection) {
    view::Camera camera = cameraLooking({0.0f, 0.0f, -1.0f});
    glm::vec3 ball = camera.position;
    for (int frame = 0; frame < 200; ++frame) {
        ball.x += 5.0f;
        camera.rideAlong(ball);
    }
    expectVecNear(camera.direction, {1.0f, 0.0f, 0.0f}, 1e-3f);
    EXPECT_EQ(camera.position, ball);
}

TEST(CameraRide, VerticalTravelKeepsASmallHeadingWithZeroCountedPositive) {
    view::Camera camera = cameraLooking({0.0f, -1.0f, 0.0f});
    glm::vec3 ball = camera.position;
    ball.y -= 3.0f;
    camera.rideAlong(ball);
    expectVecNear(camera.direction, glm::normalize(glm::vec3(0.001f, -1.0f, 0.001f)), 1e-7f);
    EXPECT_GT(glm::length(camera.right), 0.99f);

    // A tiny negative heading keeps its signs.
    view::Camera tilted = cameraLooking({-1e-6f, -1.0f, -1e-6f});
    tilted.rideAlong(tilted.position - glm::vec3(0.0f, 3.0f, 0.0f));
    expectVecNear(tilted.direction, glm::normalize(glm::vec3(-0.001f, -1.0f, -0.001f)), 1e-7f);
}

}  // namespace
