// Filtered-noise rolling sound with per-sample parameter glides.
#include "audio/RollingVoice.h"

#include <algorithm>
#include <cmath>

#include "audio/Events.h"

namespace audio {

namespace {

constexpr float LOUDNESS = 0.035f;         // RMS level at REFERENCE_SPEED
constexpr float REFERENCE_SPEED = 300.0f;  // units/s
constexpr float MAX_SPEED = 1500.0f;       // units/s; beyond, no louder or brighter
constexpr float GLIDE_SECONDS = 0.015f;    // time constant of every parameter
constexpr float DAMPING = 0.5f;            // band-pass 1/Q
constexpr float SILENT = 1e-5f;
constexpr float PI = 3.14159265359f;

// A slow ball hums low; a fast one hisses brighter.
float bandCentre(float speed) { return 100.0f + 2.0f * speed; }  // Hz
float lowpassCorner(float speed) { return 600.0f + 6.0f * speed; }  // Hz

const float GLIDE = 1.0f - std::exp(-1.0f / (GLIDE_SECONDS * SAMPLE_RATE));

}  // namespace

float RollingVoice::loudnessAt(float speed) {
    if (!(speed >= ROLLING_THRESHOLD)) return 0.0f;
    return LOUDNESS * std::pow(std::min(speed, MAX_SPEED) / REFERENCE_SPEED, 1.2f);
}

void RollingVoice::setSpeed(float speed) {
    loudness_ = loudnessAt(speed);
    targetGain_ = 0.0f;
    if (loudness_ == 0.0f) return;  // the filters keep their colour while it fades
    speed = std::min(speed, MAX_SPEED);
    // The band passes a share of the noise's power that grows with its
    // width, DAMPING * centre; dividing that out leaves the loudness to
    // loudnessAt alone. (Uniform noise has an RMS of 1 / sqrt 3.)
    targetGain_ = loudness_ * std::sqrt(3.0f * 0.5f * SAMPLE_RATE / (DAMPING * bandCentre(speed)));
    targetLowpass_ = 1.0f - std::exp(-2.0f * PI * lowpassCorner(speed) / SAMPLE_RATE);
    targetTune_ = 2.0f * std::sin(PI * bandCentre(speed) / SAMPLE_RATE);
    if (gain_ == 0.0f) {
        // A voice starting from silence takes its colour at once and only
        // fades in.
        lowpass_ = targetLowpass_;
        tune_ = targetTune_;
    }
}

void RollingVoice::render(float* out, int count) {
    if (!active()) return;
    for (int n = 0; n < count; ++n) {
        gain_ += GLIDE * (targetGain_ - gain_);
        lowpass_ += GLIDE * (targetLowpass_ - lowpass_);
        tune_ += GLIDE * (targetTune_ - tune_);
        lowpassState_ += lowpass_ * (noise_.next() - lowpassState_);
        // Chamberlin state-variable filter; the band output scaled by its
        // damping peaks at unity.
        low_ += tune_ * band_;
        const float high = lowpassState_ - low_ - DAMPING * band_;
        band_ += tune_ * high;
        out[n] += gain_ * DAMPING * band_;
    }
    if (targetGain_ == 0.0f && gain_ < SILENT) {
        gain_ = 0.0f;
        lowpassState_ = low_ = band_ = 0.0f;
        ball = -1;
    }
}

}  // namespace audio
