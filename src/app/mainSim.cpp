// tumbalon-sim SCENE [--seconds S] [--trace FILE] [--report FILE.html]
// [--audio FILE.wav]: runs a scene without a window, from a data folder, and
// prints where every ball went.
#include <csignal>
#include <iostream>

#include "app/Picture.h"
#include "app/Simulator.h"

int main(int argc, char** argv) {
    // A write past the file-size limit fails with EFBIG and is reported
    // instead of ending the process.
    std::signal(SIGXFSZ, SIG_IGN);
    return app::runSimulator(argc, argv, std::cout, std::cerr, app::renderPictureOffscreen);
}
