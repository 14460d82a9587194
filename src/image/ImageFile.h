// Reads a whole image file into memory so the decoders work on a buffer.
#pragma once

#include <cstdint>
#include <ostream>
#include <string>

#include "io/Result.h"

namespace image {

// The file's bytes. A file that cannot be opened fails without a message;
// one refused unread (not a regular file, too large) is reported on log as
// an image refusal ("[ERROR] ...").
io::Result<std::string> readImageFile(const std::string& fileName, std::ostream& log);

inline const std::uint8_t* bytesOf(const std::string& file) {
    return reinterpret_cast<const std::uint8_t*>(file.data());
}

}  // namespace image
