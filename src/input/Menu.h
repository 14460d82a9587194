// The pop-up menu's callback and its console dialogue: file names and the
// save question are asked on ctx.out and read one word at a time from
// ctx.in. The end of the input cancels the command that waits for it.
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

void handleMenu(CommandContext& ctx, int value);

// Loads fileName in place of the scene, as the menu's load does once its
// questions are answered: the loader's messages, then "load done".
void loadFromFile(CommandContext& ctx, const std::string& fileName);

}  // namespace input
