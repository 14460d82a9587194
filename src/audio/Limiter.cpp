// The look-ahead limiter: window minimum of the needed gain, a slow
// release, and a moving average over the look-ahead that turns the gain's
// steps into ramps.
#include "audio/Limiter.h"

#include <algorithm>
#include <cassert>
#include <cmath>

#include "audio/Events.h"

namespace audio {

Limiter::Limiter(float ceiling, int lookahead, float releaseSeconds)
    : ceiling_(ceiling),
      lookahead_(lookahead),
      release_(1.0f - std::exp(-1.0f / (releaseSeconds * SAMPLE_RATE))),
      delayed_(lookahead + 1, 0.0f),
      needed_(lookahead + 1, 1.0f),
      held_(lookahead, 1.0f),
      heldSum_(lookahead) {
    assert(ceiling > 0.0f && lookahead > 0 && releaseSeconds > 0.0f && "limiter settings must be positive");
}

float Limiter::process(float x) {
    const float magnitude = std::fabs(x);
    delayed_[slot_] = x;
    needed_[slot_] = magnitude > ceiling_ ? ceiling_ / magnitude : 1.0f;
    slot_ = (slot_ + 1) % (lookahead_ + 1);

    // Every held gain averaged below was at most the need of the sample now
    // leaving, because each window minimum it came from contained that
    // sample: so the average is too.
    const float windowNeed = *std::min_element(needed_.begin(), needed_.end());
    heldGain_ = std::min(windowNeed, heldGain_ + release_ * (1.0f - heldGain_));
    heldSum_ += heldGain_ - held_[heldSlot_];
    held_[heldSlot_] = heldGain_;
    heldSlot_ = (heldSlot_ + 1) % lookahead_;

    const float gain = std::min(1.0f, static_cast<float>(heldSum_ / lookahead_));
    return delayed_[slot_] * gain;  // slot_ now holds the oldest input
}

}  // namespace audio
