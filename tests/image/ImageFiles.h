// Builders for small BMP and TGA files in memory, for the reader tests.
#pragma once

#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include <cstdint>
#include <string>
#include <vector>

#include "image/Image.h"

namespace imagetest {

using Bytes = std::vector<std::uint8_t>;

inline void put16(Bytes& b, std::uint32_t v) {
    b.push_back(v & 0xff);
    b.push_back((v >> 8) & 0xff);
}

inline void put32(Bytes& b, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) b.push_back((v >> (8 * i)) & 0xff);
}

// Headers, optional 256-entry palette (B, G, R, 0 each), then `pixelData`
// as given (rows with their padding).
inline Bytes bmpFile(std::int32_t width, std::int32_t height, int bitsPerPixel, const Bytes& pixelData,
                     const Bytes& palette = {}, std::uint32_t compression = 0) {
    Bytes b{'B', 'M'};
    const std::uint32_t offset = 54 + static_cast<std::uint32_t>(palette.size());
    put32(b, offset + static_cast<std::uint32_t>(pixelData.size()));
    put32(b, 0);
    put32(b, offset);
    put32(b, 40);
    put32(b, static_cast<std::uint32_t>(width));
    put32(b, static_cast<std::uint32_t>(height));
    put16(b, 1);
    put16(b, bitsPerPixel);
    put32(b, compression);
    for (int i = 0; i < 5; ++i) put32(b, 0);
    b.insert(b.end(), palette.begin(), palette.end());
    b.insert(b.end(), pixelData.begin(), pixelData.end());
    return b;
}

inline Bytes greyPalette() {
    Bytes p;
    for (int i = 0; i < 256; ++i) p.insert(p.end(), {std::uint8_t(i), std::uint8_t(i), std::uint8_t(i), 0});
    return p;
}

// Sets palette entry i to red, green, blue.
inline void setEntry(Bytes& palette, int i, std::uint8_t r, std::uint8_t g, std::uint8_t b) {
    palette[i * 4 + 0] = b;
    palette[i * 4 + 1] = g;
    palette[i * 4 + 2] = r;
}

struct TgaHeader {
    int type = 2;
    int width = 1;
    int height = 1;
    int depth = 24;
    int colourMapType = 0;
    int colourMapLength = 0;
    int colourMapBits = 0;
    std::string id;
};

inline Bytes tgaFile(const TgaHeader& h, const Bytes& colourMap, const Bytes& data) {
    Bytes b;
    b.push_back(static_cast<std::uint8_t>(h.id.size()));
    b.push_back(static_cast<std::uint8_t>(h.colourMapType));
    b.push_back(static_cast<std::uint8_t>(h.type));
    put16(b, 0);
    put16(b, h.colourMapLength);
    b.push_back(static_cast<std::uint8_t>(h.colourMapBits));
    put16(b, 0);
    put16(b, 0);
    put16(b, h.width);
    put16(b, h.height);
    b.push_back(static_cast<std::uint8_t>(h.depth));
    b.push_back(0);
    b.insert(b.end(), h.id.begin(), h.id.end());
    b.insert(b.end(), colourMap.begin(), colourMap.end());
    b.insert(b.end(), data.begin(), data.end());
    return b;
}

inline std::string asString(const Bytes& b) { return std::string(b.begin(), b.end()); }

// The outcome of decoding one in-memory file, with what the reader said.
struct Decoded {
    bool ok = false;
    image::Image image;
    std::string log;
};

using Decoder = bool (*)(const std::uint8_t*, std::size_t, const std::string&, image::Image&, std::ostream&);

inline Decoded decodeWith(Decoder decoder, const Bytes& file, const std::string& name) {
    Decoded d;
    std::ostringstream log;
    d.ok = decoder(file.data(), file.size(), name, d.image, log);
    d.log = log.str();
    return d;
}

// A refusal prints exactly message and hands back no image.
inline void expectRefused(const Decoded& d, const std::string& message) {
    EXPECT_FALSE(d.ok);
    EXPECT_EQ(d.log, message);
    EXPECT_TRUE(d.image.pixels.empty());
    EXPECT_EQ(d.image.width, 0);
    EXPECT_EQ(d.image.components, 0);
}

}  // namespace imagetest
