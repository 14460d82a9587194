// WAV encoding and the careful write of a sound file.
#include "audio/WavFile.h"

#include "io/FileWrite.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ostream>

#include "audio/Events.h"

namespace audio {

namespace {

// RIFF sizes are 32 bits; a longer recording (over 13 hours) is refused.
constexpr std::size_t MAX_DATA_BYTES = 0xffffffffu - 36u;

void putLittle(std::string& bytes, std::uint32_t value, int width) {
    for (int i = 0; i < width; ++i) bytes += static_cast<char>((value >> (8 * i)) & 0xffu);
}

}  // namespace

std::string encodeWav(const std::vector<std::int16_t>& samples) {
    const std::uint32_t channels = 1, bytesPerSample = 2;
    const auto dataBytes = static_cast<std::uint32_t>(samples.size() * bytesPerSample);
    std::string bytes;
    bytes.reserve(44 + dataBytes);
    bytes += "RIFF";
    putLittle(bytes, 36 + dataBytes, 4);
    bytes += "WAVEfmt ";
    putLittle(bytes, 16, 4);  // format chunk size
    putLittle(bytes, 1, 2);   // PCM
    putLittle(bytes, channels, 2);
    putLittle(bytes, SAMPLE_RATE, 4);
    putLittle(bytes, SAMPLE_RATE * channels * bytesPerSample, 4);
    putLittle(bytes, channels * bytesPerSample, 2);
    putLittle(bytes, 8 * bytesPerSample, 2);
    bytes += "data";
    putLittle(bytes, dataBytes, 4);
    for (std::int16_t s : samples) putLittle(bytes, static_cast<std::uint16_t>(s), 2);
    return bytes;
}

bool writeWav(const std::string& fileName, const std::vector<std::int16_t>& samples, std::ostream& out) {
    std::string error = "too long for a WAV file";
    if (samples.size() <= MAX_DATA_BYTES / 2 && io::writeFileReplacing(fileName, encodeWav(samples), error))
        return true;
    out << "Can not write sound file \"" << fileName << "\": " << error << "; nothing was written\n";
    out.flush();
    return false;
}

}  // namespace audio
