// Keeps the mix below full scale without audible clipping: a look-ahead
// peak limiter. Each sample leaves `lookahead` samples late, and the gain
// has glided down to what the loudest sample in that window needs by the
// time that sample leaves, so nothing ever exceeds the ceiling. The gain
// comes back up slowly so a dense mix is not pumped.
#pragma once

#include <vector>

namespace audio {

class Limiter {
public:
    // ceiling: largest output magnitude (full scale is 1); lookahead in
    // samples; release: seconds for the gain to recover by 1/e.
    explicit Limiter(float ceiling = 0.89f, int lookahead = 64, float releaseSeconds = 0.1f);

    // Takes one sample, returns the one from `lookahead` samples ago.
    float process(float x);

private:
    float ceiling_;
    int lookahead_;
    float release_;
    std::vector<float> delayed_, needed_;  // lookahead + 1 newest inputs and their gains
    std::vector<float> held_;              // lookahead newest held gains
    int slot_ = 0, heldSlot_ = 0;
    float heldGain_ = 1.0f;
    double heldSum_;  // of held_; double so a long run does not drift
};

}  // namespace audio
