// Reader for Windows bitmaps: 14-byte file header, an information header of
// 40 bytes or more (the later versions writers such as ImageMagick and GIMP
// use), 1-, 4- or 8-bit pixels with a palette of as many entries as the
// header's colour count says, plain or run-length compressed (RLE4, RLE8),
// 24- or 32-bit pixels, and 16- or 32-bit pixels with bit-field masks.
// Pixels are read where the file header's offset points.
#pragma once

#include <cstddef>
#include <cstdint>
#include <ostream>
#include <string>

#include "image/Image.h"

namespace image {

// Decodes a bitmap held in memory. Rows come out bottom row first (the file
// order of an ordinary bitmap; a top-down bitmap with negative height is
// turned bottom-up, its height reported positive). Components: 3 for every
// palette (a grey ramp too: it is colours, not alpha) and 24 bits, 4 for 32
// bits without masks (the fourth byte is alpha) and for masks with an alpha
// mask, else 3. Refusals (other compressions, 16 bits without masks, OS/2
// headers, truncation, run-length images over 2^24 pixels or top-down) are
// written to `log`; a buffer that does not start with "BM" fails silently.
// On failure `out` is left empty.
bool decodeBmp(const std::uint8_t* data, std::size_t size, const std::string& fileName, Image& out,
               std::ostream& log);

// Reads the file, then decodes it. A file that cannot be opened fails
// without a message.
bool readBmp(const std::string& fileName, Image& out, std::ostream& log);

}  // namespace image
