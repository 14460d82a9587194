// Listening to the synthesiser's rendered samples: timing, loudness and
// colour of impacts and rolling, the voice limits, the limiter, muting and
// determinism.
#include <gtest/gtest.h>

#include "Listening.h"
#include "audio/Synthesiser.h"

namespace {

using audio::Impact;
using audio::Rolling;
using audio::Surface;
using audio::Synthesiser;
using namespace listening;

constexpr double STEP = 0.01;

Samples render(Synthesiser& synth, double seconds) {
    Samples out;
    synth.renderUntil(seconds, out);
    return out;
}

Samples oneImpact(Surface what, float speed, double time, double seconds) {
    Synthesiser synth;
    synth.impact({0, what, speed, {}}, time);
    return render(synth, seconds);
}

// A ball reported rolling at `speed` every step of [from, to).
void roll(Synthesiser& synth, int ball, float speed, double from, double to) {
    for (double t = from; t < to; t += STEP) synth.rolling({ball, speed, true}, t);
}

// Balls rolling and striking all kinds of surface for a second.
void busyRun(Synthesiser& synth) {
    for (int ball = 0; ball < 20; ++ball) roll(synth, ball, 40.0f + 20.0f * ball, 0.0, 1.0);
    for (int i = 0; i < 60; ++i) synth.impact({i % 20, Surface(i % 3), 30.0f + 25.0f * i, {}}, 0.0137 * i);
}

TEST(Impacts, SoundAtTheirTimeWithTheirSurfacesColour) {
    for (Surface what : {Surface::Klotz, Surface::Ball, Surface::Wall}) {
        const Samples s = oneImpact(what, 300.0f, 0.5, 1.0);
        EXPECT_NEAR(onset(s), 0.5, 0.02) << int(what);
        EXPECT_LT(peakDb(s, 0.0, 0.499), -100.0) << "nothing before the impact";
    }
    // Steel on steel clicks brighter than steel on wood, which clacks
    // brighter than the ground's knock.
    const double steel = centroid(oneImpact(Surface::Ball, 300.0f, 0.0, 0.2), 0.0);
    const double wood = centroid(oneImpact(Surface::Klotz, 300.0f, 0.0, 0.2), 0.0);
    const double ground = centroid(oneImpact(Surface::Wall, 300.0f, 0.0, 0.2), 0.0);
    EXPECT_GT(steel, 3000.0);
    EXPECT_GT(steel, 1.5 * wood);
    EXPECT_GT(wood, 1.5 * ground);
}

TEST(Impacts, LouderWhenHarderAndSilentWhenResting) {
    EXPECT_GT(peakDb(oneImpact(Surface::Klotz, 600.0f, 0.0, 0.2), 0.0, 0.2),
              peakDb(oneImpact(Surface::Klotz, 100.0f, 0.0, 0.2), 0.0, 0.2) + 12.0);
    // A ball at rest keeps touching and bumping at a few units/s.
    Synthesiser synth;
    for (double t = 0.0; t < 1.0; t += STEP) {
        synth.impact({0, Surface::Klotz, 15.0f, {}}, t);
        synth.rolling({0, 2.0f, true}, t);
    }
    EXPECT_LT(peakDb(render(synth, 1.0), 0.0, 1.0), -100.0);
}

TEST(Impacts, ALoudOneIsHeardWhileEveryVoiceRingsQuietly) {
    Synthesiser synth;
    for (int i = 0; i < 40; ++i) synth.impact({i, Surface::Ball, 21.0f, {}}, 0.0025 * i);
    synth.impact({99, Surface::Ball, 1500.0f, {}}, 0.11);
    const Samples s = render(synth, 0.2);
    EXPECT_GT(peakDb(s, 0.11, 0.13), peakDb(s, 0.1, 0.109) + 12.0);
}

// More impacts than the 32 voices: one quieter than every ringing voice is
// not heard at all (the output is the same sample for sample), and louder
// ones take the quietest voices, not the loudest.
TEST(Impacts, TheLoudestWinWhenMoreThanThirtyTwoSound) {
    Synthesiser alone, crowded;
    for (Synthesiser* synth : {&alone, &crowded})
        for (int i = 0; i < 32; ++i) synth->impact({i, Surface::Ball, 80.0f + i, {}}, 0.001 * i);
    for (int i = 0; i < 8; ++i) crowded.impact({40 + i, Surface::Ball, 21.0f, {}}, 0.035 + 0.002 * i);
    EXPECT_EQ(render(crowded, 0.2), render(alone, 0.2));

    Synthesiser mixed, joined;
    for (Synthesiser* synth : {&mixed, &joined})
        for (int i = 0; i < 32; ++i) synth->impact({i, Surface::Ball, i < 16 ? 100.0f : 21.0f, {}}, 0.001 * i);
    for (int i = 0; i < 16; ++i) joined.impact({40 + i, Surface::Ball, 60.0f, {}}, 0.04);
    const Samples before = render(mixed, 0.2), after = render(joined, 0.2);
    EXPECT_GT(rmsDb(after, 0.041, 0.1), rmsDb(before, 0.041, 0.1) + 3.0);
}

TEST(Rolling, LouderAndBrighterWithSpeedAndFadesWhenContactEnds) {
    double lastLevel = -300.0, lastColour = 0.0;
    for (float speed : {50.0f, 150.0f, 400.0f}) {
        Synthesiser synth;
        roll(synth, 7, speed, 0.0, 1.0);
        synth.rolling({7, speed, false}, 1.0);
        const Samples s = render(synth, 1.5);
        const double level = rmsDb(s, 0.3, 1.0), colour = centroid(s, 0.5);
        EXPECT_GT(level, lastLevel + 3.0) << speed;
        EXPECT_GT(colour, lastColour) << speed;
        EXPECT_LT(peakDb(s, 1.3, 1.5), -100.0) << "still rolling after contact ended";
        lastLevel = level;
        lastColour = colour;
    }
}

TEST(Mix, FallsSilentAfterTheLastEvent) {
    Synthesiser synth;
    busyRun(synth);  // the rollers stop being reported without a word
    const Samples s = render(synth, 3.0);
    EXPECT_GT(rmsDb(s, 0.2, 0.9), -40.0);
    EXPECT_LT(peakDb(s, 2.0, 3.0), -60.0);
}

TEST(Mix, FourHundredHardImpactsDoNotClip) {
    Synthesiser synth;
    for (int ball = 0; ball < 400; ++ball) {
        synth.impact({ball, Surface(ball % 3), 2500.0f, {}}, 0.1 + 0.0001 * (ball % 7));
        roll(synth, ball, 900.0f, 0.0, 0.5);
    }
    const Samples s = render(synth, 0.5);
    for (std::int16_t v : s) ASSERT_LT(std::abs(int(v)), 32767);
    EXPECT_GT(peakDb(s, 0.1, 0.2), -3.0) << "limited, not silenced";
    EXPECT_LE(synth.soundingImpacts(), 32);
    EXPECT_LE(synth.soundingRollers(), 16);
}

TEST(Mix, MutingFadesOutAndDropsEvents) {
    Synthesiser synth;
    roll(synth, 1, 600.0f, 0.0, 1.0);
    Samples s = render(synth, 0.5);
    synth.setMuted(true);
    synth.impact({2, Surface::Ball, 2000.0f, {}}, 0.55);
    synth.renderUntil(0.6, s);
    EXPECT_GT(rmsDb(s, 0.502, 0.507), rmsDb(s, 0.3, 0.5) - 12.0) << "cut off, not faded: a click";
    EXPECT_LT(peakDb(s, 0.52, 0.6), -100.0);
    synth.setMuted(false);
    synth.impact({2, Surface::Ball, 300.0f, {}}, 0.65);
    EXPECT_GT(peakDb(render(synth, 0.8), 0.0, 0.2), -40.0) << "heard again";
}

TEST(Mix, SameEventsSameSamples) {
    Synthesiser a, b;
    busyRun(a);
    busyRun(b);
    EXPECT_EQ(render(a, 1.5), render(b, 1.5));
}

}  // namespace
