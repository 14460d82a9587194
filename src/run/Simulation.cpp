#include "run/Simulation.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <ostream>
#include <vector>

#include "physics/Actors.h"
#include "run/ContactSampling.h"

namespace run {

void resetBallsToStarts(scene::SceneModel& model, physics::PhysicsWorld& world) {
    for (int i = 0; i < model.ballCount(); ++i) {
        const scene::BallStart& start = model.ballStarts()[i];
        const physics::ActorHandle ball = model.ballActors()[i];
        physics::BallState rest;  // unturned and still: every run starts alike
        rest.pose.translation =
            scene::levelCentre(start.row, start.column, scene::stackSize(model, start.row, start.column));
        world.setBallState(ball, rest);
    }
}

void shootBall(RunContext& ctx) {
    if (static_cast<int>(ctx.model.shotBalls().size()) >= MAX_SHOT_BALLS)
        ctx.world.releaseActor(ctx.model.dropOldestShotBall());
    const physics::ActorHandle ball = physics::createBallActor(ctx.world);
    ctx.world.setGlobalPosition(ball, ctx.camera.position);
    ctx.world.setAngularVelocity(ball, glm::vec3(0.0f));
    ctx.world.setLinearVelocity(ball, ctx.camera.direction * physics::SHOOT_SPEED);
    ctx.model.addShotBall(ball);
}

void startRun(RunContext& ctx) {
    scene::SceneState& state = ctx.state;
    Run& run = ctx.run;
    if (ctx.particles) ctx.particles->reset();
    state.simulationRunning = true;
    state.simulationPaused = false;
    state.klotzSelected = false;
    run.playbackStep = PLAYBACK_NORMAL;
    run.stepCarry = 0.0;
    run.step = 0;
    resetBallsToStarts(ctx.model, ctx.world);
    // Contact caches, solver and sleeping from an earlier run or edit would
    // make this run differ from the last one and from the simulator's.
    ctx.world.restartRun(ctx.model.ballActors());
    ctx.world.setContactReporting(true);  // the sound and the run's outcomes
    run.record.start(ctx.model, ctx.world);
    run.insight.start(ctx.model, ctx.catalogue);
    run.checkpoints.assign(1, {0, run.insight.progress()});
    if (state.followBall && state.followedBall >= 0 && state.followedBall < ctx.model.ballCount()) {
        ctx.camera.position = ctx.world.getGlobalPosition(ctx.model.ballActors()[state.followedBall]);
        ctx.camera.direction = glm::normalize(OVERHEAD_VIEW);
        ctx.camera.recomputeRight();
        state.simulationPaused = true;
    }
    run.lastStepTime = ctx.now();
}

void stopRun(RunContext& ctx) {
    scene::SceneState& state = ctx.state;
    if (ctx.particles) ctx.particles->reset();
    state.simulationRunning = false;
    state.simulationPaused = false;
    state.klotzSelected = false;
    for (physics::ActorHandle ball : ctx.model.takeShotBalls()) ctx.world.releaseActor(ball);
    ctx.world.resetMovingParts();  // building shows them at rest
    if (ctx.run.insight.started())
        for (const std::string& line : runSummary(ctx.run.insight)) ctx.out << line << "\n";
}

float playbackSpeed(const scene::SceneState& state, const Run& run) {
    const int step = std::clamp(run.playbackStep, 0, PLAYBACK_STEPS - 1);
    return static_cast<float>((state.followBall ? 1.0 : 2.0) * PLAYBACK_FACTORS[step]);
}

void changePlaybackSpeed(Run& run, int direction) {
    run.playbackStep = std::clamp(run.playbackStep + direction, 0, PLAYBACK_STEPS - 1);
}

namespace {

// The outcomes as they were after recorded step `step`: from the nearest
// checkpoint, replaying the record's samples. Where the record no longer
// holds the steps after that checkpoint (its cap), they stay as they are.
void restoreInsight(RunContext& ctx, long step) {
    Run& run = ctx.run;
    auto at = std::find_if(run.checkpoints.rbegin(), run.checkpoints.rend(),
                           [&](const auto& c) { return c.first <= step; });
    if (at == run.checkpoints.rend() || at->first + 1 < run.record.firstStep()) return;
    run.insight.restore(at->second);
    for (long s = at->first + 1; s <= step; ++s) {
        samplesOfFrame(run.record.frame(s), ctx.model.ballCount(), run.samples);
        run.insight.observe(static_cast<double>(s) * physics::FIXED_STEP, run.samples);
    }
}

void showStep(RunContext& ctx, long step) {
    ctx.run.step = ctx.run.record.restore(step, ctx.model, ctx.world);
    restoreInsight(ctx, ctx.run.step);
    if (ctx.particles) ctx.particles->reset();  // time jumped
}

// Continues the run from the step shown: the recorded future, and all it
// taught the outcomes, go.
void resumeFromShownStep(RunContext& ctx) {
    Run& run = ctx.run;
    if (run.step >= run.record.lastStep()) return;
    run.record.dropAfter(run.step);
    while (!run.checkpoints.empty() && run.checkpoints.back().first > run.step) run.checkpoints.pop_back();
}

}  // namespace

const std::vector<BallSample>& stepRun(RunContext& ctx) {
    Run& run = ctx.run;
    resumeFromShownStep(ctx);
    // One fixed step at a time, so every step is recorded; the world
    // carries no time of its own between calls.
    const double runTime = static_cast<double>(run.record.lastStep()) * physics::FIXED_STEP;
    ctx.world.simulate(static_cast<float>(physics::FIXED_STEP));
    if (ctx.listener) ctx.listener->stepTaken(ctx.world.stepContacts(), runTime);

    sampleTouches(ctx.model, ctx.world, run.touches);
    if (run.record.record(ctx.model, ctx.world, run.touches)) {
        ctx.out << "\nrewind keeps the last " << run.record.lastStep() - run.record.firstStep() + 1
                << " steps of a run; older ones are dropped\n";
        ctx.out.flush();
    }
    run.step = run.record.lastStep();
    // The outcomes see the step as the record keeps it, so replaying the
    // record after a rewind gives the same outcomes bit for bit.
    samplesOfFrame(run.record.frame(run.step), ctx.model.ballCount(), run.samples);
    run.insight.observe(run.time(), run.samples);
    if (run.step % INSIGHT_CHECKPOINT_STEPS == 0) run.checkpoints.emplace_back(run.step, run.insight.progress());
    return run.samples;
}

void stepForward(RunContext& ctx) {
    if (ctx.run.step < ctx.run.record.lastStep()) {
        showStep(ctx, ctx.run.step + 1);
        return;
    }
    stepRun(ctx);
}

void stepBack(RunContext& ctx, long steps) {
    if (ctx.run.step > ctx.run.record.firstStep()) showStep(ctx, ctx.run.step - std::max(1L, steps));
}

void togglePause(RunContext& ctx) {
    scene::SceneState& state = ctx.state;
    if (state.simulationPaused) {
        resumeFromShownStep(ctx);
        state.simulationPaused = false;
        const double now = ctx.now();
        ctx.run.lastStepTime = now;
        ctx.run.particleTime = now;
    } else {
        state.simulationPaused = true;
    }
}

std::string runStatus(const scene::SceneState& state, const Run& run) {
    const bool rewound = run.step < run.record.lastStep();
    const int step = std::clamp(run.playbackStep, 0, PLAYBACK_STEPS - 1);
    if (!state.simulationPaused && !rewound && step == PLAYBACK_NORMAL) return "";
    static const char* const NAMES[] = {"1/16", "1/8", "1/4", "1/2", "1", "2", "4"};
    char line[128];
    // The pace as a factor of real time too: the normal pace is double.
    std::snprintf(line, sizeof line, "%s%st=%.2f s  speed %s (%gx real time)", state.simulationPaused ? "paused  " : "",
                  rewound ? "rewound  " : "", run.time(), NAMES[step], static_cast<double>(playbackSpeed(state, run)));
    return line;
}

void advanceSimulation(RunContext& ctx, double now, double simulatedSeconds) {
    scene::SceneState& state = ctx.state;
    Run& run = ctx.run;
    run.lastStepTime = now;
    // Whole steps only; the rest waits for the next frame. After the loop
    // every pose and velocity is that of the last step.
    run.stepCarry += simulatedSeconds;
    const long steps = static_cast<long>(std::floor((run.stepCarry + 1e-9) / physics::FIXED_STEP));
    run.stepCarry = std::max(0.0, run.stepCarry - static_cast<double>(steps) * physics::FIXED_STEP);
    for (long i = 0; i < steps; ++i) stepRun(ctx);
    if (!ctx.particles || !state.particlesOn || state.particleBall < 0 || state.particleBall >= ctx.model.ballCount())
        return;
    const physics::ActorHandle ball = ctx.model.ballActors()[state.particleBall];
    if (!ctx.world.isActor(ball)) return;
    const float dt = static_cast<float>(now - run.particleTime);
    run.particleTime = now;
    ctx.particles->sprayFromBall(dt, ctx.world.getGlobalPosition(ball), ctx.world.getLinearVelocity(ball));
}

std::optional<glm::vec3> rideTarget(const scene::SceneState& state, const scene::SceneModel& model,
                                    const physics::PhysicsWorld& world) {
    if (!state.simulationRunning || !state.followBall) return std::nullopt;
    if (state.followedBall < 0 || state.followedBall >= model.ballCount()) return std::nullopt;
    const physics::ActorHandle ball = model.ballActors()[static_cast<std::size_t>(state.followedBall)];
    if (!world.isActor(ball)) return std::nullopt;
    return world.getGlobalPosition(ball);
}

}  // namespace run
