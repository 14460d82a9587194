// The console's standard input read without waiting, so that a prompt
// never stops the frame loop.
#pragma once

#include <string>

namespace app {

enum class ConsoleRead {
    Nothing,  // no byte waits
    Bytes,    // bytes appended
    Ended,    // the input ended (Ctrl-D on a terminal, a closed pipe)
};

// What standard input holds right now, appended to bytes.
ConsoleRead readConsoleNow(std::string& bytes);

}  // namespace app
