// The help shown in the window by F1: the keys and mouse actions grouped
// (building, running, camera, files); F1 or esc closes it. The console help
// stays as printHelp writes it.
#pragma once

#include <string>
#include <vector>

namespace app {

// Groups begin with a heading ending in ':' and end with an empty line.
const std::vector<std::string>& helpOverlayLines();

}  // namespace app
