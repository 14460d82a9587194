// The sound of a run from its physics: each step's contacts turned into the
// synthesiser's impacts and rolling voices.
#pragma once

#include <functional>

#include "audio/Events.h"
#include "physics/Physics.h"

namespace run {

struct SoundSink {
    std::function<void(const audio::Impact&, double)> impact;
    std::function<void(const audio::Rolling&, double)> rolling;
};

// One step's contacts at run time `time` (seconds). A collision of two balls,
// reported for each of them, sounds once; a ball rolls as fast as its
// fastest touch of a klotz or the ground says.
void feedSound(const physics::StepContacts& contacts, double time, const SoundSink& sink);

}  // namespace run
