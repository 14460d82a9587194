// tumbalon: started in the data folder, which holds the catalogue list, the
// klotz meshes, the ball texture and the demo scenes.
#include <csignal>

#include "app/GlutApp.h"

int main(int argc, char** argv) {
    // A write past the file-size limit (ulimit -f), ours or a library's such
    // as the sound system's shared buffer, fails with EFBIG and is reported
    // instead of ending the process.
    std::signal(SIGXFSZ, SIG_IGN);
    return app::runProgram(argc, argv);
}
