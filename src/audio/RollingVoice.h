// The rumble of one rolling ball: noise through a low-pass and a resonant
// band-pass, both opening with speed, at a loudness that rises with speed.
// Every parameter glides towards its target sample by sample, so the
// 0.01 s steps of the simulation never show as steps in the sound.
#pragma once

#include <cstdint>

#include "audio/Noise.h"

namespace audio {

class RollingVoice {
public:
    explicit RollingVoice(std::uint32_t seed = 1u) : noise_(seed) {}

    // RMS level the voice settles at for a ball rolling at speed (units/s).
    static float loudnessAt(float speed);

    // The ball's new speed; 0 fades the voice out.
    void setSpeed(float speed);

    // Adds the next count samples to out.
    void render(float* out, int count);

    // The level it is heading for: what decides which balls are heard.
    float loudness() const { return loudness_; }
    // Still sounding or about to.
    bool active() const { return loudness_ > 0.0f || gain_ > 0.0f; }

    // The ball it sounds for and the sample of its last report; -1 when free.
    int ball = -1;
    long long lastReport = 0;

private:
    Noise noise_;
    float loudness_ = 0.0f;
    float gain_ = 0.0f, targetGain_ = 0.0f;
    float lowpass_ = 0.0f, targetLowpass_ = 0.0f;  // one-pole coefficient
    float tune_ = 0.0f, targetTune_ = 0.0f;        // band-pass coefficient 2 sin(pi fc / rate)
    float lowpassState_ = 0.0f, low_ = 0.0f, band_ = 0.0f;
};

}  // namespace audio
