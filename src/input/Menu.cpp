#include "input/Menu.h"

#include <istream>
#include <ostream>
#include <string>

#include "input/EditSession.h"
#include "input/Keyboard.h"
#include "scene/SceneFile.h"
#include "input/SpecialKeys.h"

namespace input {

using namespace scene;

namespace {

enum class Answer { Yes, No, Cancel, EndOfInput };

// One white-space delimited word; false at the end of the input. The end
// cancels only this prompt: the stream is made readable again, so the next
// prompt reads whatever input comes back (a terminal always can).
bool readWord(CommandContext& ctx, std::string& word) {
    word.clear();
    if (ctx.in >> word) return true;
    ctx.in.clear();
    return false;
}

void say(CommandContext& ctx, const char* text) {
    ctx.out << text;
    ctx.out.flush();
}

// Asked until the answer is y, n or c; the end of the input cancels.
Answer askToSave(CommandContext& ctx) {
    std::string word;
    for (;;) {
        say(ctx, "do you save your changes? [y/n/c] ");
        if (!readWord(ctx, word)) return Answer::EndOfInput;
        if (word == "y") return Answer::Yes;
        if (word == "n") return Answer::No;
        if (word == "c") return Answer::Cancel;
    }
}

// Prompts for a name; the end of the input cancels the named command.
bool askFileName(CommandContext& ctx, const char* prompt, const char* command, std::string& name) {
    say(ctx, prompt);
    if (readWord(ctx, name)) return true;
    ctx.out << "\nno file name given, " << command << " canceled\n";
    ctx.out.flush();
    return false;
}

// The question before load and clear. True when the command goes on; a save
// that was asked for and failed stops it, so the scene is not lost.
bool offerSave(CommandContext& ctx, const char* canceled, const char* command) {
    switch (askToSave(ctx)) {
        case Answer::No: return true;
        case Answer::Cancel: say(ctx, canceled); return false;
        case Answer::EndOfInput:
            // The prompt still stands on the line.
            say(ctx, "\n");
            say(ctx, canceled);
            return false;
        case Answer::Yes: break;
    }
    std::string name;
    if (!askFileName(ctx, "save to (filename): ", command, name)) return false;
    if (saveScene(ctx, name)) return true;
    say(ctx, canceled);
    return false;
}

void saveCommand(CommandContext& ctx) {
    std::string name;
    if (!askFileName(ctx, "save to (filename): ", "save", name)) return;
    if (saveScene(ctx, name)) say(ctx, "save done\n");
}

void loadCommand(CommandContext& ctx) {
    if (!offerSave(ctx, "load canceled\n", "load")) return;
    std::string name;
    if (!askFileName(ctx, "load from (filename): ", "load", name)) return;
    loadFromFile(ctx, name);
}

void clearCommand(CommandContext& ctx) {
    if (!offerSave(ctx, "clearing canceled\n", "clearing")) return;
    clearSceneAndDisplay(ctx);
    say(ctx, "scene cleared\n");
}

}  // namespace

void loadFromFile(CommandContext& ctx, const std::string& fileName) {
    // A file that is refused leaves the scene as it was.
    replaceScene(ctx, fileName);
    say(ctx, "load done\n");
}

void handleMenu(CommandContext& ctx, int value) {
    const bool building = !ctx.state.simulationRunning;
    switch (value) {
        case MENU_SAVE:
            if (building) saveCommand(ctx);
            break;
        case MENU_LOAD:
            if (building) recordStep(ctx, [&] { loadCommand(ctx); });
            break;
        case MENU_CLEAR:
            if (building) recordStep(ctx, [&] { clearCommand(ctx); });
            break;
        case MENU_TOGGLE_WIREFRAME: toggleWireframe(ctx); break;
        default: break;
    }
}

}  // namespace input
