#include "input/EditSession.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <ostream>
#include <vector>

#include <sys/stat.h>
#include <unistd.h>
#include <system_error>
#include <utility>

#include "input/Menu.h"
#include "io/FileWrite.h"
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
std::string whereIs(const std::string& fileName) {
    std::error_code error;
    const std::filesystem::path path = std::filesystem::absolute(fileName, error);
    return error ? fileName : path.string();
}

bool isLink(const std::string& path) {
    struct stat info;
    return ::lstat(path.c_str(), &info) == 0 && S_ISLNK(info.st_mode);
}

bool isRegularFile(const std::string& path) {
    struct stat info;
    return ::lstat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

bool isThere(const std::string& path) {
    struct stat info;
    return ::lstat(path.c_str(), &info) == 0;
}

std::string rotatedName(int number) {
    return number == 0 ? std::string(AUTOSAVE_FILE) : "autosave-" + std::to_string(number) + ".tumbalon";
}

// autosave.tumbalon -> autosave-1.tumbalon -> autosave-2.tumbalon; only
// regular files move, so a folder or a link in the way stays where it is.
void rotateAutosaves() {
    for (int number = AUTOSAVES_KEPT - 1; number > 0; --number) {
        const std::string from = rotatedName(number - 1);
        if (isRegularFile(from)) ::rename(from.c_str(), rotatedName(number).c_str());
    }
}

// Where the autosave may go, best first: the place this run wrote before,
// the working folder's own name, the first free rotated name, the home
// folder, the temporary folder.
std::vector<std::string> autosavePlaces(const EditSession& session) {
    std::vector<std::string> places;
    if (!session.autosavedTo.empty()) places.push_back(session.autosavedTo);
    places.push_back(AUTOSAVE_FILE);
    for (int number = AUTOSAVES_KEPT; number < AUTOSAVES_KEPT + 7; ++number) {
        if (!isThere(rotatedName(number))) {
            places.push_back(rotatedName(number));
            break;
        }
    }
    const char* home = std::getenv("HOME");
    if (home && *home) places.push_back((std::filesystem::path(home) / AUTOSAVE_FILE).string());
    const char* temporary = std::getenv("TMPDIR");
    places.push_back((std::filesystem::path(temporary && *temporary ? temporary : "/tmp") / AUTOSAVE_FILE).string());
    return places;
}

// The autosave never writes through a link: one that is there goes first
// (if it cannot, the place is skipped).
bool writeAutosave(const std::string& place, const std::string& content, std::string& error) {
    if (isLink(place) && ::unlink(place.c_str()) != 0) {
        error = std::string("a link that cannot be replaced: ") + std::strerror(errno);
        return false;
    }
    return io::writeFileReplacing(place, content, error);
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
    // Work changed after this save is again kept from ending on one esc.
    ctx.session.exitRefused = false;
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

bool autosave(const SceneModel& model, const SceneState& state, EditSession& session, std::ostream& out) {
    if (!hasUnsavedChanges(model, state, session)) return false;
    if (!session.autosavesRotated) {
        rotateAutosaves();
        session.autosavesRotated = true;
    }
    const std::string content = formatScene(model, state);
    for (const std::string& place : autosavePlaces(session)) {
        std::string error;
        if (writeAutosave(place, content, error)) {
            session.autosavedTo = place;
            session.autosavedScene = captureScene(model, state).scene;
            out << "unsaved changes written to " << whereIs(place) << "\n";
            out.flush();
            return true;
        }
        out << "autosave " << whereIs(place) << " not written: " << error << "\n";
    }
    out << "the unsaved changes could not be written anywhere\n";
    out.flush();
    return false;
}

void autosaveWhenDue(const SceneModel& model, const SceneState& state, EditSession& session, double now,
                     std::ostream& out) {
    if (now - session.lastAutosaveCheck < AUTOSAVE_INTERVAL) return;
    session.lastAutosaveCheck = now;
    if (!session.autosavedTo.empty() && sameScene(captureScene(model, state).scene, session.autosavedScene)) return;
    autosave(model, state, session, out);
}

bool saveScene(CommandContext& ctx, const std::string& fileName) {
    // A link that leads round in a circle names no file to write.
    struct stat info;
    if (isLink(fileName) && ::stat(fileName.c_str(), &info) != 0 && errno == ELOOP) {
        ctx.out << "Can not save scene file \"" << fileName << "\": " << std::strerror(ELOOP)
                << "; nothing was saved\n";
        ctx.out.flush();
        return false;
    }
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

std::string reportAutosave(std::ostream& out) {
    std::error_code error;
    if (!std::filesystem::exists(AUTOSAVE_FILE, error)) return {};
    out << "unsaved work of an earlier run is in " << whereIs(AUTOSAVE_FILE) << " (load it from the menu)\n";
    out.flush();
    return std::string("earlier unsaved work: ") + AUTOSAVE_FILE;
}

}  // namespace input
