// The program-wide state record: mode flags, selection, window ids and
// frame times. The scene's lists live in scene::SceneModel.
#pragma once

#include <string>

namespace app {

struct AppState {
    bool simulationRunning = false;  // false: building mode
    bool simulationPaused = false;   // the physics is not stepped while true
    bool wireframe = false;
    bool smoothShading = false;
    bool klotzSelected = false;  // only while the selected cell's stack is not empty
    bool followBall = false;     // the camera rides ball followedBall
    bool particlesOn = false;
    int followedBall = 0;  // index into the ball actors
    int particleBall = 0;  // index into the ball actors and ball starts
    int selectedRow = 10;  // 0..19
    int selectedColumn = 10;
    int mainWindow = 0;
    int subWindow = 0;
    int windowWidth = 500;  // pixels
    int windowHeight = 500;
    double lastFrameTime = 0.0;  // seconds of the frame clock; last drawn frame
    double frameTime = 0.0;      // clock reading at the top of the current frame
    double lastStepTime = 0.0;   // previous physics step, or when stepping (re)started
    double particleTime = 0.0;   // previous particle step
    std::string titleText;
};

}  // namespace app
