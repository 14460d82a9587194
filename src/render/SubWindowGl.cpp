#include <algorithm>

#include <GL/freeglut.h>

#include "klotz/DisplayLists.h"
#include "render/SubWindow.h"

namespace render {

namespace {

constexpr int STRIP_HEIGHT = view::PALETTE_HEIGHT;  // pixels

void setStripGlState() {
    glClearColor(0.3f, 0.4f, 0.5f, 1.0f);
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_COLOR_MATERIAL);
    glColorMaterial(GL_FRONT, GL_AMBIENT_AND_DIFFUSE);
    glPolygonMode(GL_FRONT, GL_FILL);
    glEnable(GL_CULL_FACE);
    glEnable(GL_NORMALIZE);
    glShadeModel(GL_FLAT);
    glEnable(GL_LIGHTING);
    const GLfloat ambient[] = {0.6f, 0.6f, 0.6f, 0.0f};
    const GLfloat diffuse[] = {1.0f, 1.0f, 1.0f, 0.0f};
    const GLfloat specular[] = {0.0f, 0.0f, 0.0f, 0.0f};
    const GLfloat position[] = {-30.0f, 30.0f, 0.0f, 1.0f};
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();  // the light's position is given in world units of the strip
    glLightfv(GL_LIGHT0, GL_AMBIENT, ambient);
    glLightfv(GL_LIGHT0, GL_DIFFUSE, diffuse);
    glLightfv(GL_LIGHT0, GL_SPECULAR, specular);
    glLightfv(GL_LIGHT0, GL_POSITION, position);
    glEnable(GL_LIGHT0);
}

void drawLabel(int type) {
    glDisable(GL_LIGHTING);
    glColor3ub(0, 0, 0);
    glRasterPos2i(-48, -57);
    for (char c : typeLabel(type)) glutBitmapCharacter(GLUT_BITMAP_HELVETICA_18, c);
    glEnable(GL_LIGHTING);
}

// The type's name along the top of its slot (the k-th shown), in pixels.
void drawName(const std::string& name, int slot, float stripWidth) {
    glDisable(GL_LIGHTING);
    glDisable(GL_DEPTH_TEST);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(0.0, stripWidth, 0.0, STRIP_HEIGHT, -1.0, 1.0);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    glColor3ub(255, 255, 255);
    glRasterPos2i(slot * view::PREVIEW_WIDTH + 4, STRIP_HEIGHT - 12);
    glutBitmapString(GLUT_BITMAP_HELVETICA_10, reinterpret_cast<const unsigned char*>(name.c_str()));
    glPopMatrix();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_LIGHTING);
}

}  // namespace

int initSubWindow(SubWindowState& state, int parentWindow, int width, int height,
                  const klotz::KlotzCatalogue& catalogue, const SubWindowCallbacks& callbacks, double now) {
    view::Palette& palette = *state.palette;
    palette.init(catalogue.typeCount(), width);
    state.spinClock = now;

    // Provisional place and size; layoutSubWindow sets the real ones.
    state.subWindow = glutCreateSubWindow(parentWindow, 10, 10, 200, 200);
    glutDisplayFunc(callbacks.display);
    glutMouseFunc(callbacks.mouse);
    // The main window's handlers: keys work the same whichever window has focus.
    glutKeyboardFunc(callbacks.keyboard);
    glutSpecialFunc(callbacks.special);
    layoutSubWindow(state, width, height);

    setStripGlState();
    state.previewColour = {0.5f, 0.0f, 0.0f, 1.0f};
    state.previewSelectedColour = {0.0f, 1.0f, 0.0f, 1.0f};

    // This context shares nothing with the main window, so every type gets
    // its own flat preview list here.
    state.typeNames.clear();
    for (const klotz::KlotzType& type : catalogue.klotzTypes) state.typeNames.push_back(type.name);
    state.previewLists.clear();
    state.previewLists.reserve(catalogue.klotzTypes.size());
    for (const klotz::KlotzType& type : catalogue.klotzTypes)
        state.previewLists.push_back(klotz::buildDisplayList(klotz::meshAtRest(type), false));
    state.parentWindow = parentWindow;
    return state.subWindow;
}

void layoutSubWindow(SubWindowState& state, int width, int height) {
    int previous = glutGetWindow();
    if (state.subWindow != 0 && previous != state.subWindow) glutSetWindow(state.subWindow);

    glutPositionWindow(0, height - STRIP_HEIGHT);
    glutReshapeWindow(width, STRIP_HEIGHT);
    view::Palette& palette = *state.palette;
    palette.layout(width);

    glViewport(0, 0, static_cast<GLsizei>(palette.subWindowWidth), STRIP_HEIGHT);
    // One world unit per pixel across; the previews are seen slightly from
    // above. As in the main window the view lives in the projection matrix.
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(-25.0, palette.subWindowWidth - 25.0, -40.0, 70.0, -1.0, 100.0);
    gluLookAt(0.0, 50.0, 30.0, 0.0, 30.0, 0.0, 0.0, 1.0, 0.0);

    if (previous != 0 && previous != glutGetWindow()) glutSetWindow(previous);
}

void drawSubWindow(SubWindowState& state, double now) {
    const view::Palette& palette = *state.palette;
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    glColor4fv(state.previewColour.data());
    advanceSpin(state, now);

    // The k-th shown type sits at x = 25 + 100k, the middle of its 100 pixels.
    glTranslatef(-75.0f, 25.0f, -25.0f);
    int shown = std::min(palette.shownTypeCount, static_cast<int>(state.previewLists.size()));
    for (int i = palette.rowStart; i < palette.rowStart + palette.rowLength && i < shown; ++i) {
        glTranslatef(static_cast<float>(view::PREVIEW_WIDTH), 0.0f, 0.0f);
        glPushMatrix();
        glRotatef(state.spinAngle, 0.0f, 1.0f, 0.0f);
        GLuint list = static_cast<GLuint>(state.previewLists[static_cast<std::size_t>(i)]);
        if (i == palette.selectedType) {
            glColor4fv(state.previewSelectedColour.data());
            glCallList(list);
            glColor4fv(state.previewColour.data());
        } else {
            glCallList(list);
        }
        glPopMatrix();
        drawLabel(i);
        if (static_cast<std::size_t>(i) < state.typeNames.size())
            drawName(state.typeNames[static_cast<std::size_t>(i)], i - palette.rowStart, palette.subWindowWidth);
        glColor4fv(state.previewColour.data());
    }
    glPopMatrix();
    glFlush();
    glutSwapBuffers();
}

void subWindowClick(SubWindowState& state, int /*button*/, int /*buttonState*/, int x, int /*y*/) {
    state.palette->click(x);
}

void releaseSubWindow(SubWindowState& state) {
    if (!state.previewLists.empty() && state.subWindow != 0) {
        int previous = glutGetWindow();
        glutSetWindow(state.subWindow);
        for (int list : state.previewLists)
            if (list != 0) glDeleteLists(static_cast<GLuint>(list), 1);
        if (previous != 0 && previous != state.subWindow) glutSetWindow(previous);
    }
    state.typeNames.clear();
    state.previewLists.clear();
}

}  // namespace render
