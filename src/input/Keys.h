// The key codes GLUT hands the keyboard and special-key callbacks: the one
// place they are named.
#pragma once

namespace input {

// ASCII keys.
constexpr unsigned char KEY_BACKSPACE = 8;
constexpr unsigned char KEY_ENTER = 13;
constexpr unsigned char KEY_ESCAPE = 27;
constexpr unsigned char KEY_SPACE = 32;

// GLUT hands Ctrl+letter over as the control code.
constexpr unsigned char KEY_CTRL_C = 3;
constexpr unsigned char KEY_CTRL_S = 19;
constexpr unsigned char KEY_CTRL_V = 22;
constexpr unsigned char KEY_CTRL_Y = 25;
constexpr unsigned char KEY_CTRL_Z = 26;

// Special keys.
constexpr int KEY_F1 = 1;
constexpr int KEY_F2 = 2;
constexpr int KEY_F5 = 5;
constexpr int KEY_F8 = 8;
constexpr int KEY_LEFT = 100;
constexpr int KEY_UP = 101;
constexpr int KEY_RIGHT = 102;
constexpr int KEY_DOWN = 103;
constexpr int KEY_PAGE_UP = 104;
constexpr int KEY_PAGE_DOWN = 105;

}  // namespace input
