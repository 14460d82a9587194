// Function, page and arrow keys of both windows, and the look-around drag of
// the main window's mouse (the GLUT special-key, mouse and motion callbacks).
#pragma once

#include "scene/Commands.h"

namespace scene {

// GLUT's special key codes besides the arrows (Editing.h).
constexpr int KEY_F1 = 1;
constexpr int KEY_F2 = 2;
constexpr int KEY_F5 = 5;
constexpr int KEY_F8 = 8;
constexpr int KEY_PAGE_UP = 104;
constexpr int KEY_PAGE_DOWN = 105;

void handleSpecialKey(CommandContext& ctx, int key);
// Any button, press or release: the drag's next step is measured from here.
void handleMouseButton(CommandContext& ctx, int button, int state, int x, int y);
// Called while a button is held: turns the view.
void handleMouseMotion(CommandContext& ctx, int x, int y);

}  // namespace scene
