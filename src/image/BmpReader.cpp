#include "image/BmpReader.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "image/BmpRle.h"
#include "image/ImageFile.h"

namespace image {

namespace {

constexpr std::size_t FILE_HEADER_BYTES = 14;
constexpr std::uint32_t INFO_HEADER_BYTES = 40;  // the smallest header read; later versions extend it
constexpr std::size_t HEADER_BYTES = FILE_HEADER_BYTES + INFO_HEADER_BYTES;
// Bit-field masks start right after the first 40 header bytes: inside a
// header of 52 bytes or more, after a 40-byte one.
constexpr std::size_t MASKS_AT = HEADER_BYTES;
constexpr std::uint32_t MASKS_INSIDE_HEADER = 52;
constexpr std::uint32_t ALPHA_MASK_INSIDE_HEADER = 56;
constexpr std::size_t PALETTE_ENTRIES = 256;
constexpr std::size_t PALETTE_BYTES = PALETTE_ENTRIES * 4;  // blue, green, red, unused
// A few bytes of run-length data can describe any size: 4096 x 4096 pixels
// is far beyond a texture of this program, and bounds what is unpacked.
constexpr std::uint64_t MAX_RLE_PIXELS = std::uint64_t{1} << 24;

constexpr std::uint32_t BI_RGB = 0;
constexpr std::uint32_t BI_RLE8 = 1;
constexpr std::uint32_t BI_RLE4 = 2;
constexpr std::uint32_t BI_BITFIELDS = 3;
constexpr std::uint32_t BI_ALPHABITFIELDS = 6;

std::uint16_t le16(const std::uint8_t* p) { return static_cast<std::uint16_t>(p[0] | (p[1] << 8)); }

std::uint32_t le32(const std::uint8_t* p) {
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
           (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

// One colour channel of a bit-field pixel: the mask's run of set bits.
struct Channel {
    std::uint32_t mask = 0;
    int shift = 0;
    int bits = 0;

    // False for a mask whose set bits are not one run.
    bool set(std::uint32_t m) {
        mask = m;
        shift = 0;
        bits = 0;
        if (m == 0) return true;
        while (((m >> shift) & 1u) == 0) ++shift;
        const std::uint64_t run = static_cast<std::uint64_t>(m) >> shift;
        if ((run & (run + 1)) != 0) return false;
        while ((run >> bits) != 0) ++bits;
        return true;
    }

    // The channel scaled to 0..255 (5 bits 31 give 255, not 248).
    std::uint8_t of(std::uint32_t pixel) const {
        if (bits == 0) return 0;
        const std::uint32_t v = (pixel & mask) >> shift;
        if (bits >= 8) return static_cast<std::uint8_t>(v >> (bits - 8));
        const std::uint32_t top = (1u << bits) - 1;
        return static_cast<std::uint8_t>((v * 255 + top / 2) / top);
    }
};

bool fail(Image& out) {
    out = Image{};
    return false;
}

}  // namespace

bool decodeBmp(const std::uint8_t* data, std::size_t size, const std::string& fileName, Image& out,
               std::ostream& log) {
    out = Image{};
    if (data == nullptr || size < 2 || data[0] != 'B' || data[1] != 'M') return false;
    const auto endsInHeader = [&] {
        log << "[ERROR] The file " << fileName << " ends inside its bitmap header\n";
        return false;
    };
    if (size < HEADER_BYTES) return endsInHeader();
    const std::uint32_t pixelOffset = le32(data + 10);
    const std::uint32_t headerBytes = le32(data + 14);
    const std::int32_t width = static_cast<std::int32_t>(le32(data + 18));
    const std::int32_t height = static_cast<std::int32_t>(le32(data + 22));
    const std::uint16_t bitsPerPixel = le16(data + 28);
    const std::uint32_t compression = le32(data + 30);
    const std::uint32_t coloursUsed = le32(data + 46);

    // OS/2 headers (12 or 16 bytes) put width and height elsewhere.
    if (headerBytes < INFO_HEADER_BYTES) {
        log << "[ERROR] The file " << fileName << " has a bitmap header of " << headerBytes
            << " bytes; this loader reads Windows headers of 40 bytes or more\n";
        return false;
    }
    if (headerBytes > size - FILE_HEADER_BYTES) return endsInHeader();

    const bool bitFields = (compression == BI_BITFIELDS || compression == BI_ALPHABITFIELDS) &&
                           (bitsPerPixel == 16 || bitsPerPixel == 32);
    const bool rle = (compression == BI_RLE8 && bitsPerPixel == 8) || (compression == BI_RLE4 && bitsPerPixel == 4);
    if (compression != BI_RGB && !bitFields && !rle) {
        log << "[ERROR] This bitmap loader does not support compressed files (yet)\n";
        return false;
    }
    // 16 bits only with their masks: without them the layout is 5-5-5, which
    // this loader never read.
    const bool paletted = bitsPerPixel == 1 || bitsPerPixel == 4 || bitsPerPixel == 8;
    if (!paletted && bitsPerPixel != 24 && bitsPerPixel != 32 && !(bitsPerPixel == 16 && bitFields)) {
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

    const std::uint64_t rows = static_cast<std::uint64_t>(std::llabs(static_cast<long long>(height)));
    if (rle && (height < 0 || static_cast<std::uint64_t>(width) * rows > MAX_RLE_PIXELS)) {
        log << "[ERROR] The file " << fileName << " is a compressed bitmap of " << width << " x " << height
            << " pixels; this loader unpacks bottom-up ones of at most " << MAX_RLE_PIXELS << " pixels\n";
        return false;
    }

    // Where masks and palette end; pixels start there unless the file header
    // says later (an offset pointing back into the headers is not believed).
    std::uint64_t tablesEnd = FILE_HEADER_BYTES + static_cast<std::uint64_t>(headerBytes);
    std::array<Channel, 4> channels{};  // red, green, blue, alpha
    if (bitFields) {
        const std::size_t maskCount =
            compression == BI_ALPHABITFIELDS || headerBytes >= ALPHA_MASK_INSIDE_HEADER ? 4 : 3;
        if (headerBytes < MASKS_INSIDE_HEADER) tablesEnd = MASKS_AT + 4 * maskCount;
        if (tablesEnd > size) return endsInHeader();
        for (std::size_t i = 0; i < maskCount; ++i) {
            if (!channels[i].set(le32(data + MASKS_AT + 4 * i))) {
                log << "[ERROR] The file " << fileName << " has colour masks this bitmap loader does not support\n";
                return false;
            }
        }
    }

    // The palette as 256 entries; those the file does not give stay black,
    // as the colour of an index the file has no entry for.
    std::array<std::uint8_t, PALETTE_BYTES> palette{};
    if (paletted) {
        const std::uint32_t entries = 1u << bitsPerPixel;
        const std::uint32_t given = coloursUsed == 0 || coloursUsed > entries ? entries : coloursUsed;
        // Without room for a palette before its pixels a 1- or 4-bit file
        // has no colours: refused like any other depth this loader cannot show.
        if (bitsPerPixel < 8 && pixelOffset <= tablesEnd) {
            log << "[ERROR] bitmap loader does not support this bit depth\n";
            return false;
        }
        if (size - tablesEnd < 4 * static_cast<std::uint64_t>(given)) {
            log << "[ERROR] The file " << fileName << " ends inside its colour palette\n";
            return false;
        }
        std::copy(data + tablesEnd, data + tablesEnd + 4 * given, palette.begin());
        tablesEnd += 4 * given;
    }
    const std::uint64_t pos = std::max<std::uint64_t>(pixelOffset, tablesEnd);

    // All sizes in 64 bits: width < 2^31 and at most 32 bits per pixel.
    const std::uint64_t rowBytes = (static_cast<std::uint64_t>(width) * bitsPerPixel + 7) / 8;
    const std::uint64_t stride = (rowBytes + 3) & ~static_cast<std::uint64_t>(3);
    const std::uint64_t available = pos < size ? size - pos : 0;
    // The last row's padding may be missing; every byte of every pixel must
    // be there. This also bounds the output by 24 times the file's size.
    std::vector<std::uint8_t> unpacked;
    const bool complete = rle ? unpackRle(data + pos, available, bitsPerPixel, static_cast<std::size_t>(width),
                                          static_cast<std::size_t>(rows), unpacked)
                              : rowBytes <= available && rows - 1 <= (available - rowBytes) / stride;
    if (!complete) {
        log << "[ERROR] The file " << fileName << " ends before its pixel data is complete\n";
        return fail(out);
    }

    // A palette is colours, whatever they are: even a grey ramp.
    int components = bitsPerPixel / 8;
    if (paletted) components = 3;
    if (bitFields) components = channels[3].bits > 0 ? 4 : 3;
    const std::size_t outRowBytes = static_cast<std::size_t>(width) * components;
    out.pixels.resize(outRowBytes * rows);
    out.width = width;
    out.height = static_cast<int>(rows);
    out.components = components;

    const std::size_t bits = bitsPerPixel;
    const std::size_t fileComponents = bits / 8;
    for (std::uint64_t r = 0; r < rows; ++r) {
        const std::uint8_t* src = rle ? nullptr : data + pos + r * stride;
        // Bottom-up in the buffer whatever the file's order.
        const std::uint64_t destRow = height > 0 ? r : rows - 1 - r;
        std::uint8_t* dest = out.pixels.data() + destRow * outRowBytes;
        for (std::size_t x = 0; x < static_cast<std::size_t>(width); ++x) {
            std::uint8_t* d = dest + x * components;
            if (paletted) {
                // Leftmost pixel in the highest bits of its byte.
                const std::size_t bit = x * bits;
                const unsigned index = rle ? unpacked[r * width + x]
                                           : (src[bit / 8] >> (8 - bits - bit % 8)) & ((1u << bits) - 1);
                const std::uint8_t* e = palette.data() + index * 4;
                d[0] = e[2];
                d[1] = e[1];
                d[2] = e[0];
            } else if (bitFields) {
                const std::uint8_t* s = src + x * fileComponents;
                const std::uint32_t pixel = bits == 16 ? le16(s) : le32(s);
                for (int c = 0; c < components; ++c) d[c] = channels[c].of(pixel);
            } else {
                const std::uint8_t* s = src + x * fileComponents;
                d[0] = s[2];
                d[1] = s[1];
                d[2] = s[0];
                if (fileComponents == 4) d[3] = s[3];
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
