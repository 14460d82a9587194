// The decoded picture the readers hand to the texture registry.
#pragma once

#include <cstdint>
#include <vector>

namespace image {

// width x height pixels of `components` bytes each (R, G, B(, A) order, or
// one grey/alpha byte), rows tightly packed without padding. Row 0 becomes
// texture row t = 0, the bottom of the texture. An empty Image (all zero)
// means "no image".
struct Image {
    std::vector<std::uint8_t> pixels;
    int width = 0;
    int height = 0;
    int components = 0;
};

}  // namespace image
