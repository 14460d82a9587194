#include "view/ScreenAxes.h"

#include <cmath>

#include "view/Camera.h"

namespace view {

void screenStep(glm::vec3 d, Arrow arrow, int& row, int& column) {
    if (std::fabs(d.z) >= std::fabs(d.x)) {
        const int s = signOf(d.z);
        switch (arrow) {
            case Arrow::LEFT: row += s; break;
            case Arrow::UP: column -= s; break;
            case Arrow::RIGHT: row -= s; break;
            case Arrow::DOWN: column += s; break;
        }
    } else {
        const int s = signOf(d.x);
        switch (arrow) {
            case Arrow::LEFT: column += s; break;
            case Arrow::UP: row += s; break;
            case Arrow::RIGHT: column -= s; break;
            case Arrow::DOWN: row -= s; break;
        }
    }
}

glm::vec3 viewAxis(glm::vec3 d) {
    if (std::fabs(d.z) > std::fabs(d.x)) return {0.0f, 0.0f, static_cast<float>(signOf(d.z))};
    return {static_cast<float>(signOf(d.x)), 0.0f, 0.0f};
}

glm::vec3 sideAxis(glm::vec3 d) {
    if (std::fabs(d.z) > std::fabs(d.x)) return {static_cast<float>(-signOf(d.z)), 0.0f, 0.0f};
    return {0.0f, 0.0f, static_cast<float>(signOf(d.x))};
}

}  // namespace view
