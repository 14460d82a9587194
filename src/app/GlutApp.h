// The windowed program: start-up, the GLUT callbacks and shutdown.
#pragma once

namespace app {

// Runs the start-up sequence and the GLUT main loop; returns the exit status.
int runProgram(int argc, char** argv);

}  // namespace app
