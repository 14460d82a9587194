#include <algorithm>
#include <cmath>

#include <glm/gtc/matrix_transform.hpp>
#include <gtest/gtest.h>

#include "scene/SceneModel.h"
#include "view/Framing.h"

namespace {

// Where the camera's projection puts p, in normalised device coordinates,
// as the window's gluPerspective and gluLookAt do.
glm::vec3 project(const view::Camera& camera, glm::vec3 p) {
    const glm::mat4 m = glm::perspective(glm::radians(view::CAMERA_FOV_DEGREES), camera.aspectRatio,
                                         view::CAMERA_NEAR, view::CAMERA_FAR) *
                        glm::lookAt(camera.position, camera.position + camera.direction, glm::vec3(0, 1, 0));
    const glm::vec4 c = m * glm::vec4(p, 1.0f);
    EXPECT_GT(c.w, 0.0f) << "behind the eye";
    return glm::vec3(c) / c.w;
}

struct Extent {
    float left = 1e9f, right = -1e9f, bottom = 1e9f, top = -1e9f;
};

Extent projectedCorners(const view::Camera& camera, const view::Box& box) {
    Extent e;
    for (int i = 0; i < 8; ++i) {
        glm::vec3 p{i & 1 ? box.max.x : box.min.x, i & 2 ? box.max.y : box.min.y, i & 4 ? box.max.z : box.min.z};
        glm::vec3 n = project(camera, p);
        e.left = std::min(e.left, n.x);
        e.right = std::max(e.right, n.x);
        e.bottom = std::min(e.bottom, n.y);
        e.top = std::max(e.top, n.y);
    }
    return e;
}

scene::SceneModel modelWith(std::initializer_list<glm::ivec3> cells, std::initializer_list<glm::ivec2> starts) {
    scene::SceneModel model;
    for (glm::ivec3 c : cells) {
        scene::PoseMatrix pose = scene::IDENTITY_POSE;
        glm::vec3 centre = scene::levelCentre(c.x, c.y, c.z);
        pose[12] = centre.x;
        pose[13] = centre.y;
        pose[14] = centre.z;
        int i = model.appendPlaced(1, 0, physics::NO_ACTOR, pose);
        model.pushOnStack(scene::cellIndex(c.x, c.y), i);
    }
    for (glm::ivec2 s : starts) model.addBallStart(s.x, s.y, physics::NO_ACTOR);
    return model;
}

TEST(Framing, EveryCornerOfTheBoxIsInTheVisiblePictureAndTheFitIsTight) {
    const view::Box boxes[] = {{{0, 0, -1000}, {1000, 50, 0}},    // the whole flat grid
                                {{300, 0, -450}, {350, 400, -400}},  // a tall thin tower
                                {{100, 0, -700}, {650, 150, -250}}};
    const float aspects[] = {1.0f, 1000.0f / 740.0f, 0.5f};
    for (const view::Box& box : boxes)
        for (float aspect : aspects)
            for (float covered : {0.0f, 0.2f}) {
                view::Camera camera;
                camera.aspectRatio = aspect;
                camera.direction = view::framingDirection(35.0f);
                camera.position =
                    view::framingEye(box, camera.direction, view::pictureWindow(aspect, covered)).eye;
                const Extent e = projectedCorners(camera, box);
                const float bottom = 2.0f * covered - 1.0f;  // the palette strip hides what is below
                EXPECT_GE(e.left, -1.0f);
                EXPECT_LE(e.right, 1.0f);
                EXPECT_GE(e.bottom, bottom);
                EXPECT_LE(e.top, 1.0f);
                // Nearest: the box touches the margin on two opposite sides
                // (across or up), centred between them.
                const float across = (e.right - e.left) / 2.0f;
                const float upward = (e.top - e.bottom) / (1.0f - bottom);
                EXPECT_NEAR(std::max(across, upward), 1.0f - view::FRAMING_MARGIN, 0.01f);
                if (across > upward)
                    EXPECT_NEAR(e.left + e.right, 0.0f, 0.01f);
                else
                    EXPECT_NEAR(e.top + e.bottom, 1.0f + bottom, 0.01f);
            }
}

TEST(Framing, LooksDownFromARaisedThreeQuarterAngle) {
    scene::SceneModel model = modelWith({{0, 0, 0}, {0, 19, 0}, {19, 10, 2}}, {});
    view::Camera camera;
    view::frameConstruction(camera, scene::constructionCorners(model), 0.2f);
    const glm::vec3 d = camera.direction;
    EXPECT_NEAR(glm::length(d), 1.0f, 1e-5f);
    const float down = glm::degrees(std::asin(-d.y));
    EXPECT_GE(down, 35.0f);
    EXPECT_LE(down, 50.0f);
    const float heading = glm::degrees(std::atan2(d.x, -d.z));
    EXPECT_GE(heading, 20.0f);
    EXPECT_LE(heading, 70.0f);
    // Every klotz's cell is in the picture above the palette strip.
    for (const glm::vec3& p : scene::constructionCorners(model)) {
        glm::vec3 n = project(camera, p);
        EXPECT_LE(std::abs(n.x), 1.0f);
        EXPECT_LE(n.y, 1.0f);
        EXPECT_GE(n.y, -0.6f);
    }
}

TEST(Framing, BoundsCoverEveryKlotzAndBallStartAndAnEmptySceneKeepsTheStartCamera) {
    scene::SceneModel model = modelWith({{2, 3, 0}, {2, 3, 1}, {12, 15, 0}}, {{2, 3}, {18, 1}});
    const std::optional<view::Box> box = view::bounds(scene::constructionCorners(model));
    ASSERT_TRUE(box.has_value());
    // Rows run along x, columns along -z, levels up y; the ball start on
    // the two-klotz stack sits on its third level.
    EXPECT_EQ(box->min, glm::vec3(100.0f, 0.0f, -800.0f));
    EXPECT_EQ(box->max, glm::vec3(950.0f, 150.0f, -50.0f));

    view::Camera camera;
    camera.setStartPose();
    view::Camera framed = camera;
    view::frameConstruction(framed, scene::constructionCorners(model), 0.2f);
    EXPECT_NE(framed.position, camera.position);
    EXPECT_NEAR(glm::dot(framed.right, framed.direction), 0.0f, 1e-5f);

    view::frameConstruction(framed, {}, 0.2f);
    EXPECT_EQ(framed.position, camera.position);
    EXPECT_EQ(framed.direction, camera.direction);
}

}  // namespace
