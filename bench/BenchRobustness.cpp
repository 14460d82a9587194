// The robustness check of demo1 (50 runs), on one thread and on every core,
// wall-clock seconds; reads the shipped pieces and demo from TUMBALON_DATA or
// ./data. Figures are -1 when the demo can not be read.
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <sstream>

#include "Bench.h"
#include "app/Robustness.h"
#include "app/SceneCheck.h"
#include "scene/SceneFile.h"

namespace {

struct Demo {
    klotz::KlotzCatalogue catalogue;
    std::optional<scene::SceneFileData> scene;
};

const Demo& demo1() {
    static Demo demo = [] {
        Demo d;
        const char* env = std::getenv("TUMBALON_DATA");
        const std::filesystem::path back = std::filesystem::current_path();
        std::error_code ec;
        std::filesystem::current_path(env ? env : "data", ec);
        if (ec) return d;
        std::ostringstream quiet;
        app::loadHeadlessCatalogue(d.catalogue, quiet);
        d.scene = scene::readSceneFile("demo1.tumbalon", d.catalogue.typeCount(), quiet);
        std::filesystem::current_path(back, ec);
        return d;
    }();
    return demo;
}

double robustnessSeconds(int jobs) {
    const Demo& d = demo1();
    if (!d.scene) return -1.0;
    app::RobustnessOptions options;
    options.runs = 50;
    options.jobs = jobs;
    const auto start = std::chrono::steady_clock::now();
    app::checkRobustness(*d.scene, d.catalogue, options);
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

double oneThread() {
    static const double s = robustnessSeconds(1);
    return s;
}
double allCores() {
    static const double s = robustnessSeconds(0);
    return s;
}

}  // namespace

BENCH_FIGURE(robustness_50_runs_demo1_s) { return oneThread(); }
BENCH_FIGURE(robustness_50_runs_demo1_all_cores_s) { return allCores(); }
BENCH_FIGURE(robustness_speedup_all_cores) {
    return oneThread() > 0.0 && allCores() > 0.0 ? oneThread() / allCores() : -1.0;
}
