// The program-wide state record: the scene's editing and mode state plus
// what only the window has (window ids and size, frame times, title).
#pragma once

#include <string>

#include "scene/SceneState.h"

namespace app {

struct AppState : scene::SceneState {
    int mainWindow = 0;
    int subWindow = 0;
    int windowWidth = 500;  // pixels
    int windowHeight = 500;
    double lastFrameTime = 0.0;  // seconds of the frame clock; last drawn frame
    double frameTime = 0.0;      // clock reading at the top of the current frame
    std::string titleText;
    bool clearLook = true;  // F3: outlines, ball shadows, hidden balls, multisampling
};

}  // namespace app
