// WAV encoding and the careful write of a sound file.
#include "audio/WavFile.h"

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
    auto fail = [&](const char* why) {
        out << "Can not write sound file \"" << fileName << "\": " << why << "; nothing was written\n";
        out.flush();
        return false;
    };
    if (samples.size() > MAX_DATA_BYTES / 2) return fail("too long for a WAV file");
    const std::string bytes = encodeWav(samples);
    const std::string tempName = fileName + ".part";
    errno = 0;
    std::FILE* file = std::fopen(tempName.c_str(), "wb");
    if (!file) return fail(std::strerror(errno ? errno : EIO));
    bool ok = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    ok = std::fflush(file) == 0 && ok;
    int error = errno;
    ok = std::fclose(file) == 0 && ok;
    if (ok && std::rename(tempName.c_str(), fileName.c_str()) != 0) {
        ok = false;
        error = errno;
    }
    if (ok) return true;
    std::remove(tempName.c_str());
    return fail(std::strerror(error ? error : EIO));
}

}  // namespace audio
