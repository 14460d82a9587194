#include <GL/freeglut.h>

#include "render/Graphics.h"

namespace render {

namespace {

void setLights() {
    const GLfloat ambient[] = {0.2f, 0.2f, 0.2f, 0.0f};
    const GLfloat diffuse[] = {0.5f, 0.5f, 0.5f, 0.0f};
    const GLfloat specular[] = {0.0f, 0.0f, 0.0f, 0.0f};
    // Set while the model-view matrix is the identity and never again: the
    // camera lives in the projection matrix, so these stay world positions.
    const GLfloat position0[] = {-500.0f, 2500.0f, 0.0f, 1.0f};
    const GLfloat position1[] = {1500.0f, 2500.0f, -1000.0f, 1.0f};
    glLightfv(GL_LIGHT0, GL_AMBIENT, ambient);
    glLightfv(GL_LIGHT1, GL_AMBIENT, ambient);
    glLightfv(GL_LIGHT0, GL_DIFFUSE, diffuse);
    glLightfv(GL_LIGHT1, GL_DIFFUSE, diffuse);
    glLightfv(GL_LIGHT0, GL_SPECULAR, specular);
    glLightfv(GL_LIGHT1, GL_SPECULAR, specular);
    glLightfv(GL_LIGHT0, GL_POSITION, position0);
    glLightfv(GL_LIGHT1, GL_POSITION, position1);
    glEnable(GL_LIGHT0);
    glEnable(GL_LIGHT1);
}

}  // namespace

int initGraphics(int* argc, char** argv, int width, int height, bool smoothShading,
                 const MainWindowCallbacks& callbacks, const std::vector<MenuEntry>& menu) {
    glutInit(argc, argv);
    glutInitDisplayMode(GLUT_RGB | GLUT_DOUBLE | GLUT_DEPTH);
    int window = glutCreateWindow(WINDOW_TITLE);
    glutReshapeWindow(width, height);

    glutDisplayFunc(callbacks.display);
    glutReshapeFunc(callbacks.reshape);
    glutKeyboardFunc(callbacks.keyboard);
    glutSpecialFunc(callbacks.special);
    glutMouseFunc(callbacks.mouse);
    glutMotionFunc(callbacks.motion);

    glutCreateMenu(callbacks.menu);
    // The look-around anchor starts at the window's corner.
    callbacks.motion(0, 0);
    glutAttachMenu(GLUT_MIDDLE_BUTTON);
    for (const MenuEntry& entry : menu) glutAddMenuEntry(entry.label, entry.value);

    glClearColor(0.3f, 0.4f, 0.5f, 1.0f);
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_COLOR_MATERIAL);
    glColorMaterial(GL_FRONT_AND_BACK, GL_AMBIENT_AND_DIFFUSE);
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    glEnable(GL_CULL_FACE);
    glEnable(GL_NORMALIZE);
    glShadeModel(smoothShading ? GL_SMOOTH : GL_FLAT);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glEnable(GL_LIGHTING);
    setLights();
    return window;
}

}  // namespace render
