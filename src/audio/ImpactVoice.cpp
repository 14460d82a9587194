// Mode tables and the damped-sinusoid oscillators of an impact.
#include "audio/ImpactVoice.h"

#include <algorithm>
#include <cmath>

namespace audio {

namespace {

struct Mode {
    float frequency;  // Hz
    float decay;      // seconds for the amplitude to fall by 1/e
    float gain;
};

// A hard wooden piece answers a steel ball with a short, hollow clack; two
// steel balls give a bright click that rings a little longer; the floor and
// the walls, heavy and damped, give a dull knock.
constexpr std::array<Mode, ImpactVoice::MODES> WOOD{{
    {820.0f, 0.022f, 1.0f}, {1390.0f, 0.017f, 0.8f}, {1960.0f, 0.013f, 0.6f},
    {2570.0f, 0.010f, 0.45f}, {3000.0f, 0.008f, 0.3f}}};
constexpr std::array<Mode, ImpactVoice::MODES> STEEL{{
    {3240.0f, 0.070f, 0.6f}, {4710.0f, 0.055f, 0.7f}, {6180.0f, 0.045f, 0.55f},
    {7960.0f, 0.035f, 0.45f}, {9650.0f, 0.028f, 0.35f}}};
constexpr std::array<Mode, ImpactVoice::MODES> GROUND{{
    {150.0f, 0.035f, 1.0f}, {260.0f, 0.025f, 0.7f}, {410.0f, 0.018f, 0.45f},
    {640.0f, 0.012f, 0.3f}, {950.0f, 0.008f, 0.2f}}};

// The contact lasts longer on softer material, and a longer contact excites
// high modes less (Hertz: duration ~ speed^-1/5): the corner frequency of
// that low-pass at 300 units/s, per surface.
float contactCorner(Surface what) {
    switch (what) {
        case Surface::Ball: return 20000.0f;
        case Surface::Wall: return 1500.0f;
        case Surface::Klotz: break;
    }
    return 4000.0f;
}

const std::array<Mode, ImpactVoice::MODES>& modesOf(Surface what) {
    switch (what) {
        case Surface::Ball: return STEEL;
        case Surface::Wall: return GROUND;
        case Surface::Klotz: break;
    }
    return WOOD;
}

constexpr float LOUDNESS = 0.35f;    // peak amplitude per 1000 units/s
constexpr float MAX_SPEED = 3000.0f;  // units/s; beyond, as loud as this
constexpr int STEAL_FADE = 64;        // samples
constexpr float SILENT = 1e-5f;       // -100 dBFS: the voice is free again
constexpr float TICK_SECONDS = 0.0008f;
constexpr float TICK_LEVEL = 0.3f;  // of the strike's amplitude
constexpr float TWO_PI = 6.28318530718f;

}  // namespace

float ImpactVoice::level() const {
    if (!active_) return 0.0f;
    return fade_ > 0 ? amplitudeFor(pending_.speed) : envelope_;
}

float ImpactVoice::amplitudeFor(float normalSpeed) {
    return LOUDNESS * std::min(std::max(normalSpeed, 0.0f), MAX_SPEED) / 1000.0f;
}

void ImpactVoice::strike(Surface what, float normalSpeed, Noise& noise) {
    // One detuning for the whole bank (where on the piece it was struck)
    // and a little for each mode.
    const float bank = noise.between(0.94f, 1.06f);
    for (int k = 0; k < MODES; ++k) {
        detune_[k] = bank * noise.between(0.98f, 1.02f);
        gainJitter_[k] = noise.between(0.7f, 1.3f);
    }
    tickNoise_ = Noise(noise.bits());
    pending_ = {what, normalSpeed};
    if (!active_) {
        start(pending_);
    } else if (fade_ == 0) {
        fade_ = STEAL_FADE;  // a fade under way goes on, now towards this strike
    }
}

void ImpactVoice::start(const Strike& strike) {
    const auto& modes = modesOf(strike.what);
    const float amplitude = amplitudeFor(strike.speed);
    const float corner = contactCorner(strike.what) * std::pow(std::max(strike.speed, 1.0f) / 300.0f, 0.2f);
    float total = 0.0f, longest = 0.0f;
    for (int k = 0; k < MODES; ++k) {
        const float f = std::min(modes[k].frequency * detune_[k], 0.45f * SAMPLE_RATE);
        const float tilt = 1.0f / std::sqrt(1.0f + (f / corner) * (f / corner));
        const float gain = amplitude * modes[k].gain * gainJitter_[k] * tilt;
        const float decay = std::exp(-1.0f / (modes[k].decay * SAMPLE_RATE));
        re_[k] = gain;
        im_[k] = 0.0f;
        c_[k] = decay * std::cos(TWO_PI * f / SAMPLE_RATE);
        s_[k] = decay * std::sin(TWO_PI * f / SAMPLE_RATE);
        total += gain;
        longest = std::max(longest, modes[k].decay);
    }
    slowestDecay_ = std::exp(-1.0f / (longest * SAMPLE_RATE));
    envelope_ = total + amplitude * TICK_LEVEL;
    tick_ = amplitude * TICK_LEVEL;
    tickDecay_ = std::exp(-1.0f / (TICK_SECONDS * SAMPLE_RATE));
    tickLowpass_ = 1.0f - std::exp(-TWO_PI * std::min(corner, 0.45f * SAMPLE_RATE) / SAMPLE_RATE);
    tickState_ = 0.0f;
    fade_ = 0;
    active_ = true;
}

void ImpactVoice::render(float* out, int count) {
    int i = 0;
    while (active_ && i < count) {
        // A stolen voice fades linearly, then the strike it was given starts.
        const bool fading = fade_ > 0;
        const int run = fading ? std::min(count - i, fade_) : count - i;
        for (int n = i; n < i + run; ++n) {
            float sum = 0.0f;
            for (int k = 0; k < MODES; ++k) {
                const float re = re_[k] * c_[k] - im_[k] * s_[k];
                im_[k] = re_[k] * s_[k] + im_[k] * c_[k];
                re_[k] = re;
                sum += im_[k];
            }
            if (tick_ > SILENT) {
                tickState_ += tickLowpass_ * (tick_ * tickNoise_.next() - tickState_);
                tick_ *= tickDecay_;
                sum += tickState_;
            }
            if (fading) sum *= static_cast<float>(fade_ - (n - i)) / STEAL_FADE;
            out[n] += sum;
        }
        i += run;
        envelope_ *= std::pow(slowestDecay_, static_cast<float>(run));
        if (fading) {
            fade_ -= run;
            if (fade_ == 0) start(pending_);
        } else if (envelope_ < SILENT) {
            active_ = false;
        }
    }
}

}  // namespace audio
