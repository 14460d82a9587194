// Event scheduling, voice allocation and the output stage of the
// synthesiser.
#include "audio/Synthesiser.h"

#include <algorithm>
#include <cassert>
#include <cmath>

namespace audio {

namespace {

// Events are applied at block starts, so blocks also end at event times;
// capping them bounds how late a timeout or a mute is noticed.
constexpr int MAX_BLOCK = 256;
constexpr long long ROLLING_TIMEOUT_SAMPLES = static_cast<long long>(ROLLING_TIMEOUT * SAMPLE_RATE);
constexpr float MUTE_STEP = static_cast<float>(1.0 / (MUTE_RAMP * SAMPLE_RATE));

long long toSample(double time) {
    // A time that is no number sounds at once; beyond a few decades of sound
    // a time is nonsense, clamped rather than overflowed.
    if (!std::isfinite(time)) return 0;
    return std::llround(std::min(std::max(time, -1e9), 1e9) * SAMPLE_RATE);
}

std::int16_t toPcm16(float x) {
    const long scaled = std::lround(std::min(std::max(x, -1.0f), 1.0f) * 32767.0f);
    return static_cast<std::int16_t>(scaled);
}

}  // namespace

Synthesiser::Synthesiser(const SynthSettings& settings) : noise_(settings.seed) {
    assert(settings.impactVoices > 0 && settings.rollingVoices > 0 && "a synthesiser needs voices");
    impacts_.resize(settings.impactVoices);
    for (int i = 0; i < settings.rollingVoices; ++i) rollers_.emplace_back(noise_.bits());
}

void Synthesiser::impact(const Impact& event, double time) {
    if (muted_ || !(event.normalSpeed >= IMPACT_THRESHOLD)) return;
    schedule({toSample(time), event});
}

void Synthesiser::rolling(const Rolling& event, double time) {
    if (muted_) return;
    schedule({toSample(time), event});
}

void Synthesiser::schedule(Scheduled item) {
    // Events of a simulation step come in time order, so this is nearly
    // always an append.
    auto later = [](long long sample, const Scheduled& s) { return sample < s.sample; };
    queue_.insert(std::upper_bound(queue_.begin(), queue_.end(), item.sample, later), std::move(item));
}

void Synthesiser::apply(const Impact& event) {
    const float amplitude = ImpactVoice::amplitudeFor(event.normalSpeed);
    auto quietest = std::min_element(impacts_.begin(), impacts_.end(),
                                     [](const ImpactVoice& a, const ImpactVoice& b) { return a.level() < b.level(); });
    if (quietest->level() >= amplitude) return;  // every voice rings louder
    quietest->strike(event.what, event.normalSpeed, noise_);
}

void Synthesiser::apply(const Rolling& event) {
    const float loudness = event.touching ? RollingVoice::loudnessAt(event.speed) : 0.0f;
    auto own = std::find_if(rollers_.begin(), rollers_.end(), [&](const RollingVoice& v) { return v.ball == event.ball; });
    if (own == rollers_.end()) {
        if (loudness == 0.0f) return;
        // A voice changing balls keeps its noise and glides to the new
        // ball's level and colour, so taking one over makes no click.
        own = std::min_element(rollers_.begin(), rollers_.end(), [](const RollingVoice& a, const RollingVoice& b) {
            return a.loudness() < b.loudness();
        });
        if (own->loudness() >= loudness) return;
        own->ball = event.ball;
    }
    own->setSpeed(loudness > 0.0f ? event.speed : 0.0f);
    own->lastReport = rendered_;
}

void Synthesiser::silenceStaleRollers() {
    for (RollingVoice& v : rollers_)
        if (v.ball >= 0 && v.loudness() > 0.0f && rendered_ - v.lastReport > ROLLING_TIMEOUT_SAMPLES) v.setSpeed(0.0f);
}

void Synthesiser::mixBlock(float* mix, int count) {
    std::fill(mix, mix + count, 0.0f);
    for (ImpactVoice& v : impacts_) v.render(mix, count);
    for (RollingVoice& v : rollers_) v.render(mix, count);
}

void Synthesiser::render(std::int16_t* out, int count) {
    float mix[MAX_BLOCK];
    while (count > 0) {
        while (!queue_.empty() && queue_.front().sample <= rendered_) {
            std::visit([this](const auto& event) { apply(event); }, queue_.front().event);
            queue_.pop_front();
        }
        silenceStaleRollers();
        long long block = std::min(count, MAX_BLOCK);
        if (!queue_.empty()) block = std::min(block, queue_.front().sample - rendered_);
        const int n = static_cast<int>(block);

        mixBlock(mix, n);
        for (int i = 0; i < n; ++i) {
            master_ = muted_ ? std::max(0.0f, master_ - MUTE_STEP) : std::min(1.0f, master_ + MUTE_STEP);
            out[i] = toPcm16(master_ * limiter_.process(mix[i]));
        }
        if (muted_ && master_ == 0.0f && !cleared_) {
            cleared_ = true;
            impacts_.assign(impacts_.size(), ImpactVoice());
            for (RollingVoice& v : rollers_) v = RollingVoice(noise_.bits());
            queue_.clear();
            limiter_ = Limiter();
        }
        out += n;
        count -= n;
        rendered_ += n;
    }
}

void Synthesiser::renderUntil(double time, std::vector<std::int16_t>& out) {
    const long long end = toSample(time);
    while (end > rendered_) {
        const int count = static_cast<int>(std::min<long long>(end - rendered_, 1 << 20));
        const std::size_t start = out.size();
        out.resize(start + static_cast<std::size_t>(count));
        render(out.data() + start, count);
    }
}

void Synthesiser::setMuted(bool muted) {
    muted_ = muted;
    if (!muted) cleared_ = false;
}

int Synthesiser::soundingImpacts() const {
    return static_cast<int>(std::count_if(impacts_.begin(), impacts_.end(), [](const ImpactVoice& v) { return v.active(); }));
}

int Synthesiser::soundingRollers() const {
    return static_cast<int>(std::count_if(rollers_.begin(), rollers_.end(), [](const RollingVoice& v) { return v.active(); }));
}

}  // namespace audio
