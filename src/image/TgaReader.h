// Reader for Truevision TGA files of image types 1 (colour-mapped), 2
// (true-colour), 9 and 10 (their run-length encoded forms).
#pragma once

#include <cstddef>
#include <cstdint>
#include <ostream>
#include <string>

#include "image/Image.h"

namespace image {

// Decodes a TGA file held in memory. Rows come out in the reverse of the
// file's row order (top row first for the usual bottom-left origin).
// Components: colour-map entry bytes (3 or 4) for types 1 and 9, pixel
// depth / 8 (1, 2, 3 or 4) for types 2 and 10. Every refusal is written to
// `log` naming `fileName`; on failure `out` is left empty.
bool decodeTga(const std::uint8_t* data, std::size_t size, const std::string& fileName, Image& out,
               std::ostream& log);

// Reads the file, then decodes it. A file that cannot be opened fails
// without a message.
bool readTga(const std::string& fileName, Image& out, std::ostream& log);

// Exchanges the first and third byte of `count` entries spaced `stride`
// bytes apart (BGR(A) becomes RGB(A)). stride must be at least 3.
void swapRedBlue(std::uint8_t* buffer, std::size_t count, std::size_t stride);

// Reverses the order of `rows` rows of `rowBytes` bytes in place.
void flipRows(std::uint8_t* buffer, std::size_t rowBytes, std::size_t rows);

}  // namespace image
