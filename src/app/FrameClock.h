// The program's one time source: seconds as a double from a monotonic
// counter, with a millisecond tick count as fallback.
#pragma once

#include <cstdint>
#include <functional>
#include <iosfwd>

namespace app {

class FrameClock {
public:
    // Where the ticks come from; tests substitute their own.
    struct Source {
        std::function<bool(std::int64_t* frequency)> counterFrequency;
        std::function<std::int64_t()> counter;
        std::function<std::uint32_t()> milliseconds;
    };
    static Source systemSource();

    explicit FrameClock(Source source = systemSource());

    // Chooses the time source; prints the fallback warning on out.
    void initClock(std::ostream& out);
    double now();

    bool highResolution = false;
    double secondsPerCount = 0.001;
    std::int64_t frequency = 0;
    std::int64_t lastReading = 0;

private:
    Source source_;
};

}  // namespace app
