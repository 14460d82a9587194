// What the program keeps around the scene while the user edits it: the undo
// history, the clipboard, the file the scene was last saved to or loaded
// from, and the scene as that file holds it, so unsaved work is known and
// can be written out at exit.
#pragma once

#include <functional>
#include <iosfwd>
#include <string>

#include "input/Clipboard.h"
#include "input/Keys.h"
#include "input/History.h"

namespace input {


// Written at exit when the scene has unsaved changes, in the working folder.
constexpr const char* AUTOSAVE_FILE = "autosave.tumbalon";

struct EditSession {
    EditHistory history;
    StackCopy clipboard;
    std::string sceneFile;     // for Ctrl+S; empty: ask for a name
    scene::SceneFileData savedScene;  // the scene as last saved or loaded
};

// Runs one input event in building mode. If it changed the scene, the
// scene as it was before becomes one undo step (and the redo steps go);
// moving the selection alone is no change.
void recordStep(CommandContext& ctx, const std::function<void()>& event);

// Back to the scene before the last step, or forward again: the model is
// rebuilt the way loading builds it, physics actors included; mode, view and
// wireframe stay. False when there is no such step.
bool undoStep(CommandContext& ctx);
bool redoStep(CommandContext& ctx);

// Ctrl+Z, Ctrl+Y, Ctrl+C, Ctrl+V and Ctrl+S (building mode only). Returns
// whether key is one of them, so that in simulation mode it is swallowed
// rather than echoed.
bool handleSessionKey(CommandContext& ctx, unsigned char key);

// Saves to the scene's file without asking and says "save done"; without a
// file asks for a name like the menu's save.
void quickSave(CommandContext& ctx);

// The scene file's save and load report here: a saved or loaded scene is
// the one without unsaved changes, and its file the one Ctrl+S writes. A
// load that failed leaves no file to save to.
void noteSaved(CommandContext& ctx, const std::string& fileName);
void noteLoaded(CommandContext& ctx, const std::string& fileName, bool loaded);
// After a demo: Ctrl+S then asks rather than writing over the demo or over
// the file before it.
void forgetSceneFile(CommandContext& ctx);

// The scene differs from what it was at the last save or load (the
// selection does not count).
bool hasUnsavedChanges(const scene::SceneModel& model, const scene::SceneState& state, const EditSession& session);

// At exit: with unsaved changes, writes the scene to AUTOSAVE_FILE (through
// a temporary file) and says so in one line. Returns whether it wrote.
bool autosave(const scene::SceneModel& model, const scene::SceneState& state, const EditSession& session,
              std::ostream& out);
// At start: one line naming where the last unsaved work is, if anywhere.
void reportAutosave(std::ostream& out);

// Saves the scene to fileName (see scene::saveScene); on success the scene
// has no unsaved changes and fileName is the one Ctrl+S writes.
bool saveScene(CommandContext& ctx, const std::string& fileName);
// Loads fileName in place of the current scene (cleared as the menu's clear
// does). A file that is refused leaves the scene as it was; returns success.
bool replaceScene(CommandContext& ctx, const std::string& fileName);

}  // namespace input
