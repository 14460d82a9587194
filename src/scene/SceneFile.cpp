#include "scene/SceneFile.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ostream>

#include "physics/Actors.h"
#include "scene/Editing.h"
#include "scene/WholeFile.h"

namespace scene {

namespace {

void appendInt(std::string& text, int value) {
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%d ", value);
    text += buffer;
}

void appendFloat(std::string& text, float value) {
    char buffer[48];
    std::snprintf(buffer, sizeof buffer, "%.13e ", static_cast<double>(value));
    text += buffer;
}

// Reads the whole file; false when it cannot be opened or read.
bool readWholeFile(const std::string& fileName, std::string& text) {
    std::FILE* file = std::fopen(fileName.c_str(), "rb");
    if (!file) return false;
    char buffer[65536];
    std::size_t got = 0;
    while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0) text.append(buffer, got);
    const bool ok = !std::ferror(file);
    std::fclose(file);
    return ok;
}

void reportSaveFailure(std::ostream& out, const std::string& fileName, int error) {
    out << "Can not save scene file \"" << fileName << "\": " << std::strerror(error) << "; nothing was saved\n";
    out.flush();
}

}  // namespace

std::string formatScene(const SceneModel& model, const SceneState& state, const klotz::KlotzCatalogue& catalogue) {
    std::string text;
    text.reserve(4096 + static_cast<std::size_t>(model.placedCount()) * 16 * 21);
    for (int b : model.cellBallStart) appendInt(text, b);
    text += '\n';
    appendInt(text, static_cast<int>(model.ballStarts.size()));
    for (const BallStart& s : model.ballStarts) {
        appendInt(text, s.row);
        appendInt(text, s.column);
    }
    text += '\n';
    for (const std::vector<int>& stack : model.cellStack) {
        appendInt(text, static_cast<int>(stack.size()));
        for (int i : stack) appendInt(text, i);
    }
    text += '\n';
    appendInt(text, model.placedCount());
    for (int i = 0; i < model.placedCount(); ++i) appendInt(text, model.placedTypes[i]);
    text += '\n';
    for (const PoseMatrix& pose : model.placedPoses)
        for (float element : pose) appendFloat(text, element);
    text += '\n';
    appendInt(text, state.selectedRow);
    appendInt(text, state.selectedColumn);
    return text;
}

void buildScene(const SceneFileData& data, SceneModel& model, SceneState& state, klotz::KlotzCatalogue& catalogue,
                physics::PhysicsWorld& world) {
    for (const BallStart& s : data.ballStarts)
        model.addBallStart(s.row, s.column, physics::createBallActor(world));  // at the origin until a start
    model.cellStack = data.cellStack;
    for (std::size_t j = 0; j < data.klotzTypes.size(); ++j) {
        const int t = data.klotzTypes[j];
        const physics::ActorHandle actor = physics::createKlotzActor(world, typeMesh(model, catalogue, world, t));
        world.setGlobalPose(actor, physics::matrixToPose(data.poses[j]));
        // The file's matrix as written: the actor holds the same rigid
        // transform, and saving again reproduces the file bit for bit.
        model.appendPlaced(t, catalogue.displayListOf(t), actor, data.poses[j]);
    }
    state.selectedRow = data.selectedRow;
    state.selectedColumn = data.selectedColumn;
}

bool saveScene(const SceneModel& model, const SceneState& state, const klotz::KlotzCatalogue& catalogue,
               const std::string& fileName, std::ostream& out) {
    const int error = writeWholeFile(fileName, formatScene(model, state, catalogue));
    if (error) reportSaveFailure(out, fileName, error);
    return error == 0;
}

bool loadSceneText(SceneModel& model, SceneState& state, klotz::KlotzCatalogue& catalogue,
                   physics::PhysicsWorld& world, const std::string& text, const std::string& fileName,
                   std::ostream& out) {
    if (!model.empty() || model.ballCount() != 0 || !model.placedActors.empty()) {
        out << "scene file \"" << fileName << "\" not loaded: the scene is not empty\n";
        out.flush();
        return false;
    }
    SceneFileData data;
    std::string error;
    if (!parseScene(text, catalogue.typeCount(), data, error)) {
        out << "scene file \"" << fileName << "\" refused: " << error << "\n";
        out.flush();
        return false;
    }
    buildScene(data, model, state, catalogue, world);
    return true;
}

bool loadScene(SceneModel& model, SceneState& state, klotz::KlotzCatalogue& catalogue,
               physics::PhysicsWorld& world, const std::string& fileName, std::ostream& out) {
    std::string text;
    if (!readWholeFile(fileName, text)) {
        out << "Can not open object File \"" << fileName << "\" !\n";
        out.flush();
        return false;
    }
    return loadSceneText(model, state, catalogue, world, text, fileName, out);
}

bool saveScene(CommandContext& ctx, const std::string& fileName) {
    return saveScene(ctx.model, ctx.state, ctx.catalogue, fileName, ctx.out);
}

bool loadScene(CommandContext& ctx, const std::string& fileName) {
    return loadScene(ctx.model, ctx.state, ctx.catalogue, ctx.world, fileName, ctx.out);
}

}  // namespace scene
