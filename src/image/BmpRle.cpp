#include "image/BmpRle.h"

namespace image {

bool unpackRle(const std::uint8_t* data, std::size_t size, int bits, std::size_t width, std::size_t rows,
               std::vector<std::uint8_t>& indices) {
    indices.assign(width * rows, 0);
    std::size_t x = 0;
    std::size_t y = 0;
    std::size_t i = 0;
    const auto put = [&](unsigned index) {
        if (x < width && y < rows) indices[y * width + x] = static_cast<std::uint8_t>(index);
        ++x;
    };
    // Pixel k of a run of 4-bit pixels: high nibble first.
    const auto nibble = [](std::uint8_t byte, unsigned k) { return k % 2 == 0 ? byte >> 4 : byte & 15u; };
    while (y < rows) {
        if (i > size || size - i < 2) return false;
        const unsigned count = data[i];
        const unsigned value = data[i + 1];
        i += 2;
        if (count > 0) {  // a run of one index (RLE4: two alternating)
            for (unsigned k = 0; k < count; ++k) put(bits == 8 ? value : nibble(static_cast<std::uint8_t>(value), k));
            continue;
        }
        switch (value) {
        case 0:  // end of row
            x = 0;
            ++y;
            break;
        case 1:  // end of bitmap
            return true;
        case 2:  // move right and up
            if (size - i < 2) return false;
            x += data[i];
            y += data[i + 1];
            i += 2;
            break;
        default: {  // `value` indices as they are, padded to a 16-bit boundary
            const std::size_t bytes = bits == 8 ? value : (value + 1) / 2;
            if (size - i < bytes) return false;
            for (unsigned k = 0; k < value; ++k) put(bits == 8 ? data[i + k] : nibble(data[i + k / 2], k));
            i += (bytes + 1) & ~std::size_t{1};
        }
        }
    }
    return true;
}

}  // namespace image
