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

void drawHelpOverlay(const std::vector<std::string>& lines, int bottomMargin) {
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    const int width = viewport[2];
    const int height = viewport[3];
    void* const font = GLUT_BITMAP_HELVETICA_10;
    // Two columns, the second starting at the group nearest the middle; each
    // line is a key and what it does, split at the first run of blanks.
    std::size_t split = lines.size();
    for (std::size_t i = 1; i < lines.size(); ++i)
        if (lines[i - 1].empty() && std::max(i, lines.size() - i) < std::max(split, lines.size() - split)) split = i;
    struct Entry {
        std::string key, what;
    };
    std::vector<Entry> entries;
    for (const std::string& line : lines) {
        const std::size_t gap = line.find("  ");
        if (gap == std::string::npos) {
            entries.push_back({line, ""});
        } else {
            const std::size_t what = line.find_first_not_of(' ', gap);
            entries.push_back({line.substr(0, gap), what == std::string::npos ? "" : line.substr(what)});
        }
    }
    int keyWidth[2] = {0, 0};
    int columnWidth[2] = {0, 0};
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const int c = i < split ? 0 : 1;
        if (!entries[i].what.empty()) keyWidth[c] = std::max(keyWidth[c], textWidth(font, entries[i].key));
    }
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const int c = i < split ? 0 : 1;
        const int w = entries[i].what.empty() ? textWidth(font, entries[i].key)
                                              : keyWidth[c] + 2 * MARGIN + textWidth(font, entries[i].what);
        columnWidth[c] = std::max(columnWidth[c], w);
    }
    const int rows = static_cast<int>(std::max(split, entries.size() - split));
    const int panelWidth = columnWidth[0] + columnWidth[1] + 7 * MARGIN;
    const int panelHeight = rows * HELP_LINE_HEIGHT + 4 * MARGIN;
    const int left = std::max(0, (width - panelWidth) / 2);
    const int top = std::min(height, bottomMargin + (height - bottomMargin + panelHeight) / 2);

    beginPixels(width, height);
    glColor4f(0.05f, 0.05f, 0.12f, 0.9f);
    glRecti(left, top - panelHeight, left + panelWidth, top);
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const int c = i < split ? 0 : 1;
        const int row = static_cast<int>(c ? i - split : i);
        const int x = left + 2 * MARGIN + (c ? columnWidth[0] + 3 * MARGIN : 0);
        const int y = top - 2 * MARGIN - (row + 1) * HELP_LINE_HEIGHT + 3;
        // Group headings end with a colon and stand out.
        const bool heading = entries[i].what.empty() && !entries[i].key.empty() && entries[i].key.back() == ':';
        if (heading)
            glColor4f(1.0f, 0.85f, 0.3f, 1.0f);
        else
            glColor4f(0.6f, 0.9f, 1.0f, 1.0f);
        text(x, y, font, entries[i].key);
        glColor4f(0.92f, 0.92f, 0.92f, 1.0f);
        if (!entries[i].what.empty()) text(x + keyWidth[c] + 2 * MARGIN, y, font, entries[i].what);
    }
    endPixels();
}

}  // namespace render
