// The status line and its message, along the bottom of the scene above the
// palette strip; the help overlay in the middle of the window.
#include <algorithm>

#include <GL/freeglut.h>

#include "render/Hud.h"

namespace render {

namespace {

constexpr int MARGIN = 6;       // pixels
constexpr int LINE_HEIGHT = 15; // GLUT's 12-point Helvetica
constexpr int HELP_LINE_HEIGHT = 13;  // 10-point

void* const FONT = GLUT_BITMAP_HELVETICA_12;

// Pixel coordinates, y up from the viewport's lower-left corner, no depth
// or lighting; undone by endPixels.
void beginPixels(int width, int height) {
    glPushAttrib(GL_ENABLE_BIT | GL_CURRENT_BIT | GL_POLYGON_BIT | GL_COLOR_BUFFER_BIT);
    glDisable(GL_LIGHTING);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_CULL_FACE);
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(0.0, width, 0.0, height, -1.0, 1.0);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
}

void endPixels() {
    glPopMatrix();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glPopAttrib();
}

void text(int x, int y, void* font, const std::string& s) {
    glRasterPos2i(x, y);
    glutBitmapString(font, reinterpret_cast<const unsigned char*>(s.c_str()));
}

int textWidth(void* font, const std::string& s) {
    return glutBitmapLength(font, reinterpret_cast<const unsigned char*>(s.c_str()));
}

}  // namespace

void drawStatusLine(const HudView& hud) {
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    const int width = viewport[2];
    const int height = viewport[3];
    const bool message = !hud.message.empty() && hud.messageOpacity > 0.0f;
    const int lines = 1 + (message ? 1 : 0);
    const int band = lines * LINE_HEIGHT + 2 * MARGIN;
    // Never over the statistics panel: a window too short for both shows
    // only the panel.
    if (hud.bottomMargin + band > height - hud.topReserved) return;

    beginPixels(width, height);
    const int bottom = hud.bottomMargin;
    glColor4f(0.0f, 0.0f, 0.0f, 0.6f);
    glRecti(0, bottom, width, bottom + LINE_HEIGHT + 2 * MARGIN);
    glColor4f(0.85f, 0.95f, 1.0f, 1.0f);
    text(MARGIN, bottom + MARGIN + 3, FONT, hud.status);
    if (message) {
        const int y = bottom + LINE_HEIGHT + 2 * MARGIN;
        const int w = textWidth(FONT, hud.message) + 2 * MARGIN;
        glColor4f(0.0f, 0.0f, 0.0f, 0.6f * hud.messageOpacity);
        glRecti(0, y, w, y + LINE_HEIGHT + MARGIN);
        glColor4f(1.0f, 0.95f, 0.65f, hud.messageOpacity);
        text(MARGIN, y + 4, FONT, hud.message);
    }
    endPixels();
}

void drawHelpOverlay(const std::vector<std::string>& lines) {
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    const int width = viewport[2];
    const int height = viewport[3];
    void* const font = GLUT_BITMAP_HELVETICA_10;
    // Two columns when one would not fit the window's height; an empty line
    // ends a group, and the second column starts at a group.
    const int fit = std::max(1, (height - 4 * MARGIN) / HELP_LINE_HEIGHT);
    std::size_t split = lines.size();
    if (static_cast<int>(lines.size()) > fit) {
        split = lines.size() / 2;
        while (split < lines.size() && !lines[split - 1].empty()) ++split;
    }
    int columnWidth[2] = {0, 0};
    for (std::size_t i = 0; i < lines.size(); ++i)
        columnWidth[i < split ? 0 : 1] = std::max(columnWidth[i < split ? 0 : 1], textWidth(font, lines[i]));
    const int rows = static_cast<int>(std::max(split, lines.size() - split));
    const int panelWidth = columnWidth[0] + (columnWidth[1] ? columnWidth[1] + 3 * MARGIN : 0) + 4 * MARGIN;
    const int panelHeight = rows * HELP_LINE_HEIGHT + 4 * MARGIN;
    const int left = std::max(0, (width - panelWidth) / 2);
    const int top = std::min(height, (height + panelHeight) / 2);

    beginPixels(width, height);
    glColor4f(0.05f, 0.05f, 0.12f, 0.88f);
    glRecti(left, top - panelHeight, left + panelWidth, top);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const bool second = i >= split;
        const int row = static_cast<int>(second ? i - split : i);
        const int x = left + 2 * MARGIN + (second ? columnWidth[0] + 3 * MARGIN : 0);
        const int y = top - 2 * MARGIN - (row + 1) * HELP_LINE_HEIGHT + 3;
        // Group headings end with a colon and stand out.
        const bool heading = !lines[i].empty() && lines[i].back() == ':';
        if (heading)
            glColor4f(1.0f, 0.85f, 0.3f, 1.0f);
        else
            glColor4f(0.92f, 0.92f, 0.92f, 1.0f);
        text(x, y, font, lines[i]);
    }
    endPixels();
}

}  // namespace render
