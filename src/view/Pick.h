// Pointing into the scene: the ray under a window pixel for the camera, and
// the grid cell it meets first, either on top of its stack or on the empty
// grid. Plain arithmetic; the window only passes pixels in.
#pragma once

#include <functional>
#include <optional>

#include <glm/glm.hpp>

#include "view/Camera.h"

namespace view {

constexpr int PICK_GRID_SIZE = 20;    // cells per side
constexpr float PICK_CELL = 50.0f;    // world units per cell and per level
constexpr int CLICK_SLOP_PIXELS = 4;  // more pointer travel than this is a drag

struct Ray {
    glm::vec3 origin;
    glm::vec3 direction;  // unit length
};

// The ray through the centre of pixel (x, y) of a width x height window
// (y counted down from the top, as GLUT gives it), for the camera's 60
// degree perspective with up (0, 1, 0).
Ray pointerRay(const Camera& camera, int x, int y, int width, int height);

struct PickedCell {
    int row = 0;
    int column = 0;
    int level = 0;  // the stack's height there: where the next klotz would go
};

// The first cell whose stack (a box from the ground to level * 50) or, when
// empty, whose grid square the ray meets in front of the eye; nothing when
// the ray misses the grid. stackHeight(row, column) gives the levels.
std::optional<PickedCell> pickCell(const Ray& ray, const std::function<int(int, int)>& stackHeight);

// A press and release of a button is a click when the pointer travelled at
// most CLICK_SLOP_PIXELS on either axis in between; more is a look-around
// drag.
bool isClick(int pressX, int pressY, int releaseX, int releaseY);

}  // namespace view
