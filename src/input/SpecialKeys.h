// Function, page and arrow keys of both windows, and the look-around drag of
// the main window's mouse (the GLUT special-key, mouse and motion callbacks).
#pragma once

#include "input/Commands.h"
#include "input/Keys.h"

namespace input {


void handleSpecialKey(CommandContext& ctx, int key);
// Any button, press or release: the drag's next step is measured from here.
void handleMouseButton(CommandContext& ctx, int button, int state, int x, int y);
// Called while a button is held: turns the view.
void handleMouseMotion(CommandContext& ctx, int x, int y);

}  // namespace input
