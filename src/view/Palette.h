// The klotz palette's paging arithmetic (the sub-window's KlotzRow): which
// consecutive types are shown, and which one ENTER inserts.
#pragma once

namespace view {

constexpr int PALETTE_HEIGHT = 100;  // pixels
constexpr int PREVIEW_WIDTH = 100;   // pixels per preview

struct Palette {
    int shownTypeCount = 0;
    int rowStart = 0;
    int rowLength = 0;
    int selectedType = 0;
    float subWindowWidth = 0.0f;

    // Types per row for a width in pixels: width * 0.01f truncated (500 px
    // gives 4); 0 below 100 px, when clicks and paging change nothing.
    static int rowLengthFor(float width);

    void init(int typeCount, int width);
    // The width changed: new row length; a selection that left the row goes
    // back to rowStart.
    void layout(int width);
    // A mouse event at pixel x of the strip.
    void click(int x);
    void previousRow();
    void nextRow();
};

}  // namespace view
