#include <gtest/gtest.h>

#include <glm/gtc/matrix_transform.hpp>

#include "view/Pick.h"

namespace {

using namespace view;

constexpr int W = 500;
constexpr int H = 500;

// Where GL draws a world point for this camera, in GLUT's window pixels
// (y down): the reference the pick must agree with.
glm::ivec2 projectToPixel(const Camera& camera, glm::vec3 point) {
    const glm::mat4 projection =
        glm::perspective(glm::radians(CAMERA_FOV_DEGREES), camera.aspectRatio, CAMERA_NEAR, CAMERA_FAR);
    const glm::mat4 look = glm::lookAt(camera.position, camera.position + camera.direction, glm::vec3(0, 1, 0));
    const glm::vec4 clip = projection * look * glm::vec4(point, 1.0f);
    const glm::vec3 ndc = glm::vec3(clip) / clip.w;
    return {static_cast<int>((ndc.x + 1.0f) * 0.5f * W), static_cast<int>((1.0f - ndc.y) * 0.5f * H)};
}

int flatGrid(int, int) { return 0; }

TEST(Pick, CellCentreUnderItsPixelForTheStartCamera) {
    Camera camera;
    camera.setStartPose();
    for (glm::ivec2 cell : {glm::ivec2(10, 10), glm::ivec2(8, 9), glm::ivec2(12, 14), glm::ivec2(6, 12)}) {
        const glm::vec3 centre(cell.x * 50 + 25, 0.0f, -(cell.y * 50 + 25));
        const glm::ivec2 px = projectToPixel(camera, centre);
        const auto picked = pickCell(pointerRay(camera, px.x, px.y, W, H), flatGrid);
        ASSERT_TRUE(picked) << cell.x << "," << cell.y;
        EXPECT_EQ(picked->row, cell.x);
        EXPECT_EQ(picked->column, cell.y);
        EXPECT_EQ(picked->level, 0);
    }
}

TEST(Pick, StackTopHidesTheGridBehindIt) {
    Camera camera;
    camera.setStartPose();
    // A tower of 2 on (9, 8) stands between the eye and cell (10, 10).
    auto tower = [](int row, int column) { return row == 9 && column == 8 ? 2 : 0; };
    const glm::vec3 top(9 * 50 + 25, 100.0f, -(8 * 50 + 25));
    const glm::ivec2 px = projectToPixel(camera, top);
    const auto onGrid = pickCell(pointerRay(camera, px.x, px.y, W, H), flatGrid);
    ASSERT_TRUE(onGrid);
    EXPECT_EQ(onGrid->row, 10);
    EXPECT_EQ(onGrid->column, 10);
    const auto onTower = pickCell(pointerRay(camera, px.x, px.y, W, H), tower);
    ASSERT_TRUE(onTower);
    EXPECT_EQ(onTower->row, 9);
    EXPECT_EQ(onTower->column, 8);
    EXPECT_EQ(onTower->level, 2);
}

TEST(Pick, WideWindowAndSkyMissTheGrid) {
    Camera camera;
    camera.setStartPose();
    camera.aspectRatio = 2.0f;
    const glm::vec3 corner(25.0f, 0.0f, -975.0f);
    const glm::mat4 projection = glm::perspective(glm::radians(60.0f), 2.0f, 2.0f, 5000.0f);
    const glm::mat4 look = glm::lookAt(camera.position, camera.position + camera.direction, glm::vec3(0, 1, 0));
    const glm::vec4 clip = projection * look * glm::vec4(corner, 1.0f);
    const int x = static_cast<int>((clip.x / clip.w + 1.0f) * 0.5f * 1000);
    const int y = static_cast<int>((1.0f - clip.y / clip.w) * 0.5f * 500);
    const auto picked = pickCell(pointerRay(camera, x, y, 1000, 500), flatGrid);
    ASSERT_TRUE(picked);
    EXPECT_EQ(picked->row, 0);
    EXPECT_EQ(picked->column, 19);

    camera.direction = glm::normalize(glm::vec3(0.2f, 0.5f, -0.5f));  // looking up: only sky
    EXPECT_FALSE(pickCell(pointerRay(camera, 250, 250, W, H), flatGrid));
}

TEST(Pick, ClickOrDragByAFewPixels) {
    EXPECT_TRUE(isClick(100, 100, 100, 100));
    EXPECT_TRUE(isClick(100, 100, 104, 96));
    EXPECT_FALSE(isClick(100, 100, 105, 100));
    EXPECT_FALSE(isClick(100, 100, 100, 94));
}

}  // namespace
