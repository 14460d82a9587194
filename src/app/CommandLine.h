// The window program's command line: tumbalon [--log-runs FILE] [SCENE],
// tumbalon --help.
// The toolkit's own X options (-display NAME, -geometry WxH+X+Y, -iconic,
// -direct, -indirect, -gldebug, -sync) pass through to it.
#pragma once

#include <string>

namespace app {

// Exit statuses of a command line that does not start the program.
constexpr int EXIT_USAGE = 2;

struct CommandLine {
    bool help = false;
    std::string sceneFile;  // loaded after the start-up; empty: none
    // --log-runs FILE: every run's per-ball results are appended there when
    // it stops, in the simulator's key=value lines; empty: none.
    std::string runLog;
    std::string error;      // what is wrong; the program then does not start
};

CommandLine parseCommandLine(int argc, const char* const* argv);

// The short usage --help prints.
std::string usageText();

}  // namespace app
