#include "scene/Simulation.h"

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
    resetBallsToStarts(ctx.model, ctx.world);
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

void togglePause(CommandContext& ctx) {
    SceneState& state = ctx.state;
    if (state.simulationPaused) {
        state.simulationPaused = false;
        const double now = ctx.now();
        state.lastStepTime = now;
        state.particleTime = now;
    } else {
        state.simulationPaused = true;
    }
}

float playbackSpeed(const SceneState& state) { return state.followBall ? 1.0f : 2.0f; }

void advanceSimulation(CommandContext& ctx, double now) {
    SceneState& state = ctx.state;
    const float elapsed = static_cast<float>(now - state.lastStepTime);
    state.lastStepTime = now;
    // simulate returns with every pose and velocity at the end of its last
    // step, so readers of this frame see current values.
    ctx.world.simulate(playbackSpeed(state) * elapsed);
    if (ctx.insight) observeWorld(*ctx.insight, ctx.model, ctx.world);
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
