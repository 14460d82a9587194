// Holding b while paused: after a short hold the frames rewind the run
// continuously, at least at the playback's pace and faster the longer the
// key is held. The window reports presses and releases; key auto-repeat
// arrives as a release and a press at once, which continue the hold.
#pragma once

namespace app {

// A press this soon after a release is the key's auto-repeat (seconds).
constexpr double REWIND_REPEAT_GAP = 0.02;
// Held this long, b rewinds continuously; a shorter tap steps back once.
constexpr double REWIND_HOLD_DELAY = 0.25;
// The slowest continuous rewind: the old pace of one step per key repeat,
// simulated seconds per real second.
constexpr double REWIND_MIN_PACE = 0.25;
// Each second held adds this many times the starting pace.
constexpr double REWIND_ACCELERATION = 2.5;

struct RewindHold {
    bool held = false;
    double since = 0.0;        // frame clock seconds the hold began
    double releasedAt = -1.0;  // last release, while it may be a repeat
    double lastFrame = 0.0;    // last rewound frame
    double owed = 0.0;         // steps not yet taken, under one
};

// b went down at now. True when this begins a hold (the caller steps back
// once, as a tap does); false for the key's auto-repeat.
bool pressRewind(RewindHold& hold, double now);
// b came up at now.
void releaseRewind(RewindHold& hold, double now);
// Simulated seconds rewound per real second, held for heldSeconds, with the
// playback at pace (simulated seconds per real second).
double rewindPace(double pace, double heldSeconds);
// The recorded steps (of stepSeconds each) this frame at now goes back;
// 0 while not held, or before the hold delay.
long rewindSteps(RewindHold& hold, double now, double pace, double stepSeconds);

}  // namespace app
