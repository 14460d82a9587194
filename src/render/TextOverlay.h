// Text drawn over the scene in the main window with GLUT's 18-point
// Helvetica bitmap font: status lines and panels.
#pragma once

#include <string>
#include <vector>

namespace render {

constexpr int TEXT_LINE_HEIGHT = 22;  // pixels
constexpr int TEXT_MARGIN = 10;       // pixels from the window's edge

// Draws lines from the top-right corner down (the statistics panel has the
// top-left), the first at the top, on a dark band so they read over any
// scene. Leaves matrices, the current colour and the enabled state as it
// found them.
void drawTextLines(const std::vector<std::string>& lines);

}  // namespace render
