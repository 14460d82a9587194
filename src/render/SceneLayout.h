// Where the scene picture puts things, and which of them it shows: the
// plain decisions behind the main window's frame, kept apart from GL.
#pragma once

#include <glm/glm.hpp>

#include "scene/SceneState.h"
#include "scene/SceneModel.h"

namespace render {

constexpr float RING_INNER_RADIUS = 5.0f;  // world units, the torus tube
constexpr float RING_OUTER_RADIUS = 15.625f;
constexpr int RING_SIDES = 20;
constexpr int RING_RINGS = 20;

// The particle update a ball-start ring asks for in building mode: a thin
// upward fountain from one point of the ring.
struct RingEmission {
    float timeStep = 0.025f;  // seconds; one drawn frame
    glm::vec3 position{0.0f};
    glm::vec3 velocity{0.0f, 1.0f, 0.0f};
    float minSpeed = 0.0f;
    float maxSpeed = 18.0f;
    float minAngle = 0.0f;  // degrees
    float maxAngle = 5.0f;
};

// A ball's shadow: darkest and tightest on the surface it touches, fading
// out as the ball rises to SHADOW_REACH above it (world units).
constexpr float SHADOW_REACH = 300.0f;
struct ShadowDisc {
    float radius = 0.0f;  // world units
    float alpha = 0.0f;   // of black at the centre; the rim is clear
};
// The disc for a ball whose lowest point is height above the surface.
ShadowDisc shadowDisc(float height);

// Kloetze on a cell; 0 off the grid.
int stackHeight(const scene::SceneModel& model, int row, int column);

// The klotz drawn highlighted: the top of the selected cell's stack while
// klotzSelected is set, else -1 (also when the stack is unexpectedly empty).
int highlightedKlotz(const scene::SceneState& state, const scene::SceneModel& model);

// The emission point for random number r (0..32767): the centre of the ring
// over a ball start (the free level above its stack) plus
// (15.625, 0, 0) turned about y by r * 360 / 32767 degrees.
glm::vec3 ringEmissionPoint(glm::vec3 centre, int r);

// Which of the ball's display lists (0 finest) serves a ball at distance d
// from the eye, world units.
int ballDetailLevel(float d);

// Ball i of the ball actors is hidden while the camera rides inside it.
bool ballHidden(const scene::SceneState& state, int ball);

// Particles are drawn while on, except when the riding camera sits in their
// source ball during the simulation.
bool particlesDrawn(const scene::SceneState& state);

}  // namespace render
