#include "app/RewindHold.h"

#include <algorithm>
#include <cmath>

namespace app {

bool pressRewind(RewindHold& hold, double now) {
    const bool repeat = hold.held || (hold.releasedAt >= 0.0 && now - hold.releasedAt <= REWIND_REPEAT_GAP);
    hold.held = true;
    hold.releasedAt = -1.0;
    if (repeat) return false;
    hold.since = now;
    hold.lastFrame = now + REWIND_HOLD_DELAY;
    hold.owed = 0.0;
    return true;
}

void releaseRewind(RewindHold& hold, double now) {
    hold.held = false;
    hold.releasedAt = now;
}

double rewindPace(double pace, double heldSeconds) {
    return std::max(pace, REWIND_MIN_PACE) * (1.0 + REWIND_ACCELERATION * std::max(0.0, heldSeconds));
}

long rewindSteps(RewindHold& hold, double now, double pace, double stepSeconds) {
    // A repeat's release may come a frame before its press: a frame in that
    // gap still rewinds.
    const bool repeating = hold.releasedAt >= 0.0 && now - hold.releasedAt <= REWIND_REPEAT_GAP;
    if (!hold.held && !repeating) return 0;
    if (now <= hold.lastFrame) return 0;
    const double from = std::max(hold.lastFrame, hold.since + REWIND_HOLD_DELAY);
    // The pace grows linearly with the time held: the mean over the frame.
    const double mid = 0.5 * (from + now) - hold.since;
    hold.owed += rewindPace(pace, mid) * (now - from) / stepSeconds;
    hold.lastFrame = now;
    const long steps = static_cast<long>(std::floor(hold.owed));
    hold.owed -= static_cast<double>(steps);
    return steps;
}

}  // namespace app
