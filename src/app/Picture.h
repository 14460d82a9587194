// A picture of a scene at a moment of its run, seen from the start camera,
// drawn without a window. The drawing needs an offscreen GL context, which
// only tumbalon-sim links; the simulator is handed it as a function.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "klotz/Catalogue.h"
#include "scene/SceneFile.h"

namespace app {

constexpr int PICTURE_SIZE = 768;  // pixels each way: the run's view is square

struct PictureRequest {
    const scene::SceneFileData& scene;
    const klotz::KlotzCatalogue& catalogue;
    double at = 0.0;  // seconds into the run
    int width = PICTURE_SIZE;
    int height = PICTURE_SIZE;
};

// RGB bytes, the top row first; false with the reason in error.
using PictureRenderer =
    std::function<bool(const PictureRequest& request, std::vector<std::uint8_t>& rgb, std::string& error)>;

// The offscreen renderer (OSMesa): the grid, the kloetze and the balls in
// the main window's colours and lights.
bool renderPictureOffscreen(const PictureRequest& request, std::vector<std::uint8_t>& rgb, std::string& error);

}  // namespace app
