#include "input/Keyboard.h"

#include <ostream>

#include "input/EditSession.h"
#include "input/Editing.h"
#include "run/Simulation.h"
#include "view/ScreenAxes.h"

namespace input {

using namespace scene;

namespace {

bool selectedStackEmpty(const CommandContext& ctx) {
    return ctx.model.cellStack()[cellIndex(ctx.state.selectedRow, ctx.state.selectedColumn)].empty();
}

// The eight camera moves, 8 world units each.
void cameraMove(view::Camera& camera, unsigned char key) {
    switch (key) {
        case 'w': camera.moveForward(+1); break;
        case 's': camera.moveForward(-1); break;
        case 'a': camera.moveSideways(-1); break;
        case 'd': camera.moveSideways(+1); break;
        case 'r': camera.moveUp(+1); break;
        case 'f': camera.moveUp(-1); break;
        case 'q': camera.zoom(-1); break;
        case 'e': camera.zoom(+1); break;
        default: break;
    }
}

bool isCameraKey(unsigned char key) {
    switch (key) {
        case 'w': case 's': case 'a': case 'd': case 'r': case 'f': case 'q': case 'e': return true;
        default: return false;
    }
}

// Axis and direction of the six rotation keys; false for other keys.
bool rotationFor(unsigned char key, glm::vec3 viewDirection, glm::vec3& axis, int& direction) {
    switch (key) {
        case 'z': axis = view::viewAxis(viewDirection); direction = -1; return true;
        case 'i': axis = view::viewAxis(viewDirection); direction = +1; return true;
        case 'u': axis = view::sideAxis(viewDirection); direction = -1; return true;
        case 'j': axis = view::sideAxis(viewDirection); direction = +1; return true;
        case 'h': axis = {0.0f, 1.0f, 0.0f}; direction = -1; return true;
        case 'k': axis = {0.0f, 1.0f, 0.0f}; direction = +1; return true;
        default: return false;
    }
}

void toggleParticles(CommandContext& ctx) {
    SceneState& state = ctx.state;
    if (state.particlesOn) {
        state.particlesOn = false;
    } else if (ctx.model.ballCount() > 0) {
        state.particlesOn = true;
        state.particleBall = 0;
        ctx.run.particleTime = ctx.now();
    }
    ctx.particles.reset();
}

void nextParticleBall(CommandContext& ctx) {
    SceneState& state = ctx.state;
    ++state.particleBall;
    if (ctx.model.ballCount() == 0 || state.particleBall >= ctx.model.ballCount()) state.particleBall = 0;
}

void echoAndFollow(CommandContext& ctx, unsigned char key) {
    SceneState& state = ctx.state;
    ctx.out << static_cast<char>(key);
    ctx.out.flush();
    const int n = static_cast<int>(key) - 48;
    if (n < 0 || n >= ctx.model.ballCount()) return;
    if (state.followBall && state.followedBall == n) {
        state.followBall = false;
        return;
    }
    state.followBall = true;
    state.followedBall = n;
    if (state.simulationRunning) {
        const physics::ActorHandle ball = ctx.model.ballActors()[n];
        ctx.camera.snapToBall(ctx.world.getGlobalPosition(ball), ctx.world.getLinearVelocity(ball));
    }
}

void shoot(CommandContext& ctx) {
    run::RunContext r = runContext(ctx);
    run::shootBall(r);
}

void buildingKey(CommandContext& ctx, unsigned char key) {
    SceneState& state = ctx.state;
    glm::vec3 axis;
    int direction = 0;
    if (rotationFor(key, ctx.camera.direction, axis, direction)) {
        if (state.klotzSelected) rotateTopKlotz(ctx, axis, direction);
        return;
    }
    switch (key) {
        case KEY_ENTER:
            if (!state.klotzSelected) insertKlotz(ctx);
            return;
        case KEY_BACKSPACE:
            if (state.klotzSelected) {
                deleteTopKlotz(ctx);
                if (selectedStackEmpty(ctx)) state.klotzSelected = false;
            }
            return;
        case KEY_SPACE:
            if (selectedStackEmpty(ctx))
                shoot(ctx);
            else
                state.klotzSelected = !state.klotzSelected;
            return;
        case 'o':
            if (!state.klotzSelected) {
                if (ctx.model.cellBallStart()[cellIndex(state.selectedRow, state.selectedColumn)] == -1)
                    setBallStart(ctx);
                else
                    unsetBallStart(ctx);
            }
            return;
        case 'l': startSimulation(ctx); return;
        case 'x': toggleParticles(ctx); return;
        case 't': nextParticleBall(ctx); return;
        case 'p':
        case 'n':
        case 'b':
        case '+':
        case '=':
        case '-': return;
        default: echoAndFollow(ctx, key); return;
    }
}

void simulationKey(CommandContext& ctx, unsigned char key) {
    run::RunContext r = runContext(ctx);
    glm::vec3 axis;
    int direction = 0;
    if (rotationFor(key, ctx.camera.direction, axis, direction)) return;
    switch (key) {
        case 'p': run::togglePause(r); return;
        case '+':
        case '=': run::changePlaybackSpeed(ctx.run, +1); return;
        case '-': run::changePlaybackSpeed(ctx.run, -1); return;
        case 'n':
            if (ctx.state.simulationPaused) run::stepForward(r);
            return;
        case 'b':
            if (ctx.state.simulationPaused) run::stepBack(r);
            return;
        case KEY_SPACE: run::shootBall(r); return;
        case 'l': stopSimulation(ctx); return;
        case KEY_ENTER:
        case KEY_BACKSPACE:
        case 'o':
        case 'x':
        case 't': return;
        default: echoAndFollow(ctx, key); return;
    }
}

}  // namespace

void handleKey(CommandContext& ctx, unsigned char key) {
    if (key == KEY_ESCAPE) {
        ctx.ui.exitProgram();
        return;
    }
    if (key == 'm') {
        toggleWireframe(ctx);
        return;
    }
    if (key == 'y') {
        ctx.ui.toggleSound();
        return;
    }
    if (key == 'g') {
        ctx.state.insightShown = !ctx.state.insightShown;
        return;
    }
    if (isCameraKey(key)) {
        if (!(ctx.state.simulationRunning && ctx.state.followBall)) cameraMove(ctx.camera, key);
        return;
    }
    if (handleSessionKey(ctx, key)) return;
    if (ctx.state.simulationRunning)
        simulationKey(ctx, key);
    else
        recordStep(ctx, [&] { buildingKey(ctx, key); });
}

}  // namespace input
