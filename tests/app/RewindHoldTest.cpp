#include <gtest/gtest.h>

#include "app/RewindHold.h"

namespace {

constexpr double STEP = 0.01;   // seconds of one recorded step
constexpr double FRAME = 0.025;

// Holds b from t = 0 for `seconds` with X's auto-repeat (a release and a
// press together every 40 ms after 660 ms) and frames every 25 ms; returns
// the simulated seconds rewound, counting the first press's one step.
double heldRewind(double seconds, double pace, bool autoRepeat = true) {
    app::RewindHold hold;
    long steps = app::pressRewind(hold, 0.0) ? 1 : 0;
    double nextRepeat = 0.66;
    for (double t = FRAME; t <= seconds + 1e-9; t += FRAME) {
        while (autoRepeat && nextRepeat <= t) {
            app::releaseRewind(hold, nextRepeat);
            EXPECT_FALSE(app::pressRewind(hold, nextRepeat + 0.001)) << "a repeat at " << nextRepeat;
            nextRepeat += 0.04;
        }
        steps += app::rewindSteps(hold, t, pace, STEP);
    }
    app::releaseRewind(hold, seconds);
    for (double t = seconds + FRAME; t < seconds + 1.0; t += FRAME) steps += app::rewindSteps(hold, t, pace, STEP);
    return static_cast<double>(steps) * STEP;
}

TEST(RewindHold, ATapStepsOnceAndTapsInARowAreNotAHold) {
    app::RewindHold hold;
    for (int i = 0; i < 5; ++i) {
        const double t = 0.1 * i;
        EXPECT_TRUE(app::pressRewind(hold, t));
        EXPECT_EQ(app::rewindSteps(hold, t + 0.02, 2.0, STEP), 0);
        app::releaseRewind(hold, t + 0.03);
        EXPECT_EQ(app::rewindSteps(hold, t + 0.08, 2.0, STEP), 0);
    }
}

TEST(RewindHold, HoldingRewindsAtLeastAtThePlaybackPaceAndFasterTheLongerItIsHeld) {
    // Two seconds at the normal pace (2 simulated seconds a second) go back
    // over 10 s of a run; with or without the key's auto-repeat.
    EXPECT_GT(heldRewind(2.0, 2.0), 10.0);
    EXPECT_NEAR(heldRewind(2.0, 2.0, false), heldRewind(2.0, 2.0), 0.05);
    for (double pace : {0.125, 2.0, 8.0}) {
        const double first = heldRewind(1.0, pace);
        EXPECT_GE(first, pace * (1.0 - app::REWIND_HOLD_DELAY)) << pace;
        EXPECT_GT(heldRewind(2.0, pace) - first, 1.5 * first) << pace;  // the second second goes faster
    }
    // Slow motion rewinds no slower than the old key repeat did (25 steps a second).
    EXPECT_GE(heldRewind(3.0, 0.0625), 0.25 * (3.0 - app::REWIND_HOLD_DELAY));
}

}  // namespace
