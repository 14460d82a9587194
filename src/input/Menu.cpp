#include "input/Menu.h"

#include <cstdio>
#include <filesystem>
#include <istream>
#include <ostream>
#include <sstream>
#include <string>
#include <system_error>

#include "input/EditSession.h"
#include "input/Keyboard.h"
#include "scene/SceneFile.h"
#include "input/SpecialKeys.h"

namespace input {

using namespace scene;

namespace {

void say(CommandContext& ctx, const std::string& text) {
    ctx.out << text;
    ctx.out.flush();
}

// The command's own name in its cancel messages.
const char* commandName(int command) {
    switch (command) {
        case MENU_LOAD: return "load";
        case MENU_CLEAR: return "clearing";
        default: return "save";
    }
}

std::string canceledText(int command) { return std::string(commandName(command)) + " canceled\n"; }

void finish(PendingPrompt& prompt) {
    prompt.step = PromptStep::Idle;
    prompt.saveName.clear();
}

void ask(CommandContext& ctx, PromptStep step, const std::string& text) {
    ctx.session.prompt.step = step;
    say(ctx, text);
}

void askQuestion(CommandContext& ctx) { ask(ctx, PromptStep::Question, "do you save your changes? [y/n/c] "); }

// A file other than the scene's own that is there (a link counts, even a
// dangling one) is written only after a yes.
bool needsOverwriteAnswer(const CommandContext& ctx, const std::string& name) {
    std::error_code error;
    if (!std::filesystem::exists(std::filesystem::symlink_status(name, error))) return false;
    const std::string& own = ctx.session.sceneFile;
    if (own.empty()) return true;
    if (own == name) return false;
    return !std::filesystem::equivalent(own, name, error) || error;
}

// After the question's save (or its "n"): load asks for its file, clear
// clears.
void goOn(CommandContext& ctx) {
    PendingPrompt& prompt = ctx.session.prompt;
    if (prompt.command == MENU_LOAD) {
        ask(ctx, PromptStep::LoadName, "load from (filename): ");
        return;
    }
    finish(prompt);
    recordStep(ctx, [&] { clearSceneAndDisplay(ctx); });
    say(ctx, "scene cleared\n");
}

void save(CommandContext& ctx, const std::string& name) {
    PendingPrompt& prompt = ctx.session.prompt;
    const bool saved = saveScene(ctx, name);
    if (prompt.command == MENU_SAVE) {
        finish(prompt);
        if (saved) say(ctx, "save done\n");
        return;
    }
    // A save that was asked for and failed stops load and clear, so the
    // scene is not lost.
    if (saved) {
        goOn(ctx);
    } else {
        finish(prompt);
        say(ctx, canceledText(prompt.command));
    }
}

void answer(CommandContext& ctx, const std::string& word) {
    PendingPrompt& prompt = ctx.session.prompt;
    switch (prompt.step) {
        case PromptStep::Idle: return;
        case PromptStep::Question:
            if (word == "y") {
                ask(ctx, PromptStep::SaveName, "save to (filename): ");
            } else if (word == "n") {
                goOn(ctx);
            } else if (word == "c") {
                finish(prompt);
                say(ctx, canceledText(prompt.command));
            } else {
                askQuestion(ctx);
            }
            return;
        case PromptStep::SaveName:
            if (needsOverwriteAnswer(ctx, word)) {
                prompt.saveName = word;
                ask(ctx, PromptStep::Overwrite, "file " + word + " exists, overwrite? [y/n] ");
            } else {
                save(ctx, word);
            }
            return;
        case PromptStep::Overwrite:
            if (word == "y") {
                save(ctx, std::string(prompt.saveName));
            } else if (word == "n") {
                finish(prompt);
                say(ctx, canceledText(prompt.command));
            } else {
                ask(ctx, PromptStep::Overwrite, "file " + prompt.saveName + " exists, overwrite? [y/n] ");
            }
            return;
        case PromptStep::LoadName: {
            finish(prompt);
            recordStep(ctx, [&] { loadFromFile(ctx, word); });
            return;
        }
    }
}

// onNewLine: the user's line end already left the prompt's line.
void cancel(CommandContext& ctx, bool onNewLine) {
    PendingPrompt& prompt = ctx.session.prompt;
    if (!prompt.waiting()) return;
    const PromptStep step = prompt.step;
    finish(prompt);
    if (!onNewLine) say(ctx, "\n");
    if (step == PromptStep::SaveName || step == PromptStep::LoadName)
        say(ctx, std::string("no file name given, ") + commandName(prompt.command) + " canceled\n");
    else
        say(ctx, canceledText(prompt.command));
}

// Words typed ahead answer the prompt at once.
void answerTypedAhead(CommandContext& ctx) {
    PendingPrompt& prompt = ctx.session.prompt;
    while (prompt.waiting() && !prompt.words.empty()) {
        const std::string word = prompt.words.front();
        prompt.words.pop_front();
        answer(ctx, word);
    }
}

// The stream's answers, one word at a time, until the dialogue ends; the
// end of the input cancels. The end is cleared from the stream and from the
// C library's standard input, whose end-of-file flag would otherwise stay
// set and cancel every later prompt on a terminal.
void answerFromStream(CommandContext& ctx) {
    PendingPrompt& prompt = ctx.session.prompt;
    std::string word;
    while (prompt.waiting()) {
        if (!(ctx.in >> word)) {
            ctx.in.clear();
            std::clearerr(stdin);
            cancel(ctx, false);
            return;
        }
        answer(ctx, word);
    }
}

void start(CommandContext& ctx, int command) {
    PendingPrompt& prompt = ctx.session.prompt;
    prompt.command = command;
    if (command == MENU_SAVE)
        ask(ctx, PromptStep::SaveName, "save to (filename): ");
    else
        askQuestion(ctx);
    if (prompt.polled)
        answerTypedAhead(ctx);
    else
        answerFromStream(ctx);
}

}  // namespace

bool loadFromFile(CommandContext& ctx, const std::string& fileName) {
    // A file that is refused leaves the scene as it was.
    const bool loaded = replaceScene(ctx, fileName);
    say(ctx, loaded ? "load done\n" : "load failed\n");
    return loaded;
}

bool promptWaiting(const CommandContext& ctx) { return ctx.session.prompt.waiting(); }

void answerConsoleInput(CommandContext& ctx, const std::string& bytes) {
    PendingPrompt& prompt = ctx.session.prompt;
    prompt.partialLine += bytes;
    std::string::size_type end;
    while ((end = prompt.partialLine.find('\n')) != std::string::npos) {
        std::istringstream line(prompt.partialLine.substr(0, end));
        prompt.partialLine.erase(0, end + 1);
        std::string word;
        bool any = false;
        while (line >> word) {
            prompt.words.push_back(word);
            any = true;
        }
        if (!any && prompt.waiting()) cancel(ctx, true);
        answerTypedAhead(ctx);
    }
}

void consoleInputEnded(CommandContext& ctx) {
    PendingPrompt& prompt = ctx.session.prompt;
    // An unfinished line counts as typed.
    if (!prompt.partialLine.empty()) answerConsoleInput(ctx, "\n");
    cancel(ctx, false);
}

void cancelPrompt(CommandContext& ctx) { cancel(ctx, false); }

void handleMenu(CommandContext& ctx, int value) {
    const bool building = !ctx.state.simulationRunning;
    const bool free = building && !promptWaiting(ctx);
    switch (value) {
        case MENU_SAVE:
        case MENU_LOAD:
        case MENU_CLEAR:
            if (free) start(ctx, value);
            break;
        case MENU_TOGGLE_WIREFRAME: toggleWireframe(ctx); break;
        default: break;
    }
}

}  // namespace input
