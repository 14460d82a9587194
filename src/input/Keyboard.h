// The ASCII key commands of both windows (the GLUT keyboard callback).
#pragma once

#include "input/Commands.h"
#include "input/Keys.h"

namespace input {


// One key event. Keys are exact and case-sensitive; a command key that does
// not apply in the current mode or selection does nothing and prints
// nothing. Keys without a command are echoed to ctx.out and choose the ball
// to follow (code - 48).
void handleKey(CommandContext& ctx, unsigned char key);

}  // namespace input
