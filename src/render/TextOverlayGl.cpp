#include <algorithm>

#include <GL/freeglut.h>

#include "render/TextOverlay.h"

namespace render {

namespace {

constexpr int MARGIN = 8;  // pixels around the text

void* fontOf(TextSize size) { return size == TextSize::Small ? GLUT_BITMAP_HELVETICA_12 : GLUT_BITMAP_HELVETICA_18; }
int lineHeightOf(TextSize size) { return size == TextSize::Small ? 15 : 22; }  // pixels

int viewportHeight() {
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    return viewport[3];
}

}  // namespace

int linesThatFit(TextSize size) { return std::max(1, (viewportHeight() - 2 * MARGIN) / lineHeightOf(size)); }

void drawTextLines(const std::vector<std::string>& lines, Corner corner, TextSize size) {
    if (lines.empty()) return;
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    const int width = viewport[2];
    const int height = viewport[3];
    void* const font = fontOf(size);
    const int lineHeight = lineHeightOf(size);

    glPushAttrib(GL_ENABLE_BIT | GL_CURRENT_BIT | GL_POLYGON_BIT);
    glDisable(GL_LIGHTING);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_CULL_FACE);
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);  // also in wireframe mode
    glEnable(GL_BLEND);
    // Pixel coordinates, y up from the viewport's lower-left corner.
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(0.0, width, 0.0, height, -1.0, 1.0);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();

    int textWidth = 0;
    for (const std::string& line : lines)
        textWidth = std::max(textWidth, glutBitmapLength(font, reinterpret_cast<const unsigned char*>(line.c_str())));
    const int left = corner == Corner::TopLeft ? 0 : std::max(0, width - textWidth - 2 * MARGIN);
    const int bandHeight = static_cast<int>(lines.size()) * lineHeight + 2 * MARGIN;
    glColor4f(0.0f, 0.0f, 0.0f, 0.6f);
    glRecti(left, height - bandHeight, left + textWidth + 2 * MARGIN, height);

    glColor4f(1.0f, 0.95f, 0.65f, 1.0f);
    int y = height - MARGIN - lineHeight + 4;  // baseline above the descenders
    for (const std::string& line : lines) {
        glRasterPos2i(left + MARGIN, y);
        glutBitmapString(font, reinterpret_cast<const unsigned char*>(line.c_str()));
        y -= lineHeight;
    }

    glPopMatrix();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glPopAttrib();
}

}  // namespace render
