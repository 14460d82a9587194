// Paging arithmetic of the klotz palette. Invariant while rowLength > 0 and
// types exist: rowStart <= selectedType < min(rowStart + rowLength,
// shownTypeCount). A strip narrower than one preview (rowLength 0) shows
// nothing, and clicks, paging and reshapes then leave the selection alone.
#include "view/Palette.h"

#include <algorithm>

namespace view {

int Palette::rowLengthFor(float width) {
    // The single-precision 0.01 is slightly below 0.01, so exact multiples
    // of 100 pixels give one preview fewer (500 px: 4). The product is taken
    // without rounding it back to float, which would give 5 again.
    double length = static_cast<double>(width) * static_cast<double>(0.01f);
    if (!(length > 0.0)) return 0;  // also NaN
    return static_cast<int>(std::min(length, 1e9));
}

void Palette::init(int typeCount, int width) {
    shownTypeCount = std::max(typeCount, 0);
    rowStart = 0;
    selectedType = 0;
    subWindowWidth = static_cast<float>(width);
    rowLength = rowLengthFor(subWindowWidth);
}

void Palette::layout(int width) {
    subWindowWidth = static_cast<float>(width);
    rowLength = rowLengthFor(subWindowWidth);
    if (rowLength > 0 && selectedType >= rowStart + rowLength) selectedType = rowStart;
}

void Palette::click(int x) {
    if (rowLength <= 0 || shownTypeCount <= 0) return;
    // Pixels left of the strip (negative x) and gaps after the last type
    // select the nearest shown type, never one outside the row or catalogue.
    int slot = std::max(x, 0) / PREVIEW_WIDTH;
    int lastShown = std::min(rowStart + rowLength, shownTypeCount) - 1;
    selectedType = std::min(rowStart + slot, lastShown);
}

void Palette::previousRow() {
    if (rowLength <= 0) return;
    if (rowStart >= rowLength) {
        rowStart -= rowLength;
        selectedType = rowStart;
    } else {
        rowStart = 0;
        if (selectedType >= rowLength) selectedType = 0;
    }
}

void Palette::nextRow() {
    if (rowLength <= 0) return;
    if (shownTypeCount - rowStart > rowLength) {
        rowStart += rowLength;
        selectedType = rowStart;
    }
}

}  // namespace view
