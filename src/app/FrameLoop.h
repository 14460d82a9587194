// Frame gate and title arithmetic of the main window's display callback.
#pragma once

#include <string>

namespace app {

constexpr double FRAME_INTERVAL = 0.025;  // seconds; at most 40 drawn frames per second

// True when a frame is to be drawn. An interval below 0.025 s is skipped; a
// negative one (the millisecond fallback clock wrapped) draws, so the window
// never freezes waiting for the clock to catch up.
bool frameGatePasses(double frameTime, double lastFrameTime);

// fps of a drawn frame: 1 / interval truncated toward zero; intervals that
// give no finite 32-bit value (zero, negative) give 0.
int framesPerSecond(double interval);

// "tumbalon 1.0b      press F1 for help -- fps: N"
std::string frameTitle(int fps);

}  // namespace app
