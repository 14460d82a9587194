#include "render/SceneLayout.h"

#include "render/Resources.h"

#include <cmath>

#include <glm/gtc/quaternion.hpp>

namespace render {

namespace {
constexpr float DEGREES_PER_RANDOM_STEP = 0.010986663f;  // 360 / 32767
constexpr float HALF_RADIANS_PER_DEGREE = 0.0087266462f; // pi / 360
}  // namespace

int stackHeight(const scene::SceneModel& model, int row, int column) {
    if (!scene::onGrid(row, column)) return 0;
    return static_cast<int>(model.cellStack()[scene::cellIndex(row, column)].size());
}

int highlightedKlotz(const scene::SceneState& state, const scene::SceneModel& model) {
    if (!state.klotzSelected || !scene::onGrid(state.selectedRow, state.selectedColumn)) return -1;
    const std::vector<int>& stack = model.cellStack()[scene::cellIndex(state.selectedRow, state.selectedColumn)];
    return stack.empty() ? -1 : stack.back();
}

glm::vec3 ringEmissionPoint(glm::vec3 centre, int r) {
    float half = static_cast<float>(r) * DEGREES_PER_RANDOM_STEP * HALF_RADIANS_PER_DEGREE;
    glm::quat q(std::cos(half), 0.0f, std::sin(half), 0.0f);
    glm::quat p = q * glm::quat(0.0f, RING_OUTER_RADIUS, 0.0f, 0.0f) * glm::conjugate(q);
    return centre + glm::vec3(p.x, p.y, p.z);
}

int ballDetailLevel(float d) {
    if (!(d >= BALL_LEVEL_DISTANCES[0])) return 0;  // near, or not a number
    int level = 1;
    while (level < BALL_LEVELS - 1 && d >= BALL_LEVEL_DISTANCES[level]) ++level;
    return level;
}

bool ballHidden(const scene::SceneState& state, int ball) { return state.followBall && ball == state.followedBall; }

bool particlesDrawn(const scene::SceneState& state) {
    if (!state.particlesOn) return false;
    return !(state.simulationRunning && state.followBall && state.followedBall == state.particleBall);
}

}  // namespace render
