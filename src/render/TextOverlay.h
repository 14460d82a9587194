// Text drawn over the scene in the main window with GLUT's Helvetica bitmap
// fonts: the status line and the statistics panel.
#pragma once

#include <string>
#include <vector>

namespace render {

enum class Corner { TopLeft, TopRight };
enum class TextSize { Small, Large };  // GLUT's 12- and 18-point Helvetica

// Lines of text of that size that fit in the current viewport's height.
int linesThatFit(TextSize size);

// Draws lines from a top corner down, the first at the top, on a dark band
// so they read over any scene. Leaves matrices, the current colour and the
// enabled state as it found them.
void drawTextLines(const std::vector<std::string>& lines, Corner corner, TextSize size);

}  // namespace render
