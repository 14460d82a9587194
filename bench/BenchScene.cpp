// Scene file figures: a scene of 4,000 kloetze (ten levels on every cell)
// and 400 ball starts, parsed and checked from memory, and formatted; and
// what the undo history costs for it.
#include <chrono>
#include <string>

#include "Bench.h"
#include "physics/Physics.h"
#include "input/EditSession.h"
#include "scene/SceneFile.h"

namespace {

constexpr int LEVELS = 10;

std::string bigSceneText() {
    scene::SceneModel model;
    for (int cell = 0; cell < scene::CELL_COUNT; ++cell) {
        model.addBallStart(cell / scene::GRID_SIZE, cell % scene::GRID_SIZE, physics::NO_ACTOR);
        for (int k = 0; k < LEVELS; ++k) {
            const glm::vec3 c = scene::levelCentre(cell / scene::GRID_SIZE, cell % scene::GRID_SIZE, k);
            model.pushOnStack(cell,
                model.appendPlaced(k % 2, 0, physics::NO_ACTOR, {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, c.x, c.y, c.z, 1}));
        }
    }
    scene::SceneState state;
    klotz::KlotzCatalogue catalogue;
    return scene::formatScene(model, state);
}

const std::string& sceneText() {
    static const std::string text = bigSceneText();
    return text;
}

// The big scene as a model (without actors).
scene::SceneModel bigModel() {
    const scene::SceneFileData data = scene::parseScene(sceneText(), 2).value();
    scene::SceneModel model;
    for (const scene::BallStart& s : data.ballStarts) model.addBallStart(s.row, s.column, physics::NO_ACTOR);
    for (std::size_t j = 0; j < data.poses.size(); ++j)
        model.appendPlaced(data.klotzTypes[j], 0, physics::NO_ACTOR, data.poses[j]);
    for (int cell = 0; cell < scene::CELL_COUNT; ++cell)
        for (int i : data.cellStack[cell]) model.pushOnStack(cell, i);
    return model;
}

template <typename F>
double millisecondsOf(F&& f) {
    const auto start = std::chrono::steady_clock::now();
    f();
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

}  // namespace

BENCH_FIGURE(scene_parse_4000_kloetze_ms) {
    const std::string& text = sceneText();
    bool ok = false;
    const double ms = millisecondsOf([&] { ok = scene::parseScene(text, 2).ok(); });
    return ok ? ms : -1.0;
}

BENCH_FIGURE(scene_format_4000_kloetze_ms) {
    const scene::SceneModel model = bigModel();
    scene::SceneState state;
    klotz::KlotzCatalogue catalogue;
    std::size_t size = 0;
    const double ms = millisecondsOf([&] { size = scene::formatScene(model, state).size(); });
    return size == sceneText().size() ? ms : -1.0;
}

// What every building-mode key pays to find out whether it changed the
// scene: two captures and a comparison.
BENCH_FIGURE(edit_step_check_4000_kloetze_ms) {
    const scene::SceneModel model = bigModel();
    const scene::SceneState state;
    bool same = false;
    const double ms = millisecondsOf([&] {
        same = scene::sameScene(scene::captureScene(model, state).scene, scene::captureScene(model, state).scene);
    });
    return same ? ms : -1.0;
}

BENCH_FIGURE(undo_snapshot_4000_kloetze_kb) {
    return static_cast<double>(scene::snapshotBytes(scene::captureScene(bigModel(), scene::SceneState{}))) / 1024.0;
}
