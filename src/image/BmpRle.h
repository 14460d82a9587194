// Run-length compressed bitmap pixels (RLE8 and RLE4), which image editors
// write by default for images of 256 colours or fewer.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace image {

// Unpacks RLE8 (bits 8) or RLE4 (bits 4) pixel data into one palette index
// per pixel, width x rows, rows in file order (bottom first). Pixels the
// data skips (a delta, a row or bitmap ended early) keep index 0, and
// pixels past a row's end are dropped. False when the data ends before its
// end-of-bitmap mark while rows are still to come.
bool unpackRle(const std::uint8_t* data, std::size_t size, int bits, std::size_t width, std::size_t rows,
               std::vector<std::uint8_t>& indices);

}  // namespace image
