// Framing the whole construction: a camera pose from a raised three-quarter
// angle that sees every klotz and ball start, as close as the picture
// allows. Plain arithmetic on the camera; nothing here touches GL.
#pragma once

#include <optional>
#include <vector>

#include <glm/glm.hpp>

#include "view/Camera.h"

namespace view {

// The framed view looks down by this much, turned by one of these headings
// from the start camera's -z towards +x (degrees): the one that shows the
// construction largest.
constexpr float FRAMING_PITCH_DEGREES = 40.0f;
constexpr float FRAMING_HEADINGS[] = {25.0f, 35.0f, 45.0f, 55.0f, 65.0f};
// Part of the picture's half-width and half-height left free on each side.
constexpr float FRAMING_MARGIN = 0.06f;

struct Box {
    glm::vec3 min{0.0f};
    glm::vec3 max{0.0f};
};

// The picture the construction has to fit in, as tangents of the angles off
// the view axis: -right..right across, bottom..top up the picture (bottom
// above -top where the palette strip covers the bottom of the window).
struct PictureWindow {
    float right = 0.0f;
    float bottom = 0.0f;
    float top = 0.0f;
};

// The window of a camera with the given aspect ratio whose bottom
// coveredFraction of the height is hidden (0 when nothing covers it).
PictureWindow pictureWindow(float aspectRatio, float coveredFraction);

// The box around points; nothing for none.
std::optional<Box> bounds(const std::vector<glm::vec3>& points);

// The unit view direction of the framed view at a heading.
glm::vec3 framingDirection(float headingDegrees);

struct Framing {
    glm::vec3 eye{0.0f};
    float distance = 0.0f;  // along the view, from the eye to the points' centre
};

// The nearest eye looking along the unit direction that has all points (or
// the eight corners of box) inside window, shrunk by the margin, centred.
Framing framingEye(const std::vector<glm::vec3>& points, glm::vec3 direction, PictureWindow window);
Framing framingEye(const Box& box, glm::vec3 direction, PictureWindow window);

// Points the camera at the whole construction, given as the corners of its
// parts (scene::constructionCorners); an empty scene gets the start pose.
// The aspect ratio stays.
void frameConstruction(Camera& camera, const std::vector<glm::vec3>& corners, float coveredFraction);

}  // namespace view
