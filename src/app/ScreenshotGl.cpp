#include <algorithm>
#include <ostream>
#include <vector>

#include <GL/freeglut.h>

#include "app/Screenshot.h"
#include "image/PngWriter.h"

namespace app {

void saveScreenshot(int mainWindow, std::ostream& out) {
    const std::string file = image::freePictureName(".", "tumbalon");
    if (file.empty()) {
        out << "screenshot not saved: tumbalon-000.png to tumbalon-999.png all exist\n";
        out.flush();
        return;
    }
    glutSetWindow(mainWindow);
    const int width = glutGet(GLUT_WINDOW_WIDTH);
    const int height = glutGet(GLUT_WINDOW_HEIGHT);
    std::vector<std::uint8_t> bottomUp(static_cast<std::size_t>(width) * height * 3);
    // Read just after the frame was drawn: the front buffer of a window
    // can not be read back everywhere (Xvfb gives black), and Mesa keeps
    // the back buffer through the swap.
    glReadBuffer(GL_BACK);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width, height, GL_RGB, GL_UNSIGNED_BYTE, bottomUp.data());
    std::vector<std::uint8_t> rgb(bottomUp.size());
    const std::size_t row = static_cast<std::size_t>(width) * 3;
    for (int y = 0; y < height; ++y)
        std::copy_n(bottomUp.begin() + (height - 1 - y) * row, row, rgb.begin() + y * row);
    std::string error;
    const std::string name = file.substr(file.find_last_of('/') + 1);
    if (image::writePng(file, width, height, rgb, error))
        out << "screenshot saved: " << name << "\n";
    else
        out << "screenshot not saved: " << name << ": " << error << "\n";
    out.flush();
}

}  // namespace app
