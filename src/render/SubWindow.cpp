#include "render/SubWindow.h"

#include <cmath>

namespace render {

void advanceSpin(SubWindowState& state, double now) {
    float angle = state.spinAngle + static_cast<float>((now - state.spinClock) * SPIN_DEGREES_PER_SECOND);
    // Wrapped so a long session keeps the float angle precise; a turn by a
    // whole circle looks the same.
    angle = std::fmod(angle, 360.0f);
    if (angle < 0.0f) angle += 360.0f;
    state.spinAngle = std::isfinite(angle) ? angle : 0.0f;
    state.spinClock = now;
}

std::string typeLabel(int type) { return std::to_string(type); }

}  // namespace render
