// The main window: creation, callbacks, pop-up menu and fixed GL state.
#pragma once

#include <vector>

namespace render {

constexpr const char* WINDOW_TITLE = "tumbalon 1.0b      press F1 for help";


struct MainWindowCallbacks {
    void (*display)();
    void (*reshape)(int, int);
    void (*keyboard)(unsigned char, int, int);
    void (*special)(int, int, int);
    void (*mouse)(int, int, int, int);
    void (*motion)(int, int);
    void (*menu)(int);
};

// One entry of the middle-button menu: its label and the value the menu
// callback receives.
struct MenuEntry {
    const char* label;
    int value;
};

// glutInit, the window of width x height pixels with its title, the
// callbacks, the middle-button menu with its entries, the clear colour, GL
// state and the two lights. Returns the window id.
int initGraphics(int* argc, char** argv, int width, int height, bool smoothShading,
                 const MainWindowCallbacks& callbacks, const std::vector<MenuEntry>& menu);

}  // namespace render
