#include "app/FrameLoop.h"

#include <cmath>
#include <limits>

#include "render/Graphics.h"

namespace app {

bool frameGatePasses(double frameTime, double lastFrameTime) {
    double interval = frameTime - lastFrameTime;
    if (interval < 0.0) return true;
    return !(interval < FRAME_INTERVAL);
}

int framesPerSecond(double interval) {
    if (!(interval > 0.0)) return 0;
    double fps = 1.0 / interval;
    if (!std::isfinite(fps) || fps >= static_cast<double>(std::numeric_limits<int>::max())) return 0;
    return static_cast<int>(fps);
}

std::string frameTitle(int fps) { return std::string(render::WINDOW_TITLE) + " -- fps: " + std::to_string(fps); }

}  // namespace app
