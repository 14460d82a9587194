// Pointing at the scene with the mouse while building: a click selects the
// cell under the pointer, a shift-click or a right click places the chosen
// type there as ENTER would, the wheel turns the ghost; a drag of any
// button still looks around.
#pragma once

#include <optional>

#include "input/Commands.h"
#include "view/Pick.h"

namespace input {

// GLUT's button and state codes; freeglut reports the wheel as buttons 3/4.
constexpr int BUTTON_LEFT = 0;
constexpr int BUTTON_MIDDLE = 1;
constexpr int BUTTON_RIGHT = 2;
constexpr int WHEEL_UP = 3;
constexpr int WHEEL_DOWN = 4;
constexpr int BUTTON_DOWN = 0;
constexpr int BUTTON_UP = 1;

// The pointer as the main window last saw it.
struct Pointer {
    bool pressed = false;  // a button is held
    int button = -1;
    int pressX = 0;  // where it went down, window pixels
    int pressY = 0;
    int x = -1;  // last position over the main window; -1: elsewhere
    int y = -1;
};

enum class PointerAction { NONE, SELECTED, PLACED, TURNED };

// The cell under pixel (x, y) of the width x height main window.
std::optional<view::PickedCell> cellUnderPointer(const CommandContext& ctx, int x, int y, int width, int height);

// A button event of the main window (after the look anchor is set). In
// building mode a release without a drag selects the cell under the pointer
// (left button) or places the chosen type on it (left with shift, or right)
// as one undo step; wheel presses turn the ghost. Says what it did.
PointerAction pointerButton(CommandContext& ctx, Pointer& pointer, int button, int buttonState, int x, int y,
                            bool shift, int width, int height);

// The selection moves to the cell, as the arrows would have moved it; a
// selected klotz stays selected only on its own cell.
void selectCell(CommandContext& ctx, int row, int column);

}  // namespace input
