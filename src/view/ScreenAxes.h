// The grid seen from the camera: which grid step an arrow key means and
// which world axes the turning keys turn about, both following the view.
#pragma once

#include <glm/glm.hpp>

namespace view {

enum class Arrow { LEFT, UP, RIGHT, DOWN };

// One screen-relative step of an arrow from (row, column), without clamping:
// along the grid axis nearest to the view's heading; a tie (|d.z| = |d.x|,
// also the exactly vertical view) goes along z.
void screenStep(glm::vec3 viewDirection, Arrow arrow, int& row, int& column);

// World axes nearest to the view (V) and to the camera's right (S); a tie
// (also the exactly vertical view) picks the x axis for V.
glm::vec3 viewAxis(glm::vec3 viewDirection);
glm::vec3 sideAxis(glm::vec3 viewDirection);

}  // namespace view
