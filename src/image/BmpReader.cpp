#include "image/BmpReader.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "image/ImageFile.h"

namespace image {

namespace {

constexpr std::size_t FILE_HEADER_BYTES = 14;
constexpr std::size_t INFO_HEADER_BYTES = 40;
constexpr std::size_t HEADER_BYTES = FILE_HEADER_BYTES + INFO_HEADER_BYTES;
constexpr std::size_t PALETTE_ENTRIES = 256;
constexpr std::size_t PALETTE_BYTES = PALETTE_ENTRIES * 4;  // blue, green, red, unused

std::uint16_t le16(const std::uint8_t* p) { return static_cast<std::uint16_t>(p[0] | (p[1] << 8)); }

std::uint32_t le32(const std::uint8_t* p) {
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
           (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

// Grey unless some entry i has red, green and blue all different from i;
// an entry matching i in one channel alone still counts as grey.
bool paletteIsGrey(const std::uint8_t* palette) {
    for (std::size_t i = 0; i < PALETTE_ENTRIES; ++i) {
        const std::uint8_t* e = palette + i * 4;
        if (e[0] != i && e[1] != i && e[2] != i) return false;
    }
    return true;
}

bool fail(Image& out) {
    out = Image{};
    return false;
}

}  // namespace

bool decodeBmp(const std::uint8_t* data, std::size_t size, const std::string& fileName, Image& out,
               std::ostream& log) {
    out = Image{};
    if (data == nullptr || size < 2 || data[0] != 'B' || data[1] != 'M') return false;
    if (size < HEADER_BYTES) {
        log << "[ERROR] The file " << fileName << " ends inside its bitmap header\n";
        return false;
    }
    const std::int32_t width = static_cast<std::int32_t>(le32(data + 18));
    const std::int32_t height = static_cast<std::int32_t>(le32(data + 22));
    const std::uint16_t bitsPerPixel = le16(data + 28);
    const std::uint32_t compression = le32(data + 30);

    if (compression != 0) {
        log << "[ERROR] This bitmap loader does not support compressed files (yet)\n";
        return false;
    }
    if (bitsPerPixel != 8 && bitsPerPixel != 24 && bitsPerPixel != 32) {
        log << "[ERROR] bitmap loader does not support this bit depth\n";
        return false;
    }
    // A negative height marks a top-down bitmap; INT32_MIN has no positive
    // counterpart.
    if (width <= 0 || height == 0 || height == INT32_MIN) {
        log << "[ERROR] The file " << fileName << " has an invalid image size of " << width << " x "
            << height << " pixels\n";
        return false;
    }

    std::size_t pos = HEADER_BYTES;
    const std::uint8_t* palette = nullptr;
    if (bitsPerPixel == 8) {
        if (size - pos < PALETTE_BYTES) {
            log << "[ERROR] The file " << fileName << " ends inside its colour palette\n";
            return false;
        }
        palette = data + pos;
        pos += PALETTE_BYTES;
    }

    // All sizes in 64 bits: width < 2^31 and at most 4 bytes per pixel.
    const std::uint64_t fileComponents = bitsPerPixel / 8;
    const std::uint64_t rowBytes = static_cast<std::uint64_t>(width) * fileComponents;
    const std::uint64_t stride = (rowBytes + 3) & ~static_cast<std::uint64_t>(3);
    const std::uint64_t rows = static_cast<std::uint64_t>(std::llabs(static_cast<long long>(height)));
    const std::uint64_t available = size - pos;
    // The last row's padding may be missing; every byte of every pixel must
    // be there. This also bounds the output by the file's size.
    if (rowBytes > available || rows - 1 > (available - rowBytes) / stride) {
        log << "[ERROR] The file " << fileName << " ends before its pixel data is complete\n";
        return fail(out);
    }

    const bool grey = palette != nullptr && paletteIsGrey(palette);
    const int components = palette != nullptr ? (grey ? 1 : 3) : static_cast<int>(fileComponents);
    const std::size_t outRowBytes = static_cast<std::size_t>(width) * components;
    out.pixels.resize(outRowBytes * rows);
    out.width = width;
    out.height = static_cast<int>(rows);
    out.components = components;

    for (std::uint64_t r = 0; r < rows; ++r) {
        const std::uint8_t* src = data + pos + r * stride;
        // Bottom-up in the buffer whatever the file's order.
        const std::uint64_t destRow = height > 0 ? r : rows - 1 - r;
        std::uint8_t* dest = out.pixels.data() + destRow * outRowBytes;
        if (palette == nullptr) {
            for (std::size_t x = 0; x < static_cast<std::size_t>(width); ++x) {
                const std::uint8_t* s = src + x * fileComponents;
                std::uint8_t* d = dest + x * fileComponents;
                d[0] = s[2];
                d[1] = s[1];
                d[2] = s[0];
                if (fileComponents == 4) d[3] = s[3];
            }
        } else if (grey) {
            std::copy(src, src + width, dest);
        } else {
            for (std::size_t x = 0; x < static_cast<std::size_t>(width); ++x) {
                const std::uint8_t* e = palette + static_cast<std::size_t>(src[x]) * 4;
                dest[x * 3 + 0] = e[2];
                dest[x * 3 + 1] = e[1];
                dest[x * 3 + 2] = e[0];
            }
        }
    }
    return true;
}

bool readBmp(const std::string& fileName, Image& out, std::ostream& log) {
    out = Image{};
    const io::Result<std::string> bytes = readImageFile(fileName, log);
    if (!bytes) return false;
    return decodeBmp(bytesOf(*bytes), bytes->size(), fileName, out, log);
}

}  // namespace image
