// tumbalon: started in the data folder, which holds the catalogue list, the
// klotz meshes, the ball texture and the demo scenes.
#include "app/GlutApp.h"

int main(int argc, char** argv) { return app::runProgram(argc, argv); }
