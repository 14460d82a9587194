#include "scene/Simulation.h"

#include <vector>

#include "physics/Actors.h"

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
    app::AppState& state = ctx.state;
    ctx.particles.reset();
    state.simulationRunning = true;
    state.simulationPaused = false;
    state.klotzSelected = false;
    resetBallsToStarts(ctx.model, ctx.world);
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
    app::AppState& state = ctx.state;
    ctx.particles.reset();
    state.simulationRunning = false;
    state.simulationPaused = false;
    state.klotzSelected = false;
    for (physics::ActorHandle ball : ctx.model.shotBalls) ctx.world.releaseActor(ball);
    std::vector<physics::ActorHandle>().swap(ctx.model.shotBalls);
    ctx.ui.setBuildingControls(true);
}

void togglePause(CommandContext& ctx) {
    app::AppState& state = ctx.state;
    if (state.simulationPaused) {
        state.simulationPaused = false;
        const double now = ctx.now();
        state.lastStepTime = now;
        state.particleTime = now;
    } else {
        state.simulationPaused = true;
    }
}

}  // namespace scene
