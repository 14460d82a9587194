// Switching between building and simulating, pausing, and the balls: back
// on their starting cells at a start, shot from the camera with SPACE.
#pragma once

#include <glm/glm.hpp>

#include "scene/Commands.h"

namespace scene {

// Camera direction when a run starts seen from a resting ball: almost
// straight down, with a small horizontal heading so the view stays defined.
const glm::vec3 OVERHEAD_VIEW{0.001f, -1.0f, 0.001f};

// Every ball of a starting point at the centre of the free level above its
// cell's top klotz, at rest. Orientations stay.
void resetBallsToStarts(SceneModel& model, physics::PhysicsWorld& world);

// A new ball at the camera, flying along the view at SHOOT_SPEED.
void shootBall(CommandContext& ctx);

// Building -> simulation (paused at once, seen from the ball, when a ball is
// followed); the palette and the menu go away.
void startSimulation(CommandContext& ctx);
// Simulation -> building: the shot balls leave the world, the palette and
// the menu come back. Start-cell balls stay where they are.
void stopSimulation(CommandContext& ctx);
// Pause, or resume with both step clocks renewed so the paused time is not
// simulated.
void togglePause(CommandContext& ctx);

}  // namespace scene
