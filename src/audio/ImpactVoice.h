// One ringing contact: a steel ball striking wood, steel or the ground,
// synthesised as a few exponentially damped sinusoids (modal synthesis)
// plus a short filtered noise tick for the moment of contact.
#pragma once

#include <array>

#include "audio/Events.h"
#include "audio/Noise.h"

namespace audio {

class ImpactVoice {
public:
    static constexpr int MODES = 5;

    // Peak amplitude of a strike at normalSpeed before the mix is limited:
    // proportional to speed (sound pressure follows the contact's velocity).
    static float amplitudeFor(float normalSpeed);

    // Starts ringing. A voice still ringing is first faded out over a
    // millisecond and a half so its cut does not click; the new strike
    // follows. Randomness (the small detuning that keeps repeated clacks
    // from sounding machine-made) is drawn from noise.
    void strike(Surface what, float normalSpeed, Noise& noise);

    // Adds the next count samples to out.
    void render(float* out, int count);

    // Upper bound of the current amplitude, or while a stolen voice fades,
    // that of the strike it fades to; 0 once silent.
    float level() const;
    bool active() const { return active_; }

private:
    struct Strike {
        Surface what = Surface::Klotz;
        float speed = 0.0f;
    };
    void start(const Strike& strike);

    // Mode k is the complex phasor (re, im) turned and shrunk each sample
    // by (c, s); its imaginary part is the output, starting at zero so the
    // onset has no step.
    std::array<float, MODES> re_{}, im_{}, c_{}, s_{};
    float slowestDecay_ = 0.0f;  // per-sample factor of the longest mode
    float envelope_ = 0.0f;
    float tick_ = 0.0f, tickDecay_ = 0.0f, tickLowpass_ = 0.0f, tickState_ = 0.0f;
    Noise tickNoise_;
    bool active_ = false;

    // Set while the previous ring fades before `pending_` starts.
    int fade_ = 0;
    Strike pending_;
    std::array<float, MODES> detune_{}, gainJitter_{};
};

}  // namespace audio
