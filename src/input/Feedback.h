// A short message for the status line after the commands that otherwise
// say nothing in the window: undo, redo, copy, paste, quick save and a
// placing click. Made by comparing the scene before and after the command.
#pragma once

#include <cstddef>
#include <string>

#include "input/Commands.h"
#include "scene/Snapshot.h"

namespace input {

struct BeforeCommand {
    scene::SceneSnapshot scene;
    std::size_t undoSteps = 0;
    std::size_t redoSteps = 0;
};

BeforeCommand noteBefore(const CommandContext& ctx);

// What changed from one scene to the other, as a user would say it:
// "insert straight at 10,11", "delete curve at 3,4", "turn goal at 5,5",
// "move slope to 6,7", "ball start at 2,2"; "" when nothing changed.
std::string describeChange(const scene::SceneFileData& from, const scene::SceneFileData& to,
                           const klotz::KlotzCatalogue& catalogue);

// The message for key after it ran ("undo: insert straight at 10,11",
// "copied stack of 3", "saved demo1.tumbalon"); "" for keys that need none.
std::string keyMessage(const CommandContext& ctx, const BeforeCommand& before, unsigned char key);

}  // namespace input
