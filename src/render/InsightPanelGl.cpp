#include <algorithm>

#include <GL/freeglut.h>

#include "render/InsightPanel.h"

namespace render {

namespace {

void* const PANEL_FONT = GLUT_BITMAP_HELVETICA_12;

// Pixel coordinates with y up, origin at the viewport's lower-left corner.
void loadPixelMatrices(int width, int height) {
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(0.0, width, 0.0, height, -1.0, 1.0);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
}

void restoreMatrices() {
    glMatrixMode(GL_MODELVIEW);
    glPopMatrix();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
}

}  // namespace

void drawInsightPanel(const scene::RunInsight& insight, bool running) {
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    const int width = viewport[2];
    const int height = viewport[3];
    const int maxLines = std::max(1, (height - 2 * PANEL_MARGIN) / PANEL_LINE_HEIGHT);
    const std::vector<std::string> lines = insightPanelLines(insight, running, maxLines);
    int textWidth = 0;
    for (const std::string& line : lines)
        textWidth =
            std::max(textWidth, glutBitmapLength(PANEL_FONT, reinterpret_cast<const unsigned char*>(line.c_str())));

    glPushAttrib(GL_ENABLE_BIT | GL_CURRENT_BIT | GL_POLYGON_BIT);
    glDisable(GL_LIGHTING);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_CULL_FACE);
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);  // also in wireframe mode
    glEnable(GL_BLEND);
    loadPixelMatrices(width, height);

    // A dark backing keeps the text readable over any part of the scene.
    const int panelHeight = static_cast<int>(lines.size()) * PANEL_LINE_HEIGHT + 2 * PANEL_MARGIN;
    glColor4f(0.0f, 0.0f, 0.0f, 0.6f);
    glRecti(0, height - panelHeight, textWidth + 2 * PANEL_MARGIN, height);

    glColor4f(1.0f, 0.9f, 0.5f, 1.0f);
    int y = height - PANEL_MARGIN - PANEL_LINE_HEIGHT + 3;  // baseline above the descenders
    for (const std::string& line : lines) {
        glRasterPos2i(PANEL_MARGIN, y);
        glutBitmapString(PANEL_FONT, reinterpret_cast<const unsigned char*>(line.c_str()));
        y -= PANEL_LINE_HEIGHT;
    }

    restoreMatrices();
    glPopAttrib();
}

}  // namespace render
