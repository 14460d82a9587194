#include "app/FrameLoop.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "render/Graphics.h"

namespace app {

bool frameGatePasses(double frameTime, double lastFrameTime) {
    double interval = frameTime - lastFrameTime;
    if (interval < 0.0) return true;
    return !(interval < FRAME_INTERVAL);
}

double sleepBeforeNextFrame(double now, double lastFrameTime) {
    const double due = lastFrameTime + FRAME_INTERVAL - now;
    return due > 0.0 && due <= FRAME_INTERVAL ? due : 0.0;
}

FramePlan planFrame(double now, double lastFrameTime, double lastStepTime, bool stepping, double speed) {
    FramePlan plan;
    plan.draw = frameGatePasses(now, lastFrameTime);
    if (plan.draw && stepping) plan.simulatedSeconds = std::clamp(now - lastStepTime, 0.0, MAX_FRAME_CATCH_UP) * speed;
    return plan;
}

int framesPerSecond(double interval) {
    if (!(interval > 0.0)) return 0;
    double fps = 1.0 / interval;
    if (!std::isfinite(fps) || fps >= static_cast<double>(std::numeric_limits<int>::max())) return 0;
    return static_cast<int>(fps);
}

std::string frameTitle(int fps) { return std::string(render::WINDOW_TITLE) + " -- fps: " + std::to_string(fps); }

}  // namespace app
