// The GLUT layer: each callback forwards its event to the one running
// program.
#include <GL/freeglut.h>

#include "app/GlutApp.h"
#include "app/Program.h"

namespace app {

namespace {

// GLUT's callbacks carry no user pointer, so the running program is reached
// through this one pointer, set for the lifetime of runProgram.
Program* program = nullptr;

void frameTimer(int) { program->frameDue(); }
void display() { program->display(); }
void reshape(int width, int height) { program->reshape(width, height); }
void keyboard(unsigned char key, int, int) { program->keyboard(key); }
void special(int key, int, int) { program->special(key); }
void mouse(int button, int state, int x, int y) { program->mouse(button, state, x, y); }
void motion(int x, int y) { program->motion(x, y); }
void menu(int value) { program->menu(value); }
void subWindowDisplay() { program->subWindowDisplay(); }
void subWindowMouse(int button, int state, int x, int y) { program->subWindowMouse(button, state, x, y); }
void passiveMotion(int x, int y) { program->passiveMotion(x, y); }
void closed() { program->windowClosed = true; }
void entry(int state) {
    if (state == GLUT_LEFT) program->pointerLeft();
}

}  // namespace

int runProgram(int argc, char** argv) {
    Program instance;
    program = &instance;
    const int status = instance.run(argc, argv,
                                    {{display, reshape, keyboard, special, mouse, motion, menu},
                                     frameTimer,
                                     subWindowDisplay,
                                     subWindowMouse,
                                     passiveMotion,
                                     entry,
                                     closed});
    program = nullptr;
    return status;
}

}  // namespace app
