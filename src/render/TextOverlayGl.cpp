#include <algorithm>

#include <GL/freeglut.h>

#include "render/TextOverlay.h"

namespace render {

void drawTextLines(const std::vector<std::string>& lines) {
    if (lines.empty()) return;
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    const int width = viewport[2];
    const int height = viewport[3];

    glPushAttrib(GL_ENABLE_BIT | GL_CURRENT_BIT | GL_POLYGON_BIT);
    glDisable(GL_LIGHTING);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_CULL_FACE);
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);  // also in wireframe mode
    glEnable(GL_BLEND);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(0.0, width, 0.0, height, -1.0, 1.0);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();

    int longest = 0;
    for (const std::string& line : lines)
        longest = std::max(longest, glutBitmapLength(GLUT_BITMAP_HELVETICA_18,
                                                     reinterpret_cast<const unsigned char*>(line.c_str())));
    const int top = height - TEXT_MARGIN / 2;
    const int bottom = top - TEXT_LINE_HEIGHT * static_cast<int>(lines.size()) - TEXT_MARGIN / 2;
    glColor4f(0.0f, 0.0f, 0.0f, 0.55f);
    const int left = std::max(0, width - longest - 2 * TEXT_MARGIN);
    glRecti(left, bottom, width, height);

    glColor4f(1.0f, 1.0f, 0.75f, 1.0f);
    int y = top - TEXT_LINE_HEIGHT + 5;
    for (const std::string& line : lines) {
        glRasterPos2i(left + TEXT_MARGIN, y);
        for (char c : line) glutBitmapCharacter(GLUT_BITMAP_HELVETICA_18, c);
        y -= TEXT_LINE_HEIGHT;
    }

    glPopMatrix();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glPopAttrib();
}

}  // namespace render
