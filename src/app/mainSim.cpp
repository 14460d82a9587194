// tumbalon-sim SCENE [--seconds S] [--trace FILE]: runs a scene without a
// window, from a data folder, and prints where every ball went.
#include <iostream>

#include "app/Picture.h"
#include "app/Simulator.h"

int main(int argc, char** argv) {
    return app::runSimulator(argc, argv, std::cout, std::cerr, app::renderPictureOffscreen);
}
