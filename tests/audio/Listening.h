// Ears for the sound tests: loudness, onset and brightness of rendered
// samples, and a reader for the WAV files the tests get back.
#pragma once

#include <algorithm>
#include <cmath>
#include <complex>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "audio/Events.h"

namespace listening {

using Samples = std::vector<std::int16_t>;

inline std::size_t at(const Samples& s, double seconds) {
    return std::min(s.size(), static_cast<std::size_t>(std::max(0.0, seconds) * audio::SAMPLE_RATE));
}

inline double toDb(double level) { return 20.0 * std::log10(std::max(level, 1e-12) / 32768.0); }

// dBFS of the span [from, to) seconds; about -330 for digital silence.
inline double rmsDb(const Samples& s, double from, double to) {
    double sum = 0.0;
    const std::size_t a = at(s, from), b = at(s, to);
    for (std::size_t i = a; i < b; ++i) sum += double(s[i]) * s[i];
    return toDb(b > a ? std::sqrt(sum / double(b - a)) : 0.0);
}

inline double peakDb(const Samples& s, double from, double to) {
    int peak = 0;
    for (std::size_t i = at(s, from); i < at(s, to); ++i) peak = std::max(peak, std::abs(int(s[i])));
    return toDb(peak);
}

// Seconds of the first sample reaching half the loudest one.
inline double onset(const Samples& s) {
    int peak = 0;
    for (std::int16_t v : s) peak = std::max(peak, std::abs(int(v)));
    for (std::size_t i = 0; i < s.size(); ++i)
        if (peak > 0 && 2 * std::abs(int(s[i])) >= peak) return double(i) / audio::SAMPLE_RATE;
    return -1.0;
}

// Power-weighted mean frequency (Hz) of 4096 Hann-windowed samples from
// `from` seconds on.
inline double centroid(const Samples& s, double from) {
    const int n = 4096;
    const std::size_t a = at(s, from);
    const double pi = std::acos(-1.0);
    double weighted = 0.0, total = 0.0;
    for (int k = 1; k < n / 2; ++k) {
        std::complex<double> sum = 0.0;
        const std::complex<double> turn = std::polar(1.0, -2.0 * pi * k / n);
        std::complex<double> w = 1.0;
        for (int i = 0; i < n && a + i < s.size(); ++i, w *= turn)
            sum += w * (s[a + i] * 0.5 * (1.0 - std::cos(2.0 * pi * i / n)));
        const double power = std::norm(sum);
        weighted += power * k * audio::SAMPLE_RATE / n;
        total += power;
    }
    return total > 0.0 ? weighted / total : 0.0;
}

struct Wav {
    int channels = 0, rate = 0, bits = 0;
    Samples samples;
};

// Reads RIFF/WAVE 16-bit PCM; a missing or zero data size (a file still
// being written) means the rest of the file.
inline bool readWav(const std::string& bytes, Wav& wav) {
    auto little = [&](std::size_t p, int width) {
        std::uint32_t v = 0;
        for (int i = width - 1; i >= 0; --i) v = v << 8 | static_cast<unsigned char>(bytes[p + i]);
        return v;
    };
    if (bytes.size() < 12 || bytes.compare(0, 4, "RIFF") != 0 || bytes.compare(8, 4, "WAVE") != 0) return false;
    for (std::size_t p = 12; p + 8 <= bytes.size();) {
        const std::string id = bytes.substr(p, 4);
        std::size_t size = little(p + 4, 4);
        p += 8;
        if (id == "fmt " && p + 16 <= bytes.size()) {
            wav.channels = int(little(p + 2, 2));
            wav.rate = int(little(p + 4, 4));
            wav.bits = int(little(p + 14, 2));
        } else if (id == "data") {
            if (size == 0 || p + size > bytes.size()) size = bytes.size() - p;
            wav.samples.resize(size / 2);
            for (std::size_t i = 0; i < wav.samples.size(); ++i)
                wav.samples[i] = static_cast<std::int16_t>(little(p + 2 * i, 2));
            return wav.bits == 16;
        }
        p += size + (size & 1);
    }
    return false;
}

}  // namespace listening
