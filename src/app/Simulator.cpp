#include "app/Simulator.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <memory>
#include <optional>
#include <ostream>
#include <sstream>

#include "app/RunReport.h"
#include "app/SceneCheck.h"
#include "klotz/Catalogue.h"
#include "run/Simulation.h"
#include "run/SoundEvents.h"
#include "scene/SceneFile.h"
#include "scene/Snapshot.h"
#include "view/Camera.h"
#include "audio/WavFile.h"
#include "io/FileWrite.h"
#include "io/Result.h"

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

    const bool untilSettled = std::isnan(options.seconds);
    const long steps = std::lround((untilSettled ? MAX_RUN_SECONDS : options.seconds) / physics::FIXED_STEP);
    for (long step = 1; step <= steps; ++step) {
        if (untilSettled && run::allSettled(run.insight)) break;
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
    if (options.simulated) *options.simulated = run.time();
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

const char* USAGE = "usage: tumbalon-sim SCENE [--seconds S] [--trace FILE] [--report FILE.html] [--audio FILE.wav]\n"
                    "         [--parts] [--robustness [N]] [--seed S] [-j N] [--offset D] [--delay S] [--spin R]\n"
                    "         [--picture FILE.png [--at S]]\n"
                    "       tumbalon-sim --check FOLDER [--seconds S] [--robustness [N]] ...\n";

bool parseSeconds(const char* text, double* seconds) {
    char* end = nullptr;
    double v = std::strtod(text, &end);
    if (end == text || *end != '\0' || !std::isfinite(v) || v < 0.0 || v > 1e6) return false;
    *seconds = v;
    return true;
}

// An output file named after option: a name that is no option itself.
bool takeFileName(int argc, char** argv, int& i, const char* what, std::string& name, std::ostream& err) {
    if (i + 1 >= argc || argv[i + 1][0] == '\0' || argv[i + 1][0] == '-') {
        err << "tumbalon-sim: " << argv[i] << " needs the name of the " << what << " to write\n" << USAGE;
        return false;
    }
    name = argv[++i];
    return true;
}

}  // namespace

int runSimulator(int argc, char** argv, std::ostream& out, std::ostream& err, const PictureRenderer& picture) {
    std::string sceneFile;
    bool sceneGiven = false;
    std::string traceFile;
    std::string reportFile;
    std::string audioFile;
    SimOptions options;
    ShareOptions share;
    for (int i = 1; i < argc; ++i)
        if (std::string(argv[i]) == "--check") return runCheck(argc, argv, out, err);
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            out << USAGE;
            return 0;
        } else if (arg == "--seconds") {
            if (i + 1 >= argc) {
                err << "tumbalon-sim: --seconds needs a number of seconds from 0 to 1000000\n" << USAGE;
                return 2;
            }
            if (!parseSeconds(argv[++i], &options.seconds)) {
                err << "tumbalon-sim: --seconds needs a number of seconds from 0 to 1000000, not \""
                    << io::printable(argv[i]) << "\"\n";
                return 2;
            }
        } else if (arg == "--trace") {
            if (!takeFileName(argc, argv, i, "CSV file", traceFile, err)) return 2;
        } else if (arg == "--report") {
            if (!takeFileName(argc, argv, i, "HTML file", reportFile, err)) return 2;
        } else if (arg == "--audio") {
            if (!takeFileName(argc, argv, i, "WAV file", audioFile, err)) return 2;
        } else if (const int read = readShareOption(argc, argv, i, share, err)) {
            if (read == 2) return 2;
        } else if (arg.size() > 1 && arg[0] == '-') {
            // A scene file whose name starts with '-' is named as ./-NAME.
            err << "tumbalon-sim: unknown option \"" << io::printable(arg) << "\"\n" << USAGE;
            return 2;
        } else if (sceneGiven) {
            err << "tumbalon-sim: unexpected argument \"" << io::printable(arg) << "\"\n" << USAGE;
            return 2;
        } else {
            sceneFile = arg;
            sceneGiven = true;
        }
    }
    if (!sceneGiven) {
        err << USAGE;
        return 2;
    }
    if (sceneFile.empty()) {
        err << "tumbalon-sim: the scene file name is empty\n" << USAGE;
        return 2;
    }
    // Found out now rather than after a long run.
    std::string error;
    const struct {
        const std::string& file;
        const char* what;
    } outputs[] = {{traceFile, "trace file"}, {reportFile, "report"}, {audioFile, "sound file"}};
    for (const auto& output : outputs)
        if (!output.file.empty() && !io::probeWritable(output.file, error)) {
            err << "tumbalon-sim: can not write the " << output.what << " \"" << io::printable(output.file)
                << "\": " << error << "\n";
            return 2;
        }
    if (!share.picture.empty() && !pictureWritable(share.picture, picture, err)) return 2;

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

    // Written whole at the end, through the same safe writer as the report.
    std::ostringstream trace;
    if (!traceFile.empty()) options.trace = &trace;

    options.recordPaths = !reportFile.empty();
    // The same synthesis as the window, rendered as the run goes: the same
    // scene always gives the same file.
    audio::Synthesiser sound;
    std::vector<std::int16_t> samples;
    if (!audioFile.empty()) {
        options.sound = &sound;
        options.soundSamples = &samples;
    }
    double simulated = 0.0;
    options.simulated = &simulated;
    std::vector<BallReport> reports = simulateScene(model, world, catalogue, options);
    for (const BallReport& r : reports) out << formatReport(r) << "\n";
    out << formatSummary(reports, simulated) << "\n";
    const std::vector<PartCount> parts = partsList(model, catalogue);
    if (share.parts)
        for (const std::string& line : formatParts(parts)) out << line << "\n";
    std::optional<RobustnessResult> robust;
    if (share.robustness) {
        robust = checkRobustness(scene::captureScene(model, state).scene, catalogue, share.robust);
        for (const std::string& line : formatRobustness(*robust)) out << line << "\n";
    }
    if (options.trace && !io::writeFileReplacing(traceFile, trace.str(), error)) {
        err << "tumbalon-sim: writing the trace file \"" << io::printable(traceFile) << "\" failed: " << error
            << "\n";
        return 1;
    }
    if (!audioFile.empty() && !audio::writeWav(audioFile, samples, err)) return 1;
    if (!share.picture.empty() &&
        !writePicture(share.picture, {scene::captureScene(model, state).scene, catalogue, share.pictureAt}, picture, err))
        return 1;
    if (!reportFile.empty()) {
        RunReportInput input{sceneFile, simulated, model, catalogue, reports, &parts, robust ? &*robust : nullptr};
        // A report without its picture is still worth having.
        if (picture)
            input.picturePng = picturePng({scene::captureScene(model, state).scene, catalogue, share.pictureAt},
                                          picture, error);
        const std::string page = runReportPage(input);
        if (!io::writeFileReplacing(reportFile, page, error)) {
            err << "tumbalon-sim: writing the report \"" << io::printable(reportFile) << "\" failed: " << error << "\n";
            return 1;
        }
    }
    return 0;
}

}  // namespace app
