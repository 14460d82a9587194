// Reads a whole image file into memory so the decoders work on a buffer.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace image {

// False when the file cannot be opened or read; `bytes` is then empty.
bool readFileBytes(const std::string& fileName, std::vector<std::uint8_t>& bytes);

}  // namespace image
