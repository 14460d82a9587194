#include <sstream>

#include <gtest/gtest.h>

#include "app/FrameClock.h"
#include "app/FrameLoop.h"
#include "app/Help.h"

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

TEST(FrameTitle, ShowsTheTruncatedRateOfTheWholeInterval) {
    EXPECT_EQ(app::framesPerSecond(0.030), 33);
    EXPECT_EQ(app::framesPerSecond(0.025), 40);
    EXPECT_EQ(app::framesPerSecond(0.026), 38);
    EXPECT_EQ(app::framesPerSecond(3.0), 0);
    EXPECT_EQ(app::framesPerSecond(-0.5), 0);
    EXPECT_EQ(app::framesPerSecond(0.0), 0);
    EXPECT_EQ(app::frameTitle(33), "tumbalon 1.0b      press F1 for help -- fps: 33");
}

TEST(Help, TheDemoLineThenTheLaterKeysAndTwoLineEnds) {
    std::ostringstream out;
    app::printHelp(out);
    const std::string text = out.str();
    EXPECT_EQ(text.rfind("\n\ntumbalon 1.0b\n=============\nesc:\t\t exit", 0), 0u);
    EXPECT_NE(text.find("F1:\t\t help\nF5-F8:\t\t load a demo alley\n"), std::string::npos);
    const std::string tail = "\ng:\t\t show/hide run statistics\n\n";
    ASSERT_GE(text.size(), tail.size());
    EXPECT_EQ(text.substr(text.size() - tail.size()), tail);
    EXPECT_NE(text.find("LR-mousemotion:  lookaround\n"), std::string::npos);
    EXPECT_NE(text.find("BACKSPACE:\t delete selected klotz\n"), std::string::npos);
}

}  // namespace
