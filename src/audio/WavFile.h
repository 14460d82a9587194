// Rendered sound as a WAV file: RIFF, 16-bit PCM, 44.1 kHz mono.
#pragma once

#include <cstdint>
#include <iosfwd>
#include <string>
#include <vector>

namespace audio {

// The whole file's bytes.
std::string encodeWav(const std::vector<std::int16_t>& samples);

// Writes the file through a temporary file in the same folder that is then
// renamed over fileName, so a failed write leaves an existing file as it
// was. A failure is reported on out as one line naming the file; returns
// success.
bool writeWav(const std::string& fileName, const std::vector<std::int16_t>& samples, std::ostream& out);

}  // namespace audio
