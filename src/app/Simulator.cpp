#include "app/Simulator.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <memory>
#include <ostream>
#include <sstream>

#include "app/RunReport.h"
#include "klotz/Catalogue.h"
#include "run/Simulation.h"
#include "run/SoundEvents.h"
#include "scene/SceneFile.h"
#include "view/Camera.h"
#include "audio/WavFile.h"
#include "io/FileWrite.h"

namespace app {

namespace {

// The sound of the run, rendered as it goes.
class SoundListener : public run::StepListener {
public:
    SoundListener(audio::Synthesiser& sound, std::vector<std::int16_t>& samples) : sound_(sound), samples_(samples) {}
    void stepTaken(const physics::StepContacts& contacts, double runTime) override {
        run::feedSound(contacts, runTime,
                       {[&](const audio::Impact& e, double at) { sound_.impact(e, at); },
                        [&](const audio::Rolling& e, double at) { sound_.rolling(e, at); }});
        sound_.renderUntil(runTime + physics::FIXED_STEP, samples_);
    }

private:
    audio::Synthesiser& sound_;
    std::vector<std::int16_t>& samples_;
};

}  // namespace

std::vector<BallReport> simulateScene(scene::SceneModel& model, physics::PhysicsWorld& world,
                                      const klotz::KlotzCatalogue& catalogue, const SimOptions& options) {
    scene::SceneState state;
    view::Camera camera;
    run::Run run;
    std::ostringstream console;
    std::unique_ptr<SoundListener> listener;
    if (options.sound) listener = std::make_unique<SoundListener>(*options.sound, *options.soundSamples);
    run::RunContext ctx{state, model, catalogue, world, camera, nullptr, run, listener.get(), [] { return 0.0; },
                        console};
    run::startRun(ctx);

    const int balls = model.ballCount();
    std::vector<std::vector<PathPoint>> paths(balls);
    if (options.trace) {
        *options.trace << "time";
        for (int i = 0; i < balls; ++i) *options.trace << ",x" << i << ",y" << i << ",z" << i;
        *options.trace << "\n";
    }

    const long steps = std::lround(options.seconds / physics::FIXED_STEP);
    for (long step = 1; step <= steps; ++step) {
        const std::vector<run::BallSample>& samples = run::stepRun(ctx);
        const double t = run.time();
        if (options.trace) *options.trace << t;
        for (int i = 0; i < balls; ++i) {
            const glm::vec3 p = samples[i].position;
            if (options.recordPaths) paths[i].push_back({static_cast<float>(t), p, samples[i].speed});
            if (options.trace) *options.trace << "," << p.x << "," << p.y << "," << p.z;
        }
        if (options.trace) *options.trace << "\n";
    }
    std::vector<BallReport> reports = reportRun(run, model, world);
    for (int i = 0; i < balls; ++i) reports[i].path = std::move(paths[i]);
    return reports;
}

std::vector<BallReport> reportRun(const run::Run& run, const scene::SceneModel& model,
                                  const physics::PhysicsWorld& world) {
    const int balls = std::min(model.ballCount(), static_cast<int>(run.insight.balls().size()));
    std::vector<BallReport> reports(balls);
    for (int i = 0; i < balls; ++i) {
        BallReport& r = reports[i];
        r.ball = i;
        r.row = model.ballStarts()[i].row;
        r.column = model.ballStarts()[i].column;
        r.insight = run.insight.balls()[i];
        const physics::ActorHandle ball = model.ballActors()[i];
        r.end = world.isActor(ball) ? world.getGlobalPosition(ball) : glm::vec3(0.0f);
        r.topSpeed = r.insight.topSpeed;
        r.restTime = r.insight.restTime;
        r.onFloor = r.restTime >= 0.0 && r.end.y < FLOOR_REST_HEIGHT;
    }
    return reports;
}

std::string formatReport(const BallReport& r) {
    char buf[256];
    char rest[32];
    if (r.restTime < 0.0)
        std::snprintf(rest, sizeof rest, "never");
    else
        std::snprintf(rest, sizeof rest, "%.2f", r.restTime);
    std::snprintf(buf, sizeof buf, "ball=%d start=%d,%d end=%.2f,%.2f,%.2f top_speed=%.2f rest_time=%s on_floor=%s",
                  r.ball, r.row, r.column, r.end.x, r.end.y, r.end.z, r.topSpeed, rest, r.onFloor ? "yes" : "no");
    const run::BallInsight& b = r.insight;
    std::string line = std::string(buf) + " outcome=" + run::outcomeName(b.outcome) + " last_on=";
    if (b.lastOn.known())
        line += std::to_string(b.lastOn.row) + "," + std::to_string(b.lastOn.column) + "," +
                std::to_string(b.lastOn.level) + "," + b.lastOn.type;
    else
        line += "-";
    line += " left_track=";
    if (b.leftTrack && b.lastOn.known()) {
        std::snprintf(buf, sizeof buf, "%.2f", b.lastOnTime);
        line += buf;
    } else {
        line += "-";
    }
    return line;
}

std::string formatSummary(const std::vector<BallReport>& reports, double seconds) {
    int atRest = 0;
    int onFloor = 0;
    int home = 0;
    for (const BallReport& r : reports) {
        atRest += r.restTime >= 0.0;
        onFloor += r.onFloor;
        home += r.insight.outcome == run::BallOutcome::HOME;
    }
    std::ostringstream s;
    s << "balls=" << reports.size() << " seconds=" << seconds << " at_rest=" << atRest << " on_floor=" << onFloor
      << " home=" << home;
    return s.str();
}

namespace {

const char* USAGE = "usage: tumbalon-sim SCENE [--seconds S] [--trace FILE] [--report FILE.html] [--audio FILE.wav]\n";

bool parseSeconds(const char* text, double* seconds) {
    char* end = nullptr;
    double v = std::strtod(text, &end);
    if (end == text || *end != '\0' || !std::isfinite(v) || v < 0.0 || v > 1e6) return false;
    *seconds = v;
    return true;
}

}  // namespace

int runSimulator(int argc, char** argv, std::ostream& out, std::ostream& err) {
    std::string sceneFile;
    std::string traceFile;
    std::string reportFile;
    std::string audioFile;
    SimOptions options;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        if (arg == "--seconds" && i + 1 < argc) {
            if (!parseSeconds(argv[++i], &options.seconds)) {
                err << "tumbalon-sim: --seconds needs a number of seconds from 0 to 1000000, not \"" << argv[i]
                    << "\"\n";
                return 2;
            }
        } else if (arg == "--trace" && i + 1 < argc) {
            traceFile = argv[++i];
        } else if (arg == "--report") {
            if (i + 1 >= argc || argv[i + 1][0] == '\0' || argv[i + 1][0] == '-') {
                err << "tumbalon-sim: --report needs the name of the HTML file to write\n" << USAGE;
                return 2;
            }
            reportFile = argv[++i];
        } else if (arg == "--audio") {
            if (i + 1 >= argc || argv[i + 1][0] == '\0' || argv[i + 1][0] == '-') {
                err << "tumbalon-sim: --audio needs the name of the WAV file to write\n" << USAGE;
                return 2;
            }
            audioFile = argv[++i];
        } else if (arg.rfind("--", 0) == 0 || !sceneFile.empty()) {
            err << "tumbalon-sim: unexpected argument \"" << arg << "\"\n" << USAGE;
            return 2;
        } else {
            sceneFile = arg;
        }
    }
    if (sceneFile.empty()) {
        err << USAGE;
        return 2;
    }
    // Found out now rather than after a long run.
    std::string error;
    if (!reportFile.empty() && !io::probeWritable(reportFile, error)) {
        err << "tumbalon-sim: can not write the report \"" << reportFile << "\": " << error << "\n";
        return 2;
    }
    if (!audioFile.empty() && !io::probeWritable(audioFile, error)) {
        err << "tumbalon-sim: can not write the sound file \"" << audioFile << "\": " << error << "\n";
        return 2;
    }

    // The loaders' progress lines would mix with the report; warnings go to
    // standard error.
    std::ostringstream loaderLog;
    klotz::KlotzCatalogue catalogue;
    klotz::loadCatalogueList(catalogue, loaderLog);
    klotz::loadKloetze(catalogue, loaderLog);
    // No GL here: distinct stand-in ids keep every placed klotz's type known.
    for (int t = 0; t < catalogue.typeCount(); ++t) catalogue.typeDisplayLists[t] = t + 1;
    if (loaderLog.str().find("WARNING") != std::string::npos || catalogue.typeCount() == 0) err << loaderLog.str();

    physics::PhysicsWorld world;
    scene::SceneModel model;
    scene::SceneState state;
    std::ostringstream sceneLog;
    if (!scene::loadScene(model, state, catalogue, world, sceneFile, sceneLog)) {
        err << "tumbalon-sim: scene refused\n" << sceneLog.str();
        return 1;
    }

    std::ofstream trace;
    if (!traceFile.empty()) {
        trace.open(traceFile);
        if (!trace) {
            err << "tumbalon-sim: can not write the trace file \"" << traceFile << "\"\n";
            return 1;
        }
        options.trace = &trace;
    }

    options.recordPaths = !reportFile.empty();
    // The same synthesis as the window, rendered as the run goes: the same
    // scene always gives the same file.
    audio::Synthesiser sound;
    std::vector<std::int16_t> samples;
    if (!audioFile.empty()) {
        options.sound = &sound;
        options.soundSamples = &samples;
    }
    std::vector<BallReport> reports = simulateScene(model, world, catalogue, options);
    for (const BallReport& r : reports) out << formatReport(r) << "\n";
    out << formatSummary(reports, options.seconds) << "\n";
    if (options.trace) {
        trace.close();
        if (!trace) {
            err << "tumbalon-sim: writing the trace file \"" << traceFile << "\" failed\n";
            return 1;
        }
    }
    if (!audioFile.empty() && !audio::writeWav(audioFile, samples, err)) return 1;
    if (!reportFile.empty()) {
        const std::string page = runReportPage({sceneFile, options.seconds, model, catalogue, reports});
        if (!io::writeFileReplacing(reportFile, page, error)) {
            err << "tumbalon-sim: writing the report \"" << reportFile << "\" failed: " << error << "\n";
            return 1;
        }
    }
    return 0;
}

}  // namespace app
