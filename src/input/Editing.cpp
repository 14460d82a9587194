#include "input/Editing.h"

#include <algorithm>
#include <cmath>

#include <glm/gtc/quaternion.hpp>

#include "physics/Actors.h"
#include "view/ScreenAxes.h"

namespace input {

using namespace scene;

namespace {

int selectedCell(const CommandContext& ctx) { return cellIndex(ctx.state.selectedRow, ctx.state.selectedColumn); }

const std::vector<int>& selectedStack(const CommandContext& ctx) { return ctx.model.cellStack()[selectedCell(ctx)]; }

bool arrowOf(int key, view::Arrow& arrow) {
    switch (key) {
        case KEY_LEFT: arrow = view::Arrow::LEFT; return true;
        case KEY_UP: arrow = view::Arrow::UP; return true;
        case KEY_RIGHT: arrow = view::Arrow::RIGHT; return true;
        case KEY_DOWN: arrow = view::Arrow::DOWN; return true;
        default: return false;
    }
}

}  // namespace

int placeOnTop(CommandContext& ctx, int type, const PoseMatrix& turn) {
    SceneModel& model = ctx.model;
    PoseMatrix pose = turn;
    const int level = static_cast<int>(selectedStack(ctx).size());
    const glm::vec3 centre = levelCentre(ctx.state.selectedRow, ctx.state.selectedColumn, level);
    pose[12] = centre.x;
    pose[13] = centre.y;
    pose[14] = centre.z;

    physics::ActorHandle actor = model.makeKlotzActor(ctx.catalogue, ctx.world, type, physics::matrixToPose(pose));

    const int index = model.appendPlaced(type, ctx.catalogue.displayListOf(type), actor, PoseMatrix{});
    refreshPose(model, ctx.world, index);
    model.pushOnStack(selectedCell(ctx), index);
    return index;
}

PoseMatrix quarterTurnsAboutVertical(int turns) {
    // Exact integers, so the file holds 0, 1 and -1 as for an unturned klotz.
    static const int COS[4] = {1, 0, -1, 0};
    static const int SIN[4] = {0, 1, 0, -1};
    const int q = ((turns % 4) + 4) % 4;
    PoseMatrix pose = IDENTITY_POSE;
    pose[0] = static_cast<float>(COS[q]);
    pose[2] = static_cast<float>(-SIN[q]);
    pose[8] = static_cast<float>(SIN[q]);
    pose[10] = static_cast<float>(COS[q]);
    return pose;
}

bool insertKlotz(CommandContext& ctx) {
    const int type = ctx.palette.selectedType;
    if (!ctx.catalogue.validType(type)) return false;
    placeOnTop(ctx, type, quarterTurnsAboutVertical(ctx.palette.turn));
    return true;
}

void deleteTopKlotz(CommandContext& ctx) {
    const std::vector<int>& stack = selectedStack(ctx);
    if (stack.empty()) return;
    ctx.world.releaseActor(ctx.model.erasePlaced(stack.back()));
}

void rotateTopKlotz(CommandContext& ctx, glm::vec3 axis, int direction) {
    const std::vector<int>& stack = selectedStack(ctx);
    const float length = glm::length(axis);
    if (stack.empty() || !(length > 0.0f)) return;
    const int i = stack.back();
    const physics::ActorHandle actor = ctx.model.placedActors()[i];

    const glm::vec3 a = axis / length;
    const float half = static_cast<float>(direction) * glm::radians(45.0f);
    const glm::quat turn(std::cos(half), a * std::sin(half));  // (w, x, y, z)
    glm::quat q = turn * ctx.world.getGlobalOrientationQuat(actor);  // about the world axis
    const float qLength = glm::length(q);
    if (qLength > 0.0f) q = q / qLength;
    ctx.world.setGlobalOrientationQuat(actor, q);
    refreshPose(ctx.model, ctx.world, i);
}

void moveSelection(CommandContext& ctx, int arrow) {
    int row = ctx.state.selectedRow;
    int column = ctx.state.selectedColumn;
    view::Arrow step;
    if (!arrowOf(arrow, step)) return;
    view::screenStep(ctx.camera.direction, step, row, column);
    ctx.state.selectedRow = std::clamp(row, 0, GRID_SIZE - 1);
    ctx.state.selectedColumn = std::clamp(column, 0, GRID_SIZE - 1);
}

bool moveTopKlotz(CommandContext& ctx, int arrow) {
    const int row = ctx.state.selectedRow;
    const int column = ctx.state.selectedColumn;
    int toRow = row;
    int toColumn = column;
    view::Arrow step;
    if (!arrowOf(arrow, step)) return false;
    view::screenStep(ctx.camera.direction, step, toRow, toColumn);
    if (!onGrid(toRow, toColumn) || ctx.model.stackAt(row, column).empty() || (toRow == row && toColumn == column))
        return false;

    const int i = ctx.model.popStack(cellIndex(row, column));
    const int level = stackSize(ctx.model, toRow, toColumn);
    ctx.world.setGlobalPosition(ctx.model.placedActors()[i], levelCentre(toRow, toColumn, level));
    refreshPose(ctx.model, ctx.world, i);
    ctx.model.pushOnStack(cellIndex(toRow, toColumn), i);
    ctx.state.selectedRow = toRow;
    ctx.state.selectedColumn = toColumn;
    return true;
}

void setBallStart(CommandContext& ctx) {
    if (ctx.model.cellBallStart()[cellIndex(ctx.state.selectedRow, ctx.state.selectedColumn)] != -1) return;
    ctx.model.addBallStart(ctx.state.selectedRow, ctx.state.selectedColumn, physics::createBallActor(ctx.world));
}

void unsetBallStart(CommandContext& ctx) {
    SceneModel& model = ctx.model;
    SceneState& state = ctx.state;
    const int i = model.cellBallStart()[cellIndex(state.selectedRow, state.selectedColumn)];
    if (i < 0 || i >= model.ballCount()) return;
    ctx.world.releaseActor(model.eraseBallStart(i));

    if (state.followBall && state.followedBall == i) state.followBall = false;
    if (state.particlesOn && state.particleBall == i) state.particlesOn = false;
    if (state.followedBall > i) --state.followedBall;
    if (state.particleBall > i) --state.particleBall;
}

}  // namespace input
