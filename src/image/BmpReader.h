// Reader for uncompressed Windows bitmaps: 14-byte file header, 40-byte
// information header, 8-bit (256-entry palette), 24-bit or 32-bit pixels.
#pragma once

#include <cstddef>
#include <cstdint>
#include <ostream>
#include <string>

#include "image/Image.h"

namespace image {

// Decodes a bitmap held in memory. Rows come out bottom row first (the file
// order of an ordinary bitmap; a top-down bitmap with negative height is
// turned bottom-up, its height reported positive). Refusals are written to
// `log` naming `fileName`; a buffer that does not start with "BM" fails
// silently. On failure `out` is left empty.
bool decodeBmp(const std::uint8_t* data, std::size_t size, const std::string& fileName, Image& out,
               std::ostream& log);

// Reads the file, then decodes it. A file that cannot be opened fails
// without a message.
bool readBmp(const std::string& fileName, Image& out, std::ostream& log);

}  // namespace image
