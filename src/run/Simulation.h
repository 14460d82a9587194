// Starting, stepping and stopping a run, pausing and rewinding it, and the
// balls: back on their starting cells at a start, shot from the camera with
// SPACE. The window and the headless simulator step runs through the same
// functions.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include <glm/glm.hpp>

#include "run/Run.h"

namespace run {

// Camera direction when a run starts seen from a resting ball: almost
// straight down, with a small horizontal heading so the view stays defined.
const glm::vec3 OVERHEAD_VIEW{0.001f, -1.0f, 0.001f};

// Every ball of a starting point at the centre of the free level above its
// cell's top klotz, at rest and unturned.
void resetBallsToStarts(scene::SceneModel& model, physics::PhysicsWorld& world);

// Shot balls alive at once. Balls shot at one spot overlap, and their
// contact pairs grow with the square of their number; past this the oldest
// shot ball goes, so memory and frame time stay bounded.
constexpr int MAX_SHOT_BALLS = 300;

// A new ball at the camera, flying along the view at SHOOT_SPEED; the
// oldest shot ball leaves when MAX_SHOT_BALLS are alive.
void shootBall(RunContext& ctx);

// A new run from the same state every time: the balls on their starts, the
// world's dynamics restarted, the clock, record and outcomes at step 0. In
// simulation mode afterwards (paused at once, seen from the ball, when a
// ball is followed).
void startRun(RunContext& ctx);
// Back to building mode: the shot balls leave the world; the start balls
// stay where they are. Prints the run's summary.
void stopRun(RunContext& ctx);

// Playback speed of a run: the normal pace (double real time, or real time
// while the camera rides a ball) times the chosen factor.
float playbackSpeed(const scene::SceneState& state, const Run& run);
// + and -: the next faster or slower factor, held at the ends.
void changePlaybackSpeed(Run& run, int direction);

// One physics step of the run: the world, the sound, the record and the
// outcomes. Returns the start balls' samples after it.
const std::vector<BallSample>& stepRun(RunContext& ctx);
// n while paused: one step forward, replayed from the record while the run
// is rewound, else simulated.
void stepForward(RunContext& ctx);
// b while paused: steps recorded steps back (at least one), held at the
// record's first step.
void stepBack(RunContext& ctx, long steps = 1);

// The status line shown while the playback is not plain: paused, rewound
// or at another speed, e.g. "paused  t=3.42 s  speed 1/4"; empty otherwise.
std::string runStatus(const scene::SceneState& state, const Run& run);

// One drawn frame of a running, unpaused simulation at frame-clock time
// now: the world advances by simulatedSeconds in whole steps (the rest is
// carried to the next frame), and the spark effect follows its ball (a
// stale index feeds nothing).
void advanceSimulation(RunContext& ctx, double now, double simulatedSeconds);

// The followed ball's position while the simulation runs with followBall
// set; nothing when not riding or when followedBall names no live ball (the
// camera then stays free for that frame).
std::optional<glm::vec3> rideTarget(const scene::SceneState& state, const scene::SceneModel& model,
                                    const physics::PhysicsWorld& world);

// Pause, or resume with both step clocks renewed so the paused time is not
// simulated; resuming at a rewound step forgets the recorded future.
void togglePause(RunContext& ctx);

}  // namespace run
