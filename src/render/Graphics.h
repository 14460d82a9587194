// The main window: creation, callbacks, pop-up menu and fixed GL state.
#pragma once

namespace render {

constexpr const char* WINDOW_TITLE = "tumbalon 1.0b      press F1 for help";


struct MainWindowCallbacks {
    void (*display)();
    void (*reshape)(int, int);
    void (*keyboard)(unsigned char, int, int);
    void (*keyboardUp)(unsigned char, int, int);
    void (*special)(int, int, int);
    void (*mouse)(int, int, int, int);
    void (*motion)(int, int);
    void (*menu)(int);
};

// glutInit, the window with its title (width x height pixels unless the
// command line's -geometry names a size; both then hold the size made), the
// callbacks, the middle-button menu, the clear colour, GL state and the two
// lights. The window is multisampled where the GL offers it. Returns the
// window id.
int initGraphics(int* argc, char** argv, int& width, int& height, bool smoothShading,
                 const MainWindowCallbacks& callbacks);

// With the main window current: multisampling on or off, where the window
// has it.
void setMultisampling(bool on);

}  // namespace render
