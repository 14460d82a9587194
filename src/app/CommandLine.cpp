#include "app/CommandLine.h"

#include <cstring>

namespace app {

namespace {

// freeglut's options, and whether each takes the next word as its value.
struct ToolkitOption {
    const char* name;
    bool takesValue;
};

const ToolkitOption TOOLKIT_OPTIONS[] = {
    {"-display", true}, {"-geometry", true}, {"-iconic", false}, {"-direct", false},
    {"-indirect", false}, {"-gldebug", false}, {"-sync", false},
};

const ToolkitOption* toolkitOption(const char* arg) {
    for (const ToolkitOption& option : TOOLKIT_OPTIONS)
        if (std::strcmp(arg, option.name) == 0) return &option;
    return nullptr;
}

}  // namespace

CommandLine parseCommandLine(int argc, const char* const* argv) {
    CommandLine line;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            line.help = true;
            return line;
        }
        if (arg == "--log-runs") {
            if (++i >= argc || argv[i][0] == '\0') {
                line.error = "option \"--log-runs\" needs the name of the file to append to";
                return line;
            }
            line.runLog = argv[i];
            continue;
        }
        // A scene file whose name starts with '-' is named as ./-NAME.
        if (arg.size() > 1 && arg[0] == '-') {
            const ToolkitOption* option = toolkitOption(argv[i]);
            if (!option) {
                line.error = "unknown option \"" + arg + "\"";
                return line;
            }
            if (option->takesValue && ++i >= argc) {
                line.error = "option \"" + arg + "\" needs a value";
                return line;
            }
            continue;
        }
        if (!line.sceneFile.empty()) {
            line.error = "only one scene file can be given, not also \"" + arg + "\"";
            return line;
        }
        line.sceneFile = arg;
    }
    return line;
}

std::string usageText() {
    return "usage: tumbalon [--log-runs FILE] [SCENE]\n"
           "  Starts the ball-run construction kit in the current folder, which holds\n"
           "  tumbalon_all.cfg, the klotz meshes and some01.bmp, and then loads the\n"
           "  scene file SCENE, if given. F1 in the window lists the keys.\n"
           "  --log-runs FILE   append each run's per-ball results to FILE when it stops,\n"
           "                    in the lines tumbalon-sim prints\n"
           "  --help   print this text and exit\n";
}

}  // namespace app
