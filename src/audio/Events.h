// What the sound of a ball run is made from: the contact events the
// simulation reports each 0.01 s step, as plain records. Speeds are world
// units (millimetres) per second; times are seconds.
#pragma once

#include <glm/glm.hpp>

namespace audio {

constexpr int SAMPLE_RATE = 44100;  // samples per second, mono

// What the ball struck; each has its own ring.
enum class Surface { Klotz, Ball, Wall };

// A ball meets something. One event per contact pair and step: two balls
// meeting give one Ball impact, not one per ball.
struct Impact {
    int ball = 0;
    Surface what = Surface::Klotz;
    float normalSpeed = 0.0f;  // relative speed along the contact normal, units/s
    glm::vec3 position{0.0f};  // world units; where it happened
};

// A ball's rolling state in one step; a ball that stops being reported
// falls silent as if it had lost contact.
struct Rolling {
    int ball = 0;
    float speed = 0.0f;  // units/s along the surface
    bool touching = false;
};

// Quieter contacts make no sound: a ball at rest on a piece keeps bumping
// into it at a few units/s, and a fall of one unit already lands at 28.
constexpr float IMPACT_THRESHOLD = 20.0f;  // units/s
constexpr float ROLLING_THRESHOLD = 5.0f;  // units/s

}  // namespace audio
