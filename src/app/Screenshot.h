// F12 in the window: the main view as it was last drawn, saved as
// "tumbalon-NNN.png" in the working folder, never over an existing file.
#pragma once

#include <iosfwd>

namespace app {

// With the frame just drawn; reports the file written, or why none was, on out.
void saveScreenshot(int mainWindow, std::ostream& out);

}  // namespace app
