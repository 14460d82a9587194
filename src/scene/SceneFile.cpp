#include "scene/SceneFile.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ostream>

#include "io/FileReader.h"
#include "io/FileWrite.h"
#include "physics/Actors.h"

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

}  // namespace

std::string formatScene(const SceneModel& model, const SceneState& state) {
    std::string text;
    text.reserve(4096 + static_cast<std::size_t>(model.placedCount()) * 16 * 21);
    for (int b : model.cellBallStart()) appendInt(text, b);
    text += '\n';
    appendInt(text, static_cast<int>(model.ballStarts().size()));
    for (const BallStart& s : model.ballStarts()) {
        appendInt(text, s.row);
        appendInt(text, s.column);
    }
    text += '\n';
    for (const std::vector<int>& stack : model.cellStack()) {
        appendInt(text, static_cast<int>(stack.size()));
        for (int i : stack) appendInt(text, i);
    }
    text += '\n';
    appendInt(text, model.placedCount());
    for (int i = 0; i < model.placedCount(); ++i) appendInt(text, model.placedTypes()[i]);
    text += '\n';
    for (const PoseMatrix& pose : model.placedPoses())
        for (float element : pose) appendFloat(text, element);
    text += '\n';
    appendInt(text, state.selectedRow);
    appendInt(text, state.selectedColumn);
    return text;
}

void buildScene(const SceneFileData& data, SceneModel& model, SceneState& state,
                const klotz::KlotzCatalogue& catalogue, physics::PhysicsWorld& world) {
    for (const BallStart& s : data.ballStarts)
        model.addBallStart(s.row, s.column, physics::createBallActor(world));  // at the origin until a start
    for (std::size_t j = 0; j < data.klotzTypes.size(); ++j) {
        const int t = data.klotzTypes[j];
        const physics::ActorHandle actor =
            model.makeKlotzActor(catalogue, world, t, physics::matrixToPose(data.poses[j]));
        // The file's matrix as written: the actor holds the same rigid
        // transform, and saving again reproduces the file bit for bit.
        model.appendPlaced(t, catalogue.displayListOf(t), actor, data.poses[j]);
    }
    for (int cell = 0; cell < CELL_COUNT; ++cell)
        for (int i : data.cellStack[cell]) model.pushOnStack(cell, i);
    state.selectedRow = data.selectedRow;
    state.selectedColumn = data.selectedColumn;
}

bool saveScene(const SceneModel& model, const SceneState& state, const std::string& fileName, std::ostream& out) {
    std::string error;
    if (io::writeFileReplacing(fileName, formatScene(model, state), error)) return true;
    out << "Can not save scene file \"" << fileName << "\": " << error << "; nothing was saved\n";
    out.flush();
    return false;
}

bool loadSceneText(SceneModel& model, SceneState& state, klotz::KlotzCatalogue& catalogue,
                   physics::PhysicsWorld& world, const std::string& text, const std::string& fileName,
                   std::ostream& out) {
    if (!model.empty() || model.ballCount() != 0 || !model.placedActors().empty()) {
        out << "scene file \"" << io::printable(fileName) << "\" not loaded: the scene is not empty\n";
        out.flush();
        return false;
    }
    std::optional<SceneFileData> data = checkSceneText(text, catalogue.typeCount(), fileName, out);
    if (!data) return false;
    buildScene(*data, model, state, catalogue, world);
    return true;
}

std::optional<SceneFileData> checkSceneText(const std::string& text, int typeCount, const std::string& fileName,
                                            std::ostream& out) {
    io::Result<SceneFileData> data = parseScene(text, typeCount);
    if (data) return std::move(*data);
    out << "scene file \"" << io::printable(fileName) << "\" refused: " << data.error().text << "\n";
    out.flush();
    return std::nullopt;
}

std::optional<SceneFileData> readSceneFile(const std::string& fileName, int typeCount, std::ostream& out) {
    // Refused unread: what cannot be opened, is not a regular file (a
    // folder, a device, a FIFO) or is too large.
    const io::Result<std::string> text = io::readFile(fileName);
    if (!text) {
        if (text.error().failure == io::Failure::CannotOpen)
            out << "Can not open object File \"" << io::printable(fileName) << "\" !\n";
        else
            out << text.error().message() << "\n";
        out.flush();
        return std::nullopt;
    }
    return checkSceneText(*text, typeCount, fileName, out);
}

bool loadScene(SceneModel& model, SceneState& state, klotz::KlotzCatalogue& catalogue,
               physics::PhysicsWorld& world, const std::string& fileName, std::ostream& out) {
    if (!model.empty() || model.ballCount() != 0 || !model.placedActors().empty()) {
        out << "scene file \"" << io::printable(fileName) << "\" not loaded: the scene is not empty\n";
        out.flush();
        return false;
    }
    std::optional<SceneFileData> data = readSceneFile(fileName, catalogue.typeCount(), out);
    if (!data) return false;
    buildScene(*data, model, state, catalogue, world);
    return true;
}

}  // namespace scene
