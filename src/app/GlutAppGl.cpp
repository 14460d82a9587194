// The GLUT layer: each callback forwards its event to the one running
// program. Termination signals and the loss of the display connection end
// the program here too, with the unsaved work written first.
#include <csignal>
#include <cstdlib>

#include <GL/freeglut.h>

#include "app/GlutApp.h"
#include "app/Program.h"

// Last: Xlib's macros (None, Status) would clash with names above.
#include <X11/Xlib.h>

namespace app {

namespace {

// GLUT's callbacks carry no user pointer, so the running program is reached
// through this one pointer, set for the lifetime of runProgram.
Program* program = nullptr;

// A signal handler may only set a flag; the frame loop acts on it.
volatile std::sig_atomic_t endSignal = 0;

void noteEndSignal(int signal) { endSignal = signal; }

void frameTimer(int) {
    if (endSignal) {
        program->endOnSignal(endSignal);
        std::exit(0);
    }
    program->frameDue();
}
void display() { program->display(); }
void reshape(int width, int height) { program->reshape(width, height); }
void keyboard(unsigned char key, int, int) { program->keyboard(key); }
void keyboardUp(unsigned char key, int, int) { program->keyboardUp(key); }
void special(int key, int, int) { program->special(key); }
void mouse(int button, int state, int x, int y) { program->mouse(button, state, x, y); }
void motion(int x, int y) { program->motion(x, y); }
void menu(int value) { program->menu(value); }
void subWindowDisplay() { program->subWindowDisplay(); }
void subWindowMouse(int button, int state, int x, int y) { program->subWindowMouse(button, state, x, y); }
void windowClosed() { program->windowClosed(); }
void passiveMotion(int x, int y) { program->passiveMotion(x, y); }
void entry(int state) {
    if (state == GLUT_LEFT) program->pointerLeft();
}

// Xlib ends the process when this returns; nothing here may talk to the
// display again.
int displayLost(Display*) {
    if (program) program->connectionLost();
    std::_Exit(0);
}

void catchEndSignals() {
    struct sigaction action = {};
    action.sa_handler = noteEndSignal;
    sigemptyset(&action.sa_mask);
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGHUP, &action, nullptr);
}

}  // namespace

int runProgram(int argc, char** argv) {
    Program instance;
    program = &instance;
    catchEndSignals();
    XSetIOErrorHandler(displayLost);
    const int status = instance.run(argc, argv,
                                    {{display, reshape, keyboard, keyboardUp, special, mouse, motion, menu},
                                     frameTimer,
                                     subWindowDisplay,
                                     subWindowMouse,
                                     windowClosed,
                                     passiveMotion,
                                     entry});
    program = nullptr;
    return status;
}

}  // namespace app
