#include "scene/SceneFile.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ostream>

#include "io/FileReader.h"
#include "physics/Actors.h"
#include "scene/Editing.h"

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

// Catalogue index of placed klotz i: its recorded type, or else the first
// type with its display list.
int typeOfPlaced(const SceneModel& model, const klotz::KlotzCatalogue& catalogue, int i) {
    if (model.placedTypes.size() == model.placedDisplayLists.size()) return model.placedTypes[i];
    const int id = model.placedDisplayLists[i];
    for (std::size_t t = 0; t < catalogue.typeDisplayLists.size(); ++t)
        if (catalogue.typeDisplayLists[t] == id) return static_cast<int>(t);
    return -1;
}

// A fresh file next to target, created exclusively so nothing is clobbered.
std::FILE* createTemporary(const std::string& target, std::string& tempName) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        tempName = target + ".tmp" + (attempt ? std::to_string(attempt) : std::string());
        std::FILE* file = std::fopen(tempName.c_str(), "wx");
        if (file || errno != EEXIST) return file;
    }
    return nullptr;
}

void reportSaveFailure(std::ostream& out, const std::string& fileName, int error) {
    out << "Can not save scene file \"" << fileName << "\": " << std::strerror(error) << "; nothing was saved\n";
    out.flush();
}

}  // namespace

std::string formatScene(const SceneModel& model, const app::AppState& state, const klotz::KlotzCatalogue& catalogue) {
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
    for (int i = 0; i < model.placedCount(); ++i) appendInt(text, typeOfPlaced(model, catalogue, i));
    text += '\n';
    for (const PoseMatrix& pose : model.placedPoses)
        for (float element : pose) appendFloat(text, element);
    text += '\n';
    appendInt(text, state.selectedRow);
    appendInt(text, state.selectedColumn);
    return text;
}

void buildScene(const SceneFileData& data, SceneModel& model, app::AppState& state, klotz::KlotzCatalogue& catalogue,
                physics::PhysicsWorld& world) {
    model.cellBallStart = data.cellBallStart;
    for (const BallStart& s : data.ballStarts) {
        model.ballStarts.push_back(s);
        model.ballActors.push_back(physics::createBallActor(world));  // at the origin until a start
    }
    model.cellStack = data.cellStack;
    for (std::size_t j = 0; j < data.klotzTypes.size(); ++j) {
        const int t = data.klotzTypes[j];
        const physics::ActorHandle actor = physics::createKlotzActor(world, typeMesh(model, catalogue, world, t));
        world.setGlobalPose(actor, physics::matrixToPose(data.poses[j]));
        model.placedActors.push_back(actor);
        model.placedTypes.push_back(t);
        model.placedDisplayLists.push_back(
            t < static_cast<int>(catalogue.typeDisplayLists.size()) ? catalogue.typeDisplayLists[t] : 0);
        // The file's matrix as written: the actor holds the same rigid
        // transform, and saving again reproduces the file bit for bit.
        model.placedPoses.push_back(data.poses[j]);
    }
    state.selectedRow = data.selectedRow;
    state.selectedColumn = data.selectedColumn;
}

bool saveScene(const SceneModel& model, const app::AppState& state, const klotz::KlotzCatalogue& catalogue,
               const std::string& fileName, std::ostream& out) {
    const std::string text = formatScene(model, state, catalogue);
    std::string tempName;
    errno = 0;
    std::FILE* file = createTemporary(fileName, tempName);
    if (!file) {
        reportSaveFailure(out, fileName, errno ? errno : EIO);
        return false;
    }
    errno = 0;
    bool ok = std::fwrite(text.data(), 1, text.size(), file) == text.size();
    ok = (std::fflush(file) == 0) && ok;
    int error = errno;
    ok = (std::fclose(file) == 0) && ok;
    if (!error) error = errno;
    if (ok && std::rename(tempName.c_str(), fileName.c_str()) != 0) {
        ok = false;
        error = errno;
    }
    if (!ok) {
        std::remove(tempName.c_str());
        reportSaveFailure(out, fileName, error ? error : EIO);
    }
    return ok;
}

bool loadSceneText(SceneModel& model, app::AppState& state, klotz::KlotzCatalogue& catalogue,
                   physics::PhysicsWorld& world, const std::string& text, const std::string& fileName,
                   std::ostream& out) {
    if (!model.empty() || model.ballCount() != 0 || !model.placedActors.empty()) {
        out << "scene file \"" << fileName << "\" not loaded: the scene is not empty\n";
        out.flush();
        return false;
    }
    const io::Result<SceneFileData> data = parseScene(text, catalogue.typeCount());
    if (!data) {
        out << "scene file \"" << io::printable(fileName) << "\" refused: " << data.error().text << "\n";
        out.flush();
        return false;
    }
    buildScene(*data, model, state, catalogue, world);
    return true;
}

bool loadScene(SceneModel& model, app::AppState& state, klotz::KlotzCatalogue& catalogue,
               physics::PhysicsWorld& world, const std::string& fileName, std::ostream& out) {
    const io::Result<std::string> text = io::readFile(fileName);
    if (!text) {
        if (text.error().failure == io::Failure::CannotOpen)
            out << "Can not open object File \"" << io::printable(fileName) << "\" !\n";
        else
            out << text.error().message() << "\n";
        out.flush();
        return false;
    }
    return loadSceneText(model, state, catalogue, world, *text, fileName, out);
}

bool saveScene(CommandContext& ctx, const std::string& fileName) {
    return saveScene(ctx.model, ctx.state, ctx.catalogue, fileName, ctx.out);
}

bool loadScene(CommandContext& ctx, const std::string& fileName) {
    return loadScene(ctx.model, ctx.state, ctx.catalogue, ctx.world, fileName, ctx.out);
}

}  // namespace scene
