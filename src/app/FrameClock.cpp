#include "app/FrameClock.h"

#include <chrono>
#include <ostream>

namespace app {

FrameClock::Source FrameClock::systemSource() {
    using Clock = std::chrono::steady_clock;
    Source s;
    s.counterFrequency = [](std::int64_t* frequency) {
        if (!Clock::is_steady) return false;
        *frequency = static_cast<std::int64_t>(Clock::period::den / Clock::period::num);
        return *frequency > 0;
    };
    s.counter = [] { return static_cast<std::int64_t>(Clock::now().time_since_epoch().count()); };
    s.milliseconds = [] {
        auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now().time_since_epoch());
        return static_cast<std::uint32_t>(ms.count());  // wraps after 2^32 ms, like the platform's tick count
    };
    return s;
}

FrameClock::FrameClock(Source source) : source_(std::move(source)) {}

void FrameClock::initClock(std::ostream& out) {
    std::int64_t f = 0;
    if (source_.counterFrequency && source_.counterFrequency(&f) && f > 0) {
        highResolution = true;
        frequency = f;
        secondsPerCount = 1.0 / static_cast<double>(f);
    } else {
        out << "\nWARNING: no performance counter avaliable. approximating with multimedia timer!\n";
        secondsPerCount = 0.001;
        highResolution = false;
    }
}

double FrameClock::now() {
    if (highResolution) {
        lastReading = source_.counter();
        return static_cast<double>(lastReading) * secondsPerCount;
    }
    return static_cast<double>(source_.milliseconds()) * secondsPerCount;
}

}  // namespace app
