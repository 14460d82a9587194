// Sound figures: how many times faster than real time the synthesiser
// renders a busy run of 400 balls, all rolling and reported every step,
// with 400 impacts a second.
#include <chrono>
#include <cstdint>
#include <vector>

#include "Bench.h"
#include "audio/Synthesiser.h"

BENCH_FIGURE(audio_render_400_balls_realtime) {
    constexpr double SECONDS = 10.0, STEP = 0.01;
    audio::Synthesiser synth;
    std::vector<std::int16_t> samples;
    samples.reserve(static_cast<std::size_t>(SECONDS * audio::SAMPLE_RATE) + 1);
    const auto start = std::chrono::steady_clock::now();
    int step = 0;
    for (double t = 0.0; t < SECONDS; t += STEP, ++step) {
        for (int ball = 0; ball < 400; ++ball) {
            synth.rolling({ball, 20.0f + static_cast<float>((ball * 37 + step) % 580), true}, t);
            if ((ball + step) % 100 == 0)
                synth.impact({ball, audio::Surface(ball % 3), 50.0f + static_cast<float>(ball), {}}, t);
        }
        synth.renderUntil(t + STEP, samples);
    }
    const double elapsed = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    return SECONDS / elapsed;
}
