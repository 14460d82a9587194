// Fuzz target: arbitrary bytes through the BMP decoder.
#include <cstddef>
#include <cstdint>
#include <ostream>
#include <streambuf>

#include "image/BmpReader.h"
#include "image/Image.h"

namespace {

// Swallows the reader's messages.
class NullBuffer : public std::streambuf {
protected:
    int overflow(int c) override { return c == traits_type::eof() ? 0 : c; }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static NullBuffer buffer;
    static std::ostream discard(&buffer);
    image::Image out;
    if (image::decodeBmp(data, size, "fuzz.bmp", out, discard)) {
        // Touch every byte so the sanitizers see the whole buffer.
        volatile std::uint8_t sum = 0;
        for (std::uint8_t b : out.pixels) sum = static_cast<std::uint8_t>(sum + b);
        if (out.pixels.size() != static_cast<std::size_t>(out.width) * out.height * out.components) __builtin_trap();
    }
    return 0;
}
