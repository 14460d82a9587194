// Shared body of the reader fuzz targets: decode arbitrary bytes with the
// messages swallowed, and check that an accepted image is whole.
#pragma once

#include <cstddef>
#include <cstdint>
#include <ostream>
#include <streambuf>
#include <string>

#include "image/Image.h"

namespace fuzzdecode {

class NullBuffer : public std::streambuf {
protected:
    int overflow(int c) override { return c == traits_type::eof() ? 0 : c; }
};

using Decoder = bool (*)(const std::uint8_t*, std::size_t, const std::string&, image::Image&, std::ostream&);

inline int run(Decoder decode, const char* name, const std::uint8_t* data, std::size_t size) {
    static NullBuffer buffer;
    static std::ostream discard(&buffer);
    image::Image out;
    if (decode(data, size, name, out, discard)) {
        // Touch every byte so the sanitizers see the whole buffer.
        volatile std::uint8_t sum = 0;
        for (std::uint8_t b : out.pixels) sum = static_cast<std::uint8_t>(sum + b);
        if (out.pixels.size() != static_cast<std::size_t>(out.width) * out.height * out.components) __builtin_trap();
    }
    return 0;
}

}  // namespace fuzzdecode
