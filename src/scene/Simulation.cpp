#include "scene/Simulation.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <ostream>
#include <vector>

#include "physics/Actors.h"
#include "scene/BallContacts.h"

namespace scene {

void resetBallsToStarts(SceneModel& model, physics::PhysicsWorld& world) {
    for (int i = 0; i < model.ballCount(); ++i) {
        const BallStart& start = model.ballStarts[i];
        const physics::ActorHandle ball = model.ballActors[i];
        world.setGlobalPosition(ball, levelCentre(start.row, start.column, stackSize(model, start.row, start.column)));
        world.setAngularVelocity(ball, glm::vec3(0.0f));
        world.setLinearVelocity(ball, glm::vec3(0.0f));
    }
}

void shootBall(CommandContext& ctx) {
    std::vector<physics::ActorHandle>& shot = ctx.model.shotBalls;
    if (static_cast<int>(shot.size()) >= MAX_SHOT_BALLS) {
        ctx.world.releaseActor(shot.front());
        shot.erase(shot.begin());
    }
    const physics::ActorHandle ball = physics::createBallActor(ctx.world);
    ctx.world.setGlobalPosition(ball, ctx.camera.position);
    ctx.world.setAngularVelocity(ball, glm::vec3(0.0f));
    ctx.world.setLinearVelocity(ball, ctx.camera.direction * physics::SHOOT_SPEED);
    ctx.model.shotBalls.push_back(ball);
}

void startSimulation(CommandContext& ctx) {
    SceneState& state = ctx.state;
    ctx.particles.reset();
    state.simulationRunning = true;
    state.simulationPaused = false;
    state.klotzSelected = false;
    state.playbackStep = PLAYBACK_NORMAL;
    state.stepCarry = 0.0;
    state.runStep = 0;
    resetBallsToStarts(ctx.model, ctx.world);
    ctx.model.run.start(ctx.model, ctx.world);
    ctx.world.setContactReporting(true);  // the sound and the run's outcomes
    if (ctx.insight) startRunInsight(*ctx.insight, ctx.model, ctx.catalogue, ctx.world);
    if (state.followBall && state.followedBall >= 0 && state.followedBall < ctx.model.ballCount()) {
        ctx.camera.position = ctx.world.getGlobalPosition(ctx.model.ballActors[state.followedBall]);
        ctx.camera.direction = glm::normalize(OVERHEAD_VIEW);
        ctx.camera.recomputeRight();
        state.simulationPaused = true;
    }
    ctx.ui.setBuildingControls(false);
    state.lastStepTime = ctx.now();
}

void stopSimulation(CommandContext& ctx) {
    SceneState& state = ctx.state;
    ctx.particles.reset();
    state.simulationRunning = false;
    state.simulationPaused = false;
    state.klotzSelected = false;
    for (physics::ActorHandle ball : ctx.model.shotBalls) ctx.world.releaseActor(ball);
    std::vector<physics::ActorHandle>().swap(ctx.model.shotBalls);
    ctx.ui.setBuildingControls(true);
    if (ctx.insight && ctx.insight->started())
        for (const std::string& line : runSummary(*ctx.insight)) ctx.out << line << "\n";
}

float playbackSpeed(const SceneState& state) {
    const int step = std::clamp(state.playbackStep, 0, PLAYBACK_STEPS - 1);
    return static_cast<float>((state.followBall ? 1.0 : 2.0) * PLAYBACK_FACTORS[step]);
}

void changePlaybackSpeed(CommandContext& ctx, int direction) {
    ctx.state.playbackStep = std::clamp(ctx.state.playbackStep + direction, 0, PLAYBACK_STEPS - 1);
}

void stepRun(CommandContext& ctx) {
    // One fixed step at a time, so every step is recorded.
    const double runTime = static_cast<double>(ctx.model.run.lastStep()) * physics::FIXED_STEP;
    ctx.world.simulate(static_cast<float>(physics::FIXED_STEP));
    ctx.ui.stepTaken(ctx.world.stepContacts(), runTime);
    if (ctx.insight) observeWorld(*ctx.insight, ctx.model, ctx.world);
    if (ctx.model.run.record(ctx.model, ctx.world)) {
        ctx.out << "\nrewind keeps the last " << ctx.model.run.lastStep() - ctx.model.run.firstStep() + 1
                << " steps of a run; older ones are dropped\n";
        ctx.out.flush();
    }
    ctx.state.runStep = ctx.model.run.lastStep();
}

namespace {

// Continues the run from the step shown: the recorded future goes.
void resumeFromShownStep(CommandContext& ctx) {
    if (ctx.state.runStep < ctx.model.run.lastStep()) ctx.model.run.dropAfter(ctx.state.runStep);
}

void showStep(CommandContext& ctx, long step) {
    ctx.state.runStep = ctx.model.run.restore(step, ctx.model, ctx.world);
    ctx.particles.reset();  // time jumped
}

}  // namespace

void stepForward(CommandContext& ctx) {
    if (ctx.state.runStep < ctx.model.run.lastStep()) {
        showStep(ctx, ctx.state.runStep + 1);
        return;
    }
    stepRun(ctx);
}

void stepBack(CommandContext& ctx) { stepBackBy(ctx, 1); }

void stepBackBy(CommandContext& ctx, long steps) {
    const long target = std::max(ctx.model.run.firstStep(), ctx.state.runStep - std::max(0L, steps));
    if (target < ctx.state.runStep) showStep(ctx, target);
}

void togglePause(CommandContext& ctx) {
    SceneState& state = ctx.state;
    if (state.simulationPaused) {
        resumeFromShownStep(ctx);
        state.simulationPaused = false;
        const double now = ctx.now();
        state.lastStepTime = now;
        state.particleTime = now;
    } else {
        state.simulationPaused = true;
    }
}

std::string runStatus(const SceneState& state, const SceneModel& model) {
    const bool rewound = state.runStep < model.run.lastStep();
    const int step = std::clamp(state.playbackStep, 0, PLAYBACK_STEPS - 1);
    if (!state.simulationPaused && !rewound && step == PLAYBACK_NORMAL) return "";
    static const char* const NAMES[] = {"1/16", "1/8", "1/4", "1/2", "1", "2", "4"};
    char line[96];
    // The pace as a factor of real time too: the normal pace is double.
    std::snprintf(line, sizeof line, "%s%st=%.2f s  speed %s (%gx real time)",
                  state.simulationPaused ? "paused  " : "", rewound ? "rewound  " : "",
                  static_cast<double>(state.runStep) * physics::FIXED_STEP, NAMES[step],
                  static_cast<double>(playbackSpeed(state)));
    return line;
}

void advanceSimulation(CommandContext& ctx, double now, double simulatedSeconds) {
    SceneState& state = ctx.state;
    state.lastStepTime = now;
    // Whole steps only; the rest waits for the next frame. After the loop
    // every pose and velocity is that of the last step.
    state.stepCarry += simulatedSeconds;
    const long steps = static_cast<long>(std::floor((state.stepCarry + 1e-9) / physics::FIXED_STEP));
    state.stepCarry = std::max(0.0, state.stepCarry - static_cast<double>(steps) * physics::FIXED_STEP);
    for (long i = 0; i < steps; ++i) stepRun(ctx);
    if (!state.particlesOn || state.particleBall < 0 || state.particleBall >= ctx.model.ballCount()) return;
    const physics::ActorHandle ball = ctx.model.ballActors[state.particleBall];
    if (!ctx.world.isActor(ball)) return;
    const float dt = static_cast<float>(now - state.particleTime);
    state.particleTime = now;
    ctx.particles.sprayFromBall(dt, ctx.world.getGlobalPosition(ball), ctx.world.getLinearVelocity(ball));
}

std::optional<glm::vec3> rideTarget(const SceneState& state, const SceneModel& model,
                                    const physics::PhysicsWorld& world) {
    if (!state.simulationRunning || !state.followBall) return std::nullopt;
    if (state.followedBall < 0 || state.followedBall >= model.ballCount()) return std::nullopt;
    const physics::ActorHandle ball = model.ballActors[static_cast<std::size_t>(state.followedBall)];
    if (!world.isActor(ball)) return std::nullopt;
    return world.getGlobalPosition(ball);
}

}  // namespace scene
