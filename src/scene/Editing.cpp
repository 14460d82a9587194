#include "scene/Editing.h"

#include <algorithm>
#include <cmath>

#include <glm/gtc/quaternion.hpp>

#include "physics/Actors.h"

namespace scene {

void screenStep(glm::vec3 d, int arrow, int& row, int& column) {
    if (std::fabs(d.z) >= std::fabs(d.x)) {
        const int s = signOf(d.z);
        switch (arrow) {
            case KEY_LEFT: row += s; break;
            case KEY_UP: column -= s; break;
            case KEY_RIGHT: row -= s; break;
            case KEY_DOWN: column += s; break;
            default: break;
        }
    } else {
        const int s = signOf(d.x);
        switch (arrow) {
            case KEY_LEFT: column += s; break;
            case KEY_UP: row += s; break;
            case KEY_RIGHT: column -= s; break;
            case KEY_DOWN: row -= s; break;
            default: break;
        }
    }
}

glm::vec3 viewAxis(glm::vec3 d) {
    if (std::fabs(d.z) > std::fabs(d.x)) return {0.0f, 0.0f, static_cast<float>(signOf(d.z))};
    return {static_cast<float>(signOf(d.x)), 0.0f, 0.0f};
}

glm::vec3 sideAxis(glm::vec3 d) {
    if (std::fabs(d.z) > std::fabs(d.x)) return {static_cast<float>(-signOf(d.z)), 0.0f, 0.0f};
    return {0.0f, 0.0f, static_cast<float>(signOf(d.x))};
}

physics::MeshHandle typeMesh(SceneModel& model, const klotz::KlotzCatalogue& catalogue,
                             physics::PhysicsWorld& world, int type) {
    if (static_cast<int>(model.typeMeshes.size()) < catalogue.typeCount())
        model.typeMeshes.resize(catalogue.typeCount(), physics::NO_MESH);
    physics::MeshHandle& handle = model.typeMeshes[type];
    if (handle == physics::NO_MESH) {
        const klotz::Mesh& mesh = catalogue.klotzTypes[type].mesh;
        // Never hand the world more than the arrays hold.
        const int vertexCount = std::min(mesh.vertexCount, static_cast<int>(mesh.vertices.size() / 3));
        const int faceCount = std::min(mesh.faceCount, static_cast<int>(mesh.faces.size() / 3));
        handle = world.createTriangleMesh(mesh.vertices.data(), vertexCount, mesh.faces.data(), faceCount);
    }
    return handle;
}

void refreshPose(SceneModel& model, const physics::PhysicsWorld& world, int i) {
    model.placedPoses[i] = physics::poseToMatrix(world.getGlobalPose(model.placedActors[i]));
}

static std::vector<int>& selectedStack(CommandContext& ctx) {
    return ctx.model.cellStack[cellIndex(ctx.state.selectedRow, ctx.state.selectedColumn)];
}

int placeOnTop(CommandContext& ctx, int type, const PoseMatrix& turn) {
    SceneModel& model = ctx.model;
    std::vector<int>& stack = selectedStack(ctx);
    PoseMatrix pose = turn;
    const int level = static_cast<int>(stack.size());
    const glm::vec3 centre = levelCentre(ctx.state.selectedRow, ctx.state.selectedColumn, level);
    pose[12] = centre.x;
    pose[13] = centre.y;
    pose[14] = centre.z;

    physics::ActorHandle actor = physics::createKlotzActor(ctx.world, typeMesh(model, ctx.catalogue, ctx.world, type));
    ctx.world.setGlobalPose(actor, physics::matrixToPose(pose));

    const int index = model.appendPlaced(type, ctx.catalogue.displayListOf(type), actor, PoseMatrix{});
    refreshPose(model, ctx.world, index);
    stack.push_back(index);
    return index;
}

bool insertKlotz(CommandContext& ctx) {
    const int type = ctx.palette.selectedType;
    if (!ctx.catalogue.validType(type)) return false;
    placeOnTop(ctx, type, IDENTITY_POSE);
    return true;
}

void deleteTopKlotz(CommandContext& ctx) {
    const std::vector<int>& stack = selectedStack(ctx);
    if (stack.empty()) return;
    ctx.world.releaseActor(ctx.model.erasePlaced(stack.back()));
}

void rotateTopKlotz(CommandContext& ctx, glm::vec3 axis, int direction) {
    std::vector<int>& stack = selectedStack(ctx);
    const float length = glm::length(axis);
    if (stack.empty() || !(length > 0.0f)) return;
    const int i = stack.back();
    const physics::ActorHandle actor = ctx.model.placedActors[i];

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
    screenStep(ctx.camera.direction, arrow, row, column);
    ctx.state.selectedRow = std::clamp(row, 0, GRID_SIZE - 1);
    ctx.state.selectedColumn = std::clamp(column, 0, GRID_SIZE - 1);
}

bool moveTopKlotz(CommandContext& ctx, int arrow) {
    const int row = ctx.state.selectedRow;
    const int column = ctx.state.selectedColumn;
    int toRow = row;
    int toColumn = column;
    screenStep(ctx.camera.direction, arrow, toRow, toColumn);
    std::vector<int>& from = ctx.model.cellStack[cellIndex(row, column)];
    if (!onGrid(toRow, toColumn) || from.empty() || (toRow == row && toColumn == column)) return false;

    const int i = from.back();
    std::vector<int>& to = ctx.model.cellStack[cellIndex(toRow, toColumn)];
    ctx.world.setGlobalPosition(ctx.model.placedActors[i], levelCentre(toRow, toColumn, static_cast<int>(to.size())));
    refreshPose(ctx.model, ctx.world, i);
    to.push_back(i);
    from.pop_back();
    ctx.state.selectedRow = toRow;
    ctx.state.selectedColumn = toColumn;
    return true;
}

void setBallStart(CommandContext& ctx) {
    if (ctx.model.cellBallStart[cellIndex(ctx.state.selectedRow, ctx.state.selectedColumn)] != -1) return;
    ctx.model.addBallStart(ctx.state.selectedRow, ctx.state.selectedColumn, physics::createBallActor(ctx.world));
}

void unsetBallStart(CommandContext& ctx) {
    SceneModel& model = ctx.model;
    SceneState& state = ctx.state;
    const int i = model.cellBallStart[cellIndex(state.selectedRow, state.selectedColumn)];
    if (i < 0 || i >= model.ballCount()) return;
    ctx.world.releaseActor(model.eraseBallStart(i));

    if (state.followBall && state.followedBall == i) state.followBall = false;
    if (state.particlesOn && state.particleBall == i) state.particlesOn = false;
    if (state.followedBall > i) --state.followedBall;
    if (state.particleBall > i) --state.particleBall;
}

}  // namespace scene
