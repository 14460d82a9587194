#include "input/EditSession.h"

#include <filesystem>
#include <ostream>
#include <system_error>
#include <utility>

#include "input/Menu.h"
#include "scene/SceneFile.h"
#include "scene/Snapshot.h"

namespace input {

using namespace scene;

namespace {

void restore(CommandContext& ctx, const SceneSnapshot& snapshot) {
    const SceneState kept = ctx.state;
    clearScene(ctx.model, ctx.state, ctx.world);
    buildScene(snapshot.scene, ctx.model, ctx.state, ctx.catalogue, ctx.world);
    // clearScene resets the mode flags, but going back is no change of the
    // display or of what the camera and the sparks follow, while they exist.
    SceneState& state = ctx.state;
    const int balls = ctx.model.ballCount();
    state.wireframe = kept.wireframe;
    state.followBall = kept.followBall && kept.followedBall >= 0 && kept.followedBall < balls;
    state.particlesOn = kept.particlesOn && kept.particleBall >= 0 && kept.particleBall < balls;
    state.klotzSelected = snapshot.klotzSelected && stackSize(ctx.model, state.selectedRow, state.selectedColumn) > 0;
}

// Trades the current scene for the one an undo or a redo goes to.
bool travel(CommandContext& ctx, std::optional<SceneSnapshot> (EditHistory::*way)(SceneSnapshot)) {
    if (ctx.state.simulationRunning) return false;
    std::optional<SceneSnapshot> to = (ctx.session.history.*way)(captureScene(ctx.model, ctx.state));
    if (to) restore(ctx, *to);
    return to.has_value();
}

// The absolute name, so the user finds the file whatever the folder.
std::string whereIs(const char* fileName) {
    std::error_code error;
    const std::filesystem::path path = std::filesystem::absolute(fileName, error);
    return error ? std::string(fileName) : path.string();
}

}  // namespace

void recordStep(CommandContext& ctx, const std::function<void()>& event) {
    if (ctx.state.simulationRunning) {
        event();
        return;
    }
    SceneSnapshot before = captureScene(ctx.model, ctx.state);
    event();
    if (!sameScene(before.scene, captureScene(ctx.model, ctx.state).scene))
        ctx.session.history.record(std::move(before));
}

bool undoStep(CommandContext& ctx) { return travel(ctx, &EditHistory::undo); }

bool redoStep(CommandContext& ctx) { return travel(ctx, &EditHistory::redo); }

bool handleSessionKey(CommandContext& ctx, unsigned char key) {
    const bool building = !ctx.state.simulationRunning;
    switch (key) {
        case KEY_CTRL_Z:
            if (building) undoStep(ctx);
            return true;
        case KEY_CTRL_Y:
            if (building) redoStep(ctx);
            return true;
        case KEY_CTRL_C:
            if (building) {
                StackCopy copy = copyStack(ctx);
                if (!copy.empty()) ctx.session.clipboard = std::move(copy);
            }
            return true;
        case KEY_CTRL_V:
            if (building) recordStep(ctx, [&] { pasteStack(ctx, ctx.session.clipboard); });
            return true;
        case KEY_CTRL_S:
            if (building) quickSave(ctx);
            return true;
        default: return false;
    }
}

void quickSave(CommandContext& ctx) {
    if (ctx.session.sceneFile.empty()) {
        handleMenu(ctx, MENU_SAVE);
        return;
    }
    if (!saveScene(ctx, ctx.session.sceneFile)) return;
    ctx.out << "save done\n";
    ctx.out.flush();
}

void noteSaved(CommandContext& ctx, const std::string& fileName) {
    ctx.session.sceneFile = fileName;
    ctx.session.savedScene = captureScene(ctx.model, ctx.state).scene;
}

void noteLoaded(CommandContext& ctx, const std::string& fileName, bool loaded) {
    if (loaded)
        noteSaved(ctx, fileName);
    else
        forgetSceneFile(ctx);
}

void forgetSceneFile(CommandContext& ctx) { ctx.session.sceneFile.clear(); }

bool hasUnsavedChanges(const SceneModel& model, const SceneState& state, const EditSession& session) {
    return !sameScene(captureScene(model, state).scene, session.savedScene);
}

bool autosave(const SceneModel& model, const SceneState& state, const EditSession& session, std::ostream& out) {
    if (!hasUnsavedChanges(model, state, session)) return false;
    if (!scene::saveScene(model, state, AUTOSAVE_FILE, out)) return false;
    out << "unsaved changes written to " << whereIs(AUTOSAVE_FILE) << "\n";
    out.flush();
    return true;
}

bool saveScene(CommandContext& ctx, const std::string& fileName) {
    const bool saved = scene::saveScene(ctx.model, ctx.state, fileName, ctx.out);
    if (saved) noteSaved(ctx, fileName);
    return saved;
}

bool replaceScene(CommandContext& ctx, const std::string& fileName) {
    std::optional<SceneFileData> data = readSceneFile(fileName, ctx.catalogue.typeCount(), ctx.out);
    if (!data) return false;
    clearSceneAndDisplay(ctx);
    buildScene(*data, ctx.model, ctx.state, ctx.catalogue, ctx.world);
    noteLoaded(ctx, fileName, true);
    return true;
}

void reportAutosave(std::ostream& out) {
    std::error_code error;
    if (!std::filesystem::exists(AUTOSAVE_FILE, error)) return;
    out << "unsaved work of an earlier run is in " << whereIs(AUTOSAVE_FILE) << " (load it from the menu)\n";
    out.flush();
}

}  // namespace input
