// Fuzz target: arbitrary text through the scene file reader. An accepted
// file must describe a consistent scene.
#include <string>

#include "FuzzDecode.h"
#include "scene/SceneFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const int typeCount = 16;
    const io::Result<scene::SceneFileData> parsed =
        scene::parseScene(std::string(reinterpret_cast<const char*>(data), size), typeCount);
    if (!parsed) return 0;
    const scene::SceneFileData& scene = *parsed;
    const int klotzCount = static_cast<int>(scene.klotzTypes.size());
    if (scene.poses.size() != scene.klotzTypes.size()) __builtin_trap();
    for (int t : scene.klotzTypes)
        if (t < 0 || t >= typeCount) __builtin_trap();
    for (const auto& stack : scene.cellStack)
        for (int i : stack)
            if (i < 0 || i >= klotzCount) __builtin_trap();
    for (int b : scene.cellBallStart)
        if (b < -1 || b >= static_cast<int>(scene.ballStarts.size())) __builtin_trap();
    if (!scene::onGrid(scene.selectedRow, scene.selectedColumn)) __builtin_trap();
    return 0;
}
