// Plays the synthesiser through the default audio device with OpenAL Soft.
// The program has one thread, so there is no audio thread here either: the
// frame calls pump(), which refills the few short buffers that have played.
// The queue starts at 4 x 512 samples (46 ms), more than a 25 ms frame, so
// a contact is heard about that long after its frame; should the device's
// own period still make it run dry, it grows by a buffer each time, up to
// 8. Without a device every call does nothing. One at a time: OpenAL's
// current context belongs to the whole process.
#pragma once

#include <iosfwd>
#include <memory>
#include <variant>
#include <vector>

#include "audio/Events.h"
#include "audio/Synthesiser.h"

namespace audio {

constexpr int STREAM_BUFFERS = 4;       // at the start
constexpr int MAX_STREAM_BUFFERS = 8;   // after underruns
constexpr int STREAM_BUFFER_SAMPLES = 512;

class LiveOutput {
public:
    // Opens deviceName (nullptr: the default device). When that fails it
    // says so on log in one line ("sound: ..., sound is off") and stays off.
    // stepSeconds: the simulation time one reported step covers.
    LiveOutput(std::ostream& log, double stepSeconds, const char* deviceName = nullptr,
               const SynthSettings& settings = {});
    ~LiveOutput();
    LiveOutput(const LiveOutput&) = delete;
    LiveOutput& operator=(const LiveOutput&) = delete;

    bool isOn() const { return stream_ != nullptr; }

    // Contact events of a simulation step at `time` seconds of simulation.
    // The events between two pumps are spread over the sound that pump
    // renders in their own order and spacing, squeezed when the simulation
    // runs faster than real time; a paused simulation reports nothing and
    // its rolling balls fade out by themselves.
    void impact(const Impact& event, double time);
    void rolling(const Rolling& event, double time);

    // Once per frame: refills the buffers that have played and restarts
    // the stream if it ran dry.
    void pump();

    // Disabled, the sound fades out within 10 ms, events are dropped and
    // silence streams on; enabled again, it starts from quiet.
    void setEnabled(bool enabled);
    bool isEnabled() const { return enabled_; }

    // Times the stream ran dry and had to be restarted.
    int underruns() const { return underruns_; }

    struct Stream;  // the OpenAL objects

private:
    struct Pending {
        double time;
        std::variant<Impact, Rolling> event;
    };
    void fill(unsigned buffer);
    void spreadPending(int samples);

    std::unique_ptr<Stream> stream_;
    Synthesiser synth_;
    double stepSeconds_;
    std::vector<Pending> pending_;
    bool enabled_ = true;
    int underruns_ = 0;
};

}  // namespace audio
