// The palette strip along the bottom of the main window: a GLUT sub-window
// with its own GL context showing one row of spinning klotz previews. The
// paging arithmetic is Palette's; this is the window around it.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "klotz/Catalogue.h"
#include "render/Colours.h"
#include "view/Palette.h"

namespace render {

constexpr float SPIN_DEGREES_PER_SECOND = 120.0f;  // one turn in 3 s

struct SubWindowState {
    explicit SubWindowState(view::Palette& shown) : palette(&shown) {}

    view::Palette* palette;  // owned by the caller; insertion reads its selectedType
    int subWindow = 0;
    int parentWindow = 0;
    std::vector<int> previewLists;  // per type, in the sub-window's context
    float spinAngle = 0.0f;         // degrees, kept in [0, 360)
    double spinClock = 0.0;         // frame clock seconds of the last draw
    Rgba previewColour{0.5f, 0.0f, 0.0f, 1.0f};
    Rgba previewSelectedColour{0.0f, 1.0f, 0.0f, 1.0f};
};

// Turns the previews by 120 degrees per second since the last draw.
void advanceSpin(SubWindowState& state, double now);

// The label under preview type: its number in decimal.
std::string typeLabel(int type);

struct SubWindowCallbacks {
    void (*display)();
    void (*mouse)(int, int, int, int);
    void (*keyboard)(unsigned char, int, int);  // the main window's key handlers
    void (*special)(int, int, int);
};

// Creates the strip in parentWindow (whose size is width x height), registers
// the callbacks, sets its GL state and compiles a flat preview of every type.
// Returns the window id.
int initSubWindow(SubWindowState& state, int parentWindow, int width, int height,
                  const klotz::KlotzCatalogue& catalogue, const SubWindowCallbacks& callbacks, double now);

// Places the strip over the bottom 100 pixels of a width x height main window
// and sets its viewport and projection. Makes the sub-window current for the
// GL calls and restores the previously current window.
void layoutSubWindow(SubWindowState& state, int width, int height);

// The display callback's work: one row of previews and their numbers.
void drawSubWindow(SubWindowState& state, double now);

// Any mouse-button event, pressed or released, picks the type under x.
void subWindowClick(SubWindowState& state, int button, int buttonState, int x, int y);

// Deletes the preview lists.
void releaseSubWindow(SubWindowState& state);

}  // namespace render
