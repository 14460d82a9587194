// The OpenAL Soft stream: one source, a ring of short 16-bit mono buffers.
#include "audio/LiveOutput.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>

#include <AL/al.h>
#include <AL/alc.h>

#include <algorithm>
#include <array>
#include <ostream>
#include <type_traits>
#include <variant>

namespace audio {

namespace {

// Events waiting for a pump; a program that stops pumping stops stepping
// too, so this only guards against a caller that never pumps.
constexpr std::size_t MAX_PENDING = 1 << 16;

}  // namespace

// OpenAL keeps the current context per process; there is one stream, so
// it simply stays current while the stream lives.
struct LiveOutput::Stream {
    ALCdevice* device = nullptr;
    ALCcontext* context = nullptr;
    ALuint source = 0;
    std::vector<ALuint> buffers;
    bool haveSource = false;

    ~Stream() {
        if (haveSource) {
            alSourceStop(source);
            alSourcei(source, AL_BUFFER, 0);
            alDeleteSources(1, &source);
        }
        if (!buffers.empty()) alDeleteBuffers(static_cast<ALsizei>(buffers.size()), buffers.data());
        if (context) {
            alcMakeContextCurrent(nullptr);
            alcDestroyContext(context);
        }
        if (device) alcCloseDevice(device);
    }
};

namespace {

// While it lives, what the process writes to standard error goes nowhere.
// The sound libraries below OpenAL (ALSA) print their own lines there when
// they find no sound card; the program says that in one line of its own.
class QuietStandardError {
public:
    QuietStandardError() {
        std::fflush(stderr);
        saved_ = ::dup(STDERR_FILENO);
        const int null = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
        if (saved_ >= 0 && null >= 0) ::dup2(null, STDERR_FILENO);
        if (null >= 0) ::close(null);
    }
    ~QuietStandardError() {
        std::fflush(stderr);
        if (saved_ >= 0) {
            ::dup2(saved_, STDERR_FILENO);
            ::close(saved_);
        }
    }

private:
    int saved_ = -1;
};

// Opens the device and makes the source and buffers; the reason it could
// not, or nullptr.
const char* open(LiveOutput::Stream& stream, const char* deviceName) {
    {
        QuietStandardError quiet;
        stream.device = alcOpenDevice(deviceName);
    }
    if (!stream.device) return "no audio device";
    const ALCint attributes[] = {ALC_FREQUENCY, SAMPLE_RATE, 0};
    stream.context = alcCreateContext(stream.device, attributes);
    if (!stream.context || !alcMakeContextCurrent(stream.context)) return "the audio device refused a context";
    alGetError();
    alGenSources(1, &stream.source);
    stream.haveSource = alGetError() == AL_NO_ERROR;
    std::vector<ALuint> buffers(STREAM_BUFFERS);
    alGenBuffers(STREAM_BUFFERS, buffers.data());
    if (alGetError() == AL_NO_ERROR) stream.buffers = buffers;
    if (!stream.haveSource || stream.buffers.empty()) return "the audio device gave no stream";
    // Heard from where the listener stands, wherever that is.
    alSourcei(stream.source, AL_SOURCE_RELATIVE, AL_TRUE);
    alSource3f(stream.source, AL_POSITION, 0.0f, 0.0f, 0.0f);
    alSourcef(stream.source, AL_ROLLOFF_FACTOR, 0.0f);
    return nullptr;
}

}  // namespace

LiveOutput::LiveOutput(std::ostream& log, double stepSeconds, const char* deviceName, const SynthSettings& settings)
    : synth_(settings), stepSeconds_(stepSeconds) {
    auto stream = std::make_unique<Stream>();
    const char* failure = open(*stream, deviceName);
    if (!failure) {
        stream_ = std::move(stream);
        for (ALuint buffer : stream_->buffers) {
            fill(buffer);
            alSourceQueueBuffers(stream_->source, 1, &buffer);
        }
        alSourcePlay(stream_->source);
        if (alGetError() != AL_NO_ERROR) {
            stream_.reset();
            failure = "the audio stream did not start";
        }
    }
    if (failure) {
        log << "sound: " << failure << ", sound is off\n";
        log.flush();
    }
}

LiveOutput::~LiveOutput() = default;

void LiveOutput::impact(const Impact& event, double time) {
    if (stream_ && enabled_ && pending_.size() < MAX_PENDING) pending_.push_back({time, event});
}

void LiveOutput::rolling(const Rolling& event, double time) {
    if (stream_ && enabled_ && pending_.size() < MAX_PENDING) pending_.push_back({time, event});
}

void LiveOutput::fill(ALuint buffer) {
    std::array<std::int16_t, STREAM_BUFFER_SAMPLES> samples;
    synth_.render(samples.data(), STREAM_BUFFER_SAMPLES);
    alBufferData(buffer, AL_FORMAT_MONO16, samples.data(), sizeof samples, SAMPLE_RATE);
}

void LiveOutput::spreadPending(int samples) {
    if (pending_.empty()) return;
    auto [first, last] = std::minmax_element(pending_.begin(), pending_.end(),
                                             [](const Pending& a, const Pending& b) { return a.time < b.time; });
    const double start = first->time;
    const double simulated = last->time - start + stepSeconds_;
    const double squeeze = std::min(1.0, samples / (simulated * SAMPLE_RATE));
    const double from = synth_.now();
    for (const Pending& p : pending_) {
        const double at = from + (p.time - start) * squeeze;
        std::visit([&](const auto& event) {
            if constexpr (std::is_same_v<std::decay_t<decltype(event)>, Impact>) {
                synth_.impact(event, at);
            } else {
                synth_.rolling(event, at);
            }
        }, p.event);
    }
    pending_.clear();
}

void LiveOutput::pump() {
    if (!stream_) return;
    ALint played = 0;
    alGetSourcei(stream_->source, AL_BUFFERS_PROCESSED, &played);
    if (played <= 0) return;  // the events wait for the next pump
    spreadPending(played * STREAM_BUFFER_SAMPLES);
    for (ALint i = 0; i < played; ++i) {
        ALuint buffer = 0;
        alSourceUnqueueBuffers(stream_->source, 1, &buffer);
        fill(buffer);
        alSourceQueueBuffers(stream_->source, 1, &buffer);
    }
    ALint state = AL_PLAYING;
    alGetSourcei(stream_->source, AL_SOURCE_STATE, &state);
    if (state == AL_PLAYING) return;
    // Ran dry: the device takes larger bites than the frames allow for
    // (a period of 1024 samples is common), so the queue grows by a buffer.
    ++underruns_;
    if (static_cast<int>(stream_->buffers.size()) < MAX_STREAM_BUFFERS) {
        ALuint buffer = 0;
        alGetError();
        alGenBuffers(1, &buffer);
        if (alGetError() == AL_NO_ERROR) {
            stream_->buffers.push_back(buffer);
            fill(buffer);
            alSourceQueueBuffers(stream_->source, 1, &buffer);
        }
    }
    alSourcePlay(stream_->source);
}

void LiveOutput::setEnabled(bool enabled) {
    enabled_ = enabled;
    synth_.setMuted(!enabled);
    if (!enabled) pending_.clear();
}

}  // namespace audio
