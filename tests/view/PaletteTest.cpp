#include <gtest/gtest.h>

#include "view/Palette.h"

namespace {

using namespace view;

view::Palette palette(int types, int width) {
    view::Palette p;
    p.init(types, width);
    return p;
}

TEST(PaletteRowLength, SinglePrecisionHundredthTruncated) {
    EXPECT_EQ(view::Palette::rowLengthFor(500.0f), 4);
    EXPECT_EQ(view::Palette::rowLengthFor(550.0f), 5);
    EXPECT_EQ(view::Palette::rowLengthFor(800.0f), 7);
    EXPECT_EQ(view::Palette::rowLengthFor(101.0f), 1);
    EXPECT_EQ(view::Palette::rowLengthFor(99.0f), 0);
    EXPECT_EQ(view::Palette::rowLengthFor(-300.0f), 0);
}

TEST(PalettePaging, TwentyThreeTypesInFiveHundredPixels) {
    view::Palette p = palette(23, 500);
    ASSERT_EQ(p.rowLength, 4);
    EXPECT_EQ(p.selectedType, 0);
    for (int expected : {4, 8, 12, 16, 20}) {
        p.nextRow();
        EXPECT_EQ(p.rowStart, expected);
        EXPECT_EQ(p.selectedType, expected);
    }
    p.nextRow();  // the sixth changes nothing
    EXPECT_EQ(p.rowStart, 20);
    EXPECT_EQ(p.selectedType, 20);
    p.previousRow();
    EXPECT_EQ(p.rowStart, 16);
    EXPECT_EQ(p.selectedType, 16);
}

TEST(PalettePaging, PageUpInTheFirstRowKeepsASelectionInside) {
    view::Palette p = palette(23, 500);
    p.click(250);
    p.previousRow();
    EXPECT_EQ(p.rowStart, 0);
    EXPECT_EQ(p.selectedType, 2);
}

TEST(PaletteClick, PicksThePreviewUnderThePointer) {
    view::Palette p = palette(23, 500);
    p.nextRow();
    p.click(450);  // past the fourth preview's right edge at 400
    EXPECT_EQ(p.selectedType, p.rowStart + 3);
    p.click(150);
    EXPECT_EQ(p.selectedType, p.rowStart + 1);
    p.click(-150);  // pointer dragged off the strip's left edge
    EXPECT_EQ(p.selectedType, p.rowStart);
}

TEST(PaletteClick, ShortLastRowNeverSelectsBeyondTheCatalogue) {
    view::Palette p = palette(23, 500);
    for (int i = 0; i < 5; ++i) p.nextRow();
    ASSERT_EQ(p.rowStart, 20);
    p.click(350);  // the fourth slot of the row is empty: types end at 22
    EXPECT_EQ(p.selectedType, 22);
}

TEST(PaletteLayout, GrowingKeepsAndShrinkingResetsTheSelection) {
    view::Palette p = palette(23, 500);
    p.nextRow();
    p.click(350);
    ASSERT_EQ(p.selectedType, 7);
    p.layout(800);
    EXPECT_EQ(p.rowLength, 7);
    EXPECT_EQ(p.selectedType, 7);
    EXPECT_EQ(p.rowStart, 4);  // not realigned
    p.layout(250);
    EXPECT_EQ(p.rowLength, 2);
    EXPECT_EQ(p.selectedType, 4);
}

TEST(PaletteNarrow, BelowOnePreviewTheSelectionStaysValidAndUnchanged) {
    view::Palette p = palette(23, 500);
    p.nextRow();
    p.click(250);
    ASSERT_EQ(p.selectedType, 6);
    p.layout(60);
    EXPECT_EQ(p.rowLength, 0);
    p.click(30);
    p.nextRow();
    p.previousRow();
    EXPECT_EQ(p.rowStart, 4);
    EXPECT_EQ(p.selectedType, 6);
    p.layout(500);  // back to a real row: the usual rule applies again
    EXPECT_EQ(p.selectedType, 6);

    view::Palette narrowFromStart = palette(23, 40);
    narrowFromStart.click(10);
    narrowFromStart.previousRow();
    EXPECT_EQ(narrowFromStart.selectedType, 0);
}

TEST(PaletteEmpty, NoTypesLeavesTheSelectionAtZero) {
    view::Palette p = palette(0, 500);
    p.click(350);
    p.nextRow();
    p.previousRow();
    p.layout(900);
    EXPECT_EQ(p.rowStart, 0);
    EXPECT_EQ(p.selectedType, 0);
}

}  // namespace
