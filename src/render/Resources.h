// The fixed render resources of the main window that are not klotz meshes:
// colours, the ball texture, the shared quadric and the marker display list.
// All GL objects belong to the main window's context.
#pragma once

#include <array>
#include <functional>
#include <string>

#include "view/Camera.h"
#include "render/Colours.h"

class GLUquadric;  // GLU's opaque quadric; only the Gl units look inside

namespace render {

constexpr const char* BALL_TEXTURE_FILE = "some01.bmp";
constexpr float BALL_DRAW_RADIUS = 8.0f;  // world units
constexpr int BALL_SLICES = 50;
constexpr int BALL_STACKS = 50;
// A ball far from the eye covers a few pixels; there a coarser sphere looks
// the same and costs a fraction. Distances in world units.
// A ball is about 45 pixels across at 150 units in a 500-pixel window, 23
// at 300 and 14 at 500; each level keeps its facets a few pixels wide.
constexpr int BALL_LEVELS = 4;
constexpr float BALL_LEVEL_DISTANCES[BALL_LEVELS - 1] = {150.0f, 300.0f, 500.0f};
// Slices and stacks per level, finest (BALL_SLICES x BALL_STACKS) first.
constexpr int BALL_LEVEL_DIVISIONS[BALL_LEVELS] = {BALL_SLICES, 16, 12, 8};

struct RenderResources {
    RenderColours colours;
    unsigned ballTexture = 0;  // 0 when the image could not be read
    unsigned markerList = 0;
    unsigned ringList = 0;  // the ball-start ring, lying flat
    // The textured ball sphere at three levels of detail, finest first,
    // compiled once; 0 when there is no quadric.
    std::array<unsigned, BALL_LEVELS> ballLists{};
    GLUquadric* quadric = nullptr;
};

// Loads a texture by file name (compress: S3TC upload); returns the GL
// texture name or 0. The texture registry owns what it returns.
using TextureLoader = std::function<unsigned(const std::string& file, bool compress)>;

// With the main window's context current: the camera's start pose, the
// colours, the ball texture (requested compressed), the quadric (created here
// if absent) and its style, the display lists of the ball sphere, the ring
// and the marker.
void buildPrimitives(RenderResources& res, view::Camera& camera, TextureLoader loadTexture);

// Deletes the display lists and the quadric. The texture stays with the
// texture registry.
void releaseResources(RenderResources& res);


}  // namespace render
