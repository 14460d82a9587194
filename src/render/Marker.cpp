#include "render/Marker.h"

#include <cmath>

namespace render {

namespace {

// Slanted faces of the head: 9 up over 12.5 across, t = 1 / sqrt(1 + 0.72^2).
constexpr glm::vec3 LEFT_SLANT{-0.5843047f, -0.8115343f, 0.0f};
constexpr glm::vec3 RIGHT_SLANT{0.5843047f, -0.8115343f, 0.0f};
constexpr glm::vec3 FRONT{0, 0, 1};
constexpr glm::vec3 BACK{0, 0, -1};
constexpr glm::vec3 LEFT{-1, 0, 0};
constexpr glm::vec3 RIGHT{1, 0, 0};
constexpr glm::vec3 UP{0, 1, 0};

constexpr double DEGREES_TO_RADIANS = 3.14159265358979323846 / 180.0;

}  // namespace

// The shoulders (17 to 20, the head's upper face beside the shaft) share the
// shaft top's upward normal.
const std::array<MarkerTriangle, MARKER_TRIANGLE_COUNT> MARKER_TRIANGLES{{
    {FRONT, {{{25, 1, -21}, {37.5f, 10, -21}, {12.5f, 10, -21}}}},
    {FRONT, {{{20, 10, -21}, {30, 10, -21}, {30, 31, -21}}}},
    {FRONT, {{{20, 10, -21}, {30, 31, -21}, {20, 31, -21}}}},
    {BACK, {{{25, 1, -29}, {12.5f, 10, -29}, {37.5f, 10, -29}}}},
    {BACK, {{{20, 10, -29}, {30, 31, -29}, {30, 10, -29}}}},
    {BACK, {{{20, 10, -29}, {20, 31, -29}, {30, 31, -29}}}},
    {LEFT_SLANT, {{{25, 1, -29}, {25, 1, -21}, {12.5f, 10, -21}}}},
    {LEFT_SLANT, {{{25, 1, -29}, {12.5f, 10, -21}, {12.5f, 10, -29}}}},
    {LEFT, {{{20, 10, -29}, {20, 10, -21}, {20, 31, -21}}}},
    {LEFT, {{{20, 10, -29}, {20, 31, -21}, {20, 31, -29}}}},
    {RIGHT_SLANT, {{{25, 1, -29}, {37.5f, 10, -21}, {25, 1, -21}}}},
    {RIGHT_SLANT, {{{25, 1, -29}, {37.5f, 10, -29}, {37.5f, 10, -21}}}},
    {RIGHT, {{{30, 10, -29}, {30, 31, -21}, {30, 10, -21}}}},
    {RIGHT, {{{30, 10, -29}, {30, 31, -29}, {30, 31, -21}}}},
    {UP, {{{20, 31, -21}, {30, 31, -21}, {30, 31, -29}}}},
    {UP, {{{20, 31, -21}, {30, 31, -29}, {20, 31, -29}}}},
    {UP, {{{37.5f, 10, -21}, {37.5f, 10, -29}, {30, 10, -29}}}},
    {UP, {{{37.5f, 10, -21}, {30, 10, -29}, {30, 10, -21}}}},
    {UP, {{{12.5f, 10, -21}, {20, 10, -29}, {12.5f, 10, -29}}}},
    {UP, {{{12.5f, 10, -21}, {20, 10, -21}, {20, 10, -29}}}},
}};

double advanceMarkerPhase(MarkerAnimation& animation, double now) {
    animation.markerPhase += (now - animation.lastUpdate) * MARKER_DEGREES_PER_SECOND;
    animation.lastUpdate = now;
    // A clock that stepped back would otherwise push the phase below -90
    // without bound and freeze the bob; restart it like a pass over 90.
    if (animation.markerPhase > MARKER_PHASE_MAX || !(animation.markerPhase >= MARKER_PHASE_MIN))
        animation.markerPhase = MARKER_PHASE_MIN;
    return animation.markerPhase;
}

glm::vec3 markerOffset(int row, int column, int stackHeight, double phase) {
    double lift = std::cos(phase * DEGREES_TO_RADIANS) * MARKER_BOB_HEIGHT + stackHeight * 50.0;
    return {static_cast<float>(row * 50), static_cast<float>(lift), static_cast<float>(column * -50)};
}

}  // namespace render
