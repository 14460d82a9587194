// The sound of the ball run, synthesised from its contact events: impacts
// ring as modal voices, rolling balls rumble as noise voices, and the mix
// goes through a limiter into 16-bit mono samples at 44.1 kHz. A bounded
// number of voices keeps the cost flat however many balls run: the loudest
// sounds are heard, the quietest give way. The same events always give the
// same samples.
#pragma once

#include <cstdint>
#include <deque>
#include <variant>
#include <vector>

#include "audio/Events.h"
#include "audio/ImpactVoice.h"
#include "audio/Limiter.h"
#include "audio/Noise.h"
#include "audio/RollingVoice.h"

namespace audio {

struct SynthSettings {
    int impactVoices = 32;
    int rollingVoices = 16;
    std::uint32_t seed = 1;
};

// A rolling ball whose reports stop for this long falls silent.
constexpr double ROLLING_TIMEOUT = 0.05;  // seconds
// Muting and unmuting ramp the whole mix over this long.
constexpr double MUTE_RAMP = 0.01;  // seconds

class Synthesiser {
public:
    explicit Synthesiser(const SynthSettings& settings = {});

    // Schedule an event at `time` seconds of the synthesiser's clock, which
    // starts at 0 with its first sample. Events may come in any order; one
    // at a time already rendered sounds at the next sample rendered.
    // Impacts below IMPACT_THRESHOLD are dropped here. While muted, events
    // are dropped.
    void impact(const Impact& event, double time);
    void rolling(const Rolling& event, double time);

    // Renders the next count samples.
    void render(std::int16_t* out, int count);
    // The offline renderer: appends the samples up to `time` seconds.
    void renderUntil(double time, std::vector<std::int16_t>& out);

    long long samplesRendered() const { return rendered_; }
    double now() const { return static_cast<double>(rendered_) / SAMPLE_RATE; }

    // Fades the whole mix out (or in) over MUTE_RAMP. Once faded out, every
    // voice and scheduled event is dropped, so unmuting starts from quiet.
    void setMuted(bool muted);

    int soundingImpacts() const;
    int soundingRollers() const;

private:
    struct Scheduled {
        long long sample;
        std::variant<Impact, Rolling> event;
    };
    void apply(const Impact& event);
    void apply(const Rolling& event);
    void schedule(Scheduled item);
    void silenceStaleRollers();
    void mixBlock(float* mix, int count);

    std::vector<ImpactVoice> impacts_;
    std::vector<RollingVoice> rollers_;
    std::deque<Scheduled> queue_;  // by sample; equal samples in arrival order
    Noise noise_;
    Limiter limiter_;
    long long rendered_ = 0;
    bool muted_ = false;
    bool cleared_ = false;  // muted, faded out and emptied
    float master_ = 1.0f;
};

}  // namespace audio
