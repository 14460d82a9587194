// What editing leaves behind: a scene of 2,000 kloetze (five levels on every
// cell, straight pieces from data/ when present, else cubes) with 20 balls,
// a run step timed fresh and again after 200 undo/redo pairs, each of which
// rebuilds every actor, and the process's resident memory before and after.
#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include <malloc.h>
#include <unistd.h>

#include "Bench.h"
#include "klotz/ObjLoader.h"
#include "physics/Physics.h"
#include "input/EditSession.h"
#include "input/Editing.h"
#include "run/Simulation.h"
#include "scene/SceneFile.h"

namespace {

constexpr int LEVELS = 5;
constexpr int BALLS = 20;
constexpr int CHURN_PAIRS = 200;
constexpr int WARM_STEPS = 5;
constexpr int BATCHES = 6;  // all within the 2 s before resting balls fall asleep
constexpr int BATCH_STEPS = 25;

klotz::Mesh pieceMesh() {
    const char* env = std::getenv("TUMBALON_DATA");
    const std::string name = std::string(env ? env : "data") + "/straight";
    if (std::ifstream(name + ".obj")) {
        std::ostringstream quiet;
        io::Result<klotz::Mesh> mesh = klotz::loadObj(name, quiet);
        if (mesh && !mesh->empty()) return *mesh;
    }
    klotz::Mesh cube;
    for (int i = 0; i < 8; ++i)
        for (int axis = 0; axis < 3; ++axis) cube.vertices.push_back(i & (1 << axis) ? 25.0f : -25.0f);
    cube.faces = {0, 2, 3, 0, 3, 1, 4, 5, 7, 4, 7, 6, 0, 1, 5, 0, 5, 4,
                  2, 6, 7, 2, 7, 3, 0, 4, 6, 0, 6, 2, 1, 3, 7, 1, 7, 5};
    cube.vertexCount = 8;
    cube.faceCount = 12;
    return cube;
}

// Bytes the program has allocated and not freed.
double heapMegabytes() {
    const struct mallinfo2 m = mallinfo2();
    return static_cast<double>(m.uordblks + m.hblkhd) / (1024.0 * 1024.0);
}

// What the process holds once the C library has handed its free pages back:
// glibc keeps the freed temporaries of the second klotz-mesh build (about
// 10 MB here, whenever that build comes) until asked, which says nothing
// about what editing leaves behind.
double residentMegabytes() {
    malloc_trim(0);
    std::ifstream statm("/proc/self/statm");
    long size = 0, resident = 0;
    statm >> size >> resident;
    return static_cast<double>(resident) * static_cast<double>(sysconf(_SC_PAGESIZE)) / (1024.0 * 1024.0);
}

struct Churn {
    double stepFresh = -1, stepAfter = -1;  // ms per run step
    double rssBefore = -1, rssAfter = -1;   // MB
    double heapBefore = -1, heapAfter = -1; // MB
    double pairMs = -1;                     // one undo and one redo

    scene::SceneState state;
    scene::SceneModel model;
    klotz::KlotzCatalogue catalogue;
    physics::PhysicsWorld world;
    view::Camera camera;
    view::Palette palette;
    particles::ParticleSystem particles;
    input::NoUi ui;
    input::EditSession session;
    run::Run run;  // as the window keeps it: its outcomes read the world every step
    std::ostringstream out;
    std::istringstream in;
    input::CommandContext ctx{state,   model, catalogue, world, camera, palette, particles, ui,
                              session, run,   [] { return 0.0; }, out, in};
    run::RunContext runCtx = input::runContext(ctx);

    // A run's step after the first few, which build the merged klotz mesh:
    // the mean of the fastest batch, as other work on the machine only
    // ever slows a batch down.
    double timeRunSteps() {
        input::startSimulation(ctx);
        for (int i = 0; i < WARM_STEPS; ++i) run::stepRun(runCtx);
        double best = 1e30;
        for (int b = 0; b < BATCHES; ++b) {
            const auto start = std::chrono::steady_clock::now();
            for (int i = 0; i < BATCH_STEPS; ++i) run::stepRun(runCtx);
            best = std::min(best, std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
        }
        input::stopSimulation(ctx);
        return best / BATCH_STEPS;
    }

    Churn() {
        klotz::KlotzType type;
        type.name = "straight";
        type.mesh = pieceMesh();
        catalogue.catalogueNames.push_back(type.name);
        catalogue.klotzTypes.push_back(type);
        catalogue.typeDisplayLists.push_back(1);
        palette.init(catalogue.typeCount(), 500);

        scene::SceneFileData data;
        for (int cell = 0; cell < scene::CELL_COUNT; ++cell)
            for (int k = 0; k < LEVELS; ++k) {
                const glm::vec3 c = scene::levelCentre(cell / scene::GRID_SIZE, cell % scene::GRID_SIZE, k);
                data.cellStack[cell].push_back(static_cast<int>(data.poses.size()));
                data.klotzTypes.push_back(0);
                data.poses.push_back({1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, c.x, c.y, c.z, 1});
            }
        for (int b = 0; b < BALLS; ++b) {
            const int cell = b * 19 + 7;
            data.cellBallStart[cell] = b;
            data.ballStarts.push_back({cell / scene::GRID_SIZE, cell % scene::GRID_SIZE});
        }
        scene::buildScene(data, model, state, catalogue, world);
        // One edit to undo and redo: a ball start more.
        state.selectedRow = 19;
        state.selectedColumn = 19;
        input::recordStep(ctx, [this] { input::setBallStart(ctx); });
        if (session.history.undoSteps() != 1) return;

        stepFresh = timeRunSteps();
        rssBefore = residentMegabytes();
        heapBefore = heapMegabytes();
        const auto start = std::chrono::steady_clock::now();
        for (int i = 0; i < CHURN_PAIRS; ++i)
            if (!input::undoStep(ctx) || !input::redoStep(ctx)) return;
        pairMs = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count() /
                 CHURN_PAIRS;
        stepAfter = timeRunSteps();
        rssAfter = residentMegabytes();
        heapAfter = heapMegabytes();
    }
};

const Churn& churn() {
    static const Churn c;
    return c;
}

}  // namespace

BENCH_FIGURE(step_ms_fresh) { return churn().stepFresh; }
BENCH_FIGURE(step_ms_after_undo_churn) { return churn().stepAfter; }
BENCH_FIGURE(rss_mb_before_churn) { return churn().rssBefore; }
BENCH_FIGURE(rss_mb_after_churn) { return churn().rssAfter; }
BENCH_FIGURE(heap_mb_before_churn) { return churn().heapBefore; }
BENCH_FIGURE(heap_mb_after_churn) { return churn().heapAfter; }
BENCH_FIGURE(undo_redo_pair_2000_kloetze_ms) { return churn().pairMs; }
