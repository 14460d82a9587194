// The help text (F1) and the start-up labels.
#pragma once

#include <iosfwd>

namespace app {

void printHelp(std::ostream& out);

}  // namespace app
