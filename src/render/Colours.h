// The colour table of the main window: RGBA in single precision, byte
// values given as the float quotients n / 255.
#pragma once

#include <array>

#include "particles/ParticleSystem.h"

namespace render {

using Rgba = std::array<float, 4>;

constexpr float byteColour(int n) { return static_cast<float>(n) / 255.0f; }

struct RenderColours {
    Rgba ballColour{1.0f, 1.0f, 1.0f, 1.0f};
    Rgba klotzColour{byteColour(160), byteColour(100), byteColour(45), 1.0f};
    Rgba markerColour{byteColour(132), byteColour(238), byteColour(232), 1.0f};
    Rgba selectedKlotzColour{byteColour(132), byteColour(238), byteColour(232), 1.0f};
    Rgba gridColour{1.0f, 1.0f, 1.0f, 1.0f};
    Rgba followedStartColour{1.0f, 0.0f, 0.0f, 1.0f};
    Rgba particleStartColour = particles::DEFAULT_START_COLOUR;
    Rgba particleEndColour = particles::DEFAULT_END_COLOUR;  // fades out
};

}  // namespace render
