#include <gtest/gtest.h>

#include "input/History.h"

using namespace scene;
using namespace input;

namespace {

SceneSnapshot numbered(int n) {
    SceneSnapshot s;
    s.scene.klotzTypes.assign(1, n);
    return s;
}

int number(const std::optional<SceneSnapshot>& s) { return s ? s->scene.klotzTypes.at(0) : -1; }

TEST(EditHistory, KeepsTheNewestThousandStepsAndDropsTheOldest) {
    EditHistory history;
    for (int n = 0; n < 1005; ++n) history.record(numbered(n));
    EXPECT_EQ(history.undoSteps(), 1000u);
    int last = -1;
    for (std::optional<SceneSnapshot> s; (s = history.undo(numbered(-2)));) last = number(s);
    EXPECT_EQ(last, 5);
    EXPECT_EQ(history.redoSteps(), 1000u);
    history.record(numbered(1));  // a new change after undoing drops the redo steps
    EXPECT_EQ(history.redoSteps(), 0u);
    EXPECT_EQ(history.bytes(), snapshotBytes(numbered(1)));
}

TEST(EditHistory, AMemoryCapDropsOldStepsButKeepsTheNewest) {
    const std::size_t one = snapshotBytes(numbered(0));
    EditHistory history(1000, 3 * one);
    for (int n = 0; n < 5; ++n) history.record(numbered(n));
    EXPECT_EQ(history.undoSteps(), 3u);
    EXPECT_EQ(history.bytes(), 3 * one);

    EditHistory tiny(1000, one / 2);
    tiny.record(numbered(7));
    tiny.record(numbered(8));
    EXPECT_EQ(number(tiny.undo(numbered(9))), 8);
    EXPECT_EQ(number(tiny.redo(numbered(8))), 9);
}

}  // namespace
