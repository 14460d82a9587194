// The cell marker: a downward-pointing arrow prism in cell-local
// coordinates (x 12.5..37.5, y 1..31, z -29..-21; tip at (25, 1)), and its
// bobbing animation. Plain data, compiled into a display list elsewhere.
#pragma once

#include <array>

#include <glm/glm.hpp>

namespace render {

constexpr int MARKER_TRIANGLE_COUNT = 20;
constexpr float MARKER_BOB_HEIGHT = 5.0f;       // world units the tip rises above its lowest point
constexpr double MARKER_DEGREES_PER_SECOND = 180.0;
constexpr double MARKER_PHASE_MIN = -90.0;      // degrees
constexpr double MARKER_PHASE_MAX = 90.0;

// Corners counter-clockwise seen from outside; normal is the GL normal in
// force for this triangle.
struct MarkerTriangle {
    glm::vec3 normal;
    std::array<glm::vec3, 3> corners;
};

extern const std::array<MarkerTriangle, MARKER_TRIANGLE_COUNT> MARKER_TRIANGLES;

// The marker's phase in degrees and when it last moved (frame clock
// seconds). Both start at 0, so the first drawn marker starts at -90.
struct MarkerAnimation {
    double markerPhase = 0.0;
    double lastUpdate = 0.0;
};

// Advances the phase by 180 degrees per second, restarting at -90 once it
// passes 90: one bob per second. Returns the new phase.
double advanceMarkerPhase(MarkerAnimation& animation, double now);

// Translation of the marker over cell (row, column) with stackHeight kloetze
// on it: the cell's corner, lifted by the stack and the bob.
glm::vec3 markerOffset(int row, int column, int stackHeight, double phase);

}  // namespace render
