#include <sstream>

#include <gtest/gtest.h>

#include "app/FrameClock.h"
#include "app/FrameLoop.h"
#include "app/Help.h"
#include "run/Simulation.h"

namespace {

app::FrameClock::Source fakeSource(bool hasCounter, std::int64_t frequency, std::int64_t* ticks, std::uint32_t* ms) {
    app::FrameClock::Source s;
    s.counterFrequency = [=](std::int64_t* f) {
        *f = frequency;
        return hasCounter;
    };
    s.counter = [=] { return *ticks; };
    s.milliseconds = [=] { return *ms; };
    return s;
}

TEST(FrameClock, ConvertsCounterTicksWithItsFrequency) {
    std::int64_t ticks = 2500000;
    std::uint32_t ms = 0;
    app::FrameClock clock(fakeSource(true, 1000000, &ticks, &ms));
    std::ostringstream out;
    clock.initClock(out);
    EXPECT_TRUE(clock.highResolution);
    EXPECT_DOUBLE_EQ(clock.secondsPerCount, 0.000001);
    EXPECT_DOUBLE_EQ(clock.now(), 2.5);
    EXPECT_EQ(clock.lastReading, 2500000);
    EXPECT_EQ(out.str(), "");
}

TEST(FrameClock, FallsBackToMillisecondsWithTheExactWarning) {
    std::int64_t ticks = 0;
    std::uint32_t ms = 1500;
    app::FrameClock clock(fakeSource(false, 0, &ticks, &ms));
    std::ostringstream out;
    clock.initClock(out);
    EXPECT_FALSE(clock.highResolution);
    EXPECT_EQ(out.str(), "\nWARNING: no performance counter avaliable. approximating with multimedia timer!\n");
    EXPECT_DOUBLE_EQ(clock.now(), 1.5);
    // Two readings within one millisecond are equal.
    EXPECT_EQ(clock.now(), clock.now());
    // Tick counts at or above 2^31 stay positive.
    ms = 0x80000000u;
    EXPECT_DOUBLE_EQ(clock.now(), 2147483.648);
}

TEST(FrameClock, SystemClockIsMonotonic) {
    app::FrameClock clock;
    std::ostringstream out;
    clock.initClock(out);
    EXPECT_TRUE(clock.highResolution);
    double a = clock.now();
    double b = clock.now();
    EXPECT_GE(b, a);
}

TEST(FrameGate, SkipsFramesCloserThanAQuarterTick) {
    const double last = 100.0;
    EXPECT_FALSE(app::frameGatePasses(last + 0.010, last));
    EXPECT_FALSE(app::frameGatePasses(last + 0.020, last));
    EXPECT_FALSE(app::frameGatePasses(last, last));
    // The test is strictly-less-than: exactly 0.025 s draws.
    EXPECT_TRUE(app::frameGatePasses(0.025, 0.0));
    EXPECT_TRUE(app::frameGatePasses(last + 0.030, last));
}

TEST(FrameGate, DrawsAfterTheClockWrapsInsteadOfFreezing) {
    // The millisecond clock restarted near 0 after 2^32 ms.
    EXPECT_TRUE(app::frameGatePasses(0.005, 4294967.0));
}

TEST(FramePlan, SleepsUntilTheNextFrameIsDue) {
    EXPECT_NEAR(app::sleepBeforeNextFrame(100.010, 100.0), 0.015, 1e-9);
    EXPECT_EQ(app::sleepBeforeNextFrame(100.025, 100.0), 0.0);
    EXPECT_EQ(app::sleepBeforeNextFrame(100.5, 100.0), 0.0);
    EXPECT_EQ(app::sleepBeforeNextFrame(0.005, 4294967.0), 0.0);  // the clock wrapped: draw now
    EXPECT_FALSE(app::planFrame(100.010, 100.0, 99.0, true, 2.0).draw);
}

TEST(FramePlan, ASlowFrameDoesNotMakeTheNextAskForMore) {
    // An ordinary frame at double speed.
    app::FramePlan plan = app::planFrame(10.025, 10.0, 10.0, true, 2.0);
    EXPECT_TRUE(plan.draw);
    EXPECT_NEAR(plan.simulatedSeconds, 0.05, 1e-9);
    // Three seconds behind: only the cap's worth.
    plan = app::planFrame(13.0, 12.975, 10.0, true, 2.0);
    EXPECT_DOUBLE_EQ(plan.simulatedSeconds, app::MAX_FRAME_CATCH_UP * 2.0);
    EXPECT_LE(plan.simulatedSeconds, 0.25);
    // Paused or building: none; a clock that went back: none.
    EXPECT_EQ(app::planFrame(13.0, 12.9, 10.0, false, 2.0).simulatedSeconds, 0.0);
    EXPECT_EQ(app::planFrame(9.0, 12.9, 10.0, true, 2.0).simulatedSeconds, 0.0);
}

TEST(FramePlan, SlowMotionRunsFewerStepsPerFrame) {
    scene::SceneState state;
    run::Run runState;
    for (int step = 0; step < run::PLAYBACK_STEPS; ++step) {
        runState.playbackStep = step;
        const double factor = run::PLAYBACK_FACTORS[step];
        state.followBall = false;
        EXPECT_NEAR(app::planFrame(10.025, 10.0, 10.0, true, run::playbackSpeed(state, runState)).simulatedSeconds,
                    0.05 * factor, 1e-9);
        state.followBall = true;  // riding a ball plays at real time
        EXPECT_NEAR(app::planFrame(10.025, 10.0, 10.0, true, run::playbackSpeed(state, runState)).simulatedSeconds,
                    0.025 * factor, 1e-9);
    }
}

TEST(FrameTitle, ShowsTheTruncatedRateOfTheWholeInterval) {
    EXPECT_EQ(app::framesPerSecond(0.030), 33);
    EXPECT_EQ(app::framesPerSecond(0.025), 40);
    EXPECT_EQ(app::framesPerSecond(0.026), 38);
    EXPECT_EQ(app::framesPerSecond(3.0), 0);
    EXPECT_EQ(app::framesPerSecond(-0.5), 0);
    EXPECT_EQ(app::framesPerSecond(0.0), 0);
    EXPECT_EQ(app::frameTitle(33), "tumbalon 1.0b      press F1 for help -- fps: 33");
}

TEST(Help, KeepsTheOriginalTextWithTheNewKeysAfterIt) {
    std::ostringstream out;
    app::printHelp(out);
    const std::string text = out.str();
    EXPECT_EQ(text.rfind("\n\ntumbalon 1.0b\n=============\nesc:\t\t exit", 0), 0u);
    const std::string original = "F1:\t\t help\nF5-F8:\t\t load a demo alley\n\nCTRL+Z:\t\t undo";
    EXPECT_NE(text.find(original), std::string::npos);
    EXPECT_NE(text.find("n:\t\t one step forward while paused\n"), std::string::npos);
    EXPECT_EQ(text.substr(text.size() - 2), "\n\n");
    EXPECT_NE(text.find("LR-mousemotion:  lookaround\n"), std::string::npos);
    EXPECT_NE(text.find("BACKSPACE:\t delete selected klotz\n"), std::string::npos);
}

}  // namespace
