// A console dialogue of the pop-up menu in progress. The window keeps
// drawing while it waits: the answers come either from the command
// context's stream (read at once, as the tests feed them) or, when
// `polled`, from the console lines the frame loop hands over as they arrive.
#pragma once

#include <deque>
#include <string>

namespace input {

enum class PromptStep {
    Idle,       // no dialogue waits
    Question,   // "do you save your changes? [y/n/c] "
    SaveName,   // "save to (filename): "
    Overwrite,  // "file NAME exists, overwrite? [y/n] "
    LoadName,   // "load from (filename): "
};

struct PendingPrompt {
    int command = -1;  // the menu value the dialogue belongs to
    PromptStep step = PromptStep::Idle;
    std::string saveName;  // awaiting the overwrite answer
    bool polled = false;   // answers arrive through answerConsoleLine
    std::string partialLine;         // console bytes without their line end yet
    std::deque<std::string> words;   // typed ahead of the next question

    bool waiting() const { return step != PromptStep::Idle; }
};

}  // namespace input
