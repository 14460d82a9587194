// The pop-up menu's callback and its console dialogue: file names and the
// save question are asked on ctx.out. The answers are words: read from
// ctx.in at once, or, when the session's prompt is polled, taken from the
// console lines the frame loop passes in, so the window keeps drawing while
// a prompt waits. The end of the input, an empty line and esc cancel the
// command that waits.
#pragma once

#include <string>

#include "input/Commands.h"

namespace input {

constexpr int MENU_SAVE = 0;
constexpr int MENU_LOAD = 1;
constexpr int MENU_CLEAR = 2;
constexpr int MENU_TOGGLE_WIREFRAME = 3;

// The menu's entries as the window shows them, top first.
struct MenuItem {
    const char* label;
    int value;
};
constexpr MenuItem MENU_ITEMS[] = {
    {"save", MENU_SAVE}, {"load", MENU_LOAD}, {"clear", MENU_CLEAR}, {"toggle wireframe", MENU_TOGGLE_WIREFRAME}};

// A menu entry chosen; while a prompt waits, save, load and clear do nothing.
void handleMenu(CommandContext& ctx, int value);

// Whether a prompt waits for its answer.
bool promptWaiting(const CommandContext& ctx);
// Console bytes as they arrived (any number of lines, the last maybe
// unfinished); each whole line's words answer the prompts in turn, and a
// line without a word cancels the waiting command.
void answerConsoleInput(CommandContext& ctx, const std::string& bytes);
// The console's input ended (Ctrl-D on a terminal): the waiting command is
// canceled; a terminal can be read again for the next prompt.
void consoleInputEnded(CommandContext& ctx);
// Esc in the window: the waiting command is canceled.
void cancelPrompt(CommandContext& ctx);

// Loads fileName in place of the scene, as the menu's load does once its
// questions are answered: the loader's messages, then "load done", or "load
// failed" when nothing was loaded. Returns whether it loaded.
bool loadFromFile(CommandContext& ctx, const std::string& fileName);

}  // namespace input
