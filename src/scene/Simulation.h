// Switching between building and simulating, pausing, and the balls: back
// on their starting cells at a start, shot from the camera with SPACE.
#pragma once

#include <optional>
#include <string>

#include <glm/glm.hpp>

#include "scene/Commands.h"

namespace scene {

// Camera direction when a run starts seen from a resting ball: almost
// straight down, with a small horizontal heading so the view stays defined.
const glm::vec3 OVERHEAD_VIEW{0.001f, -1.0f, 0.001f};

// Every ball of a starting point at the centre of the free level above its
// cell's top klotz, at rest. Orientations stay.
void resetBallsToStarts(SceneModel& model, physics::PhysicsWorld& world);

// Shot balls alive at once. Balls shot at one spot overlap, and their
// contact pairs grow with the square of their number; past this the oldest
// shot ball goes, so memory and frame time stay bounded.
constexpr int MAX_SHOT_BALLS = 300;

// A new ball at the camera, flying along the view at SHOOT_SPEED; the
// oldest shot ball leaves when MAX_SHOT_BALLS are alive.
void shootBall(CommandContext& ctx);

// Building -> simulation (paused at once, seen from the ball, when a ball is
// followed); the palette and the menu go away.
void startSimulation(CommandContext& ctx);
// Simulation -> building: the shot balls leave the world, the palette and
// the menu come back. Start-cell balls stay where they are.
void stopSimulation(CommandContext& ctx);
// The playback factors the user steps through with + and -, of the normal
// pace; PLAYBACK_NORMAL is 1.
constexpr double PLAYBACK_FACTORS[] = {1.0 / 16, 1.0 / 8, 1.0 / 4, 1.0 / 2, 1.0, 2.0, 4.0};
constexpr int PLAYBACK_NORMAL = 4;
constexpr int PLAYBACK_STEPS = 7;

// Playback speed of a run: the normal pace (double real time, or real time
// while the camera rides a ball) times the chosen factor.
float playbackSpeed(const SceneState& state);
// + and -: the next faster or slower factor, held at the ends.
void changePlaybackSpeed(CommandContext& ctx, int direction);

// One physics step of the run, recorded.
void stepRun(CommandContext& ctx);
// n while paused: one step forward, replayed from the record while the run
// is rewound, else simulated.
void stepForward(CommandContext& ctx);
// b while paused: one recorded step back.
void stepBack(CommandContext& ctx);
// Up to steps recorded steps back at once, never before the record's start.
void stepBackBy(CommandContext& ctx, long steps);

// The status line shown while the playback is not plain: paused, rewound
// or at another speed, e.g. "paused  t=3.42 s  speed 1/4 (0.5x real time)";
// empty otherwise.
std::string runStatus(const SceneState& state, const SceneModel& model);

// One drawn frame of a running, unpaused simulation at frame-clock time
// now: the world advances by simulatedSeconds (the frame loop's share of the
// real time since lastStepTime, times the playback speed), and the spark
// effect follows its ball (a stale index feeds nothing).
void advanceSimulation(CommandContext& ctx, double now, double simulatedSeconds);

// The followed ball's position while the simulation runs with followBall
// set; nothing when not riding or when followedBall names no live ball (the
// camera then stays free for that frame).
std::optional<glm::vec3> rideTarget(const SceneState& state, const SceneModel& model,
                                    const physics::PhysicsWorld& world);

// Pause, or resume with both step clocks renewed so the paused time is not
// simulated.
void togglePause(CommandContext& ctx);

}  // namespace scene
