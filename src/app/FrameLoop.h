// The frame loop's decisions, kept apart from GLUT: when the next frame is
// due, whether a frame is drawn, how much simulated time it advances, and
// the title it shows.
#pragma once

#include <string>

namespace app {

constexpr double FRAME_INTERVAL = 0.025;  // seconds; at most 40 drawn frames per second

// True when a frame is to be drawn. An interval below 0.025 s is skipped; a
// negative one (the millisecond fallback clock wrapped) draws, so the window
// never freezes waiting for the clock to catch up.
bool frameGatePasses(double frameTime, double lastFrameTime);

// Real seconds one frame may simulate: four frames' worth. A frame that
// comes later than that (a heavy scene, a blocked console prompt) does not
// make the next ask for more: the run then plays slower than real time
// instead of falling ever further behind.
constexpr double MAX_FRAME_CATCH_UP = 4 * FRAME_INTERVAL;

// Seconds to sleep before the next frame is due: until FRAME_INTERVAL after
// the last drawn one; 0 when it is due (also when the clock went back).
double sleepBeforeNextFrame(double now, double lastFrameTime);

struct FramePlan {
    bool draw = false;
    double simulatedSeconds = 0.0;  // for the world; 0 unless stepping
};

// The frame at clock time now: drawn when the gate passes; while the run
// steps (running, not paused), the real time since the last step, capped at
// MAX_FRAME_CATCH_UP and never negative, times the playback speed.
FramePlan planFrame(double now, double lastFrameTime, double lastStepTime, bool stepping, double speed);

// fps of a drawn frame: 1 / interval truncated toward zero; intervals that
// give no finite 32-bit value (zero, negative) give 0.
int framesPerSecond(double interval);

// "tumbalon 1.0b      press F1 for help -- fps: N"
std::string frameTitle(int fps);

}  // namespace app
