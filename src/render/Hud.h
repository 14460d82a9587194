// What the main window shows over the scene while the user builds and
// plays: the cell under the pointer, a ghost of the chosen piece there with
// its openings marked, the status line with its message, and the help
// overlay. Drawn after the scene, before the buffers are swapped.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "render/Openings.h"

namespace render {

struct PointedCell {
    int row = 0;
    int column = 0;
    int level = 0;  // the free level on the cell's stack
};

struct HudView {
    std::optional<PointedCell> pointed;  // building mode only
    int ghostList = 0;                   // display list of the chosen type; 0: no ghost
    std::vector<int> ghostPartLists;     // its moving parts', drawn at rest with it
    int ghostTurn = 0;                   // quarter turns about the vertical
    const std::vector<Opening>* openings = nullptr;
    std::string status;
    std::string message;
    float messageOpacity = 0.0f;
    int bottomMargin = 0;  // pixels kept free at the bottom (the palette strip)
    int topReserved = 0;   // pixels taken at the top-left (the statistics panel)
    const std::vector<std::string>* help = nullptr;  // the help overlay, when shown
};

// The 3-D part: outline of the pointed cell's top and the translucent ghost.
// Leaves GL state and matrices as found.
void drawPointedCell(const HudView& hud);
// The 2-D part: status line, message and the help overlay.
void drawStatusLine(const HudView& hud);
// Centred over the scene above bottomMargin pixels (the palette strip).
void drawHelpOverlay(const std::vector<std::string>& lines, int bottomMargin);

inline void drawHud(const HudView& hud) {
    drawPointedCell(hud);
    drawStatusLine(hud);
    if (hud.help) drawHelpOverlay(*hud.help, hud.bottomMargin);
}

}  // namespace render
