#include "app/SceneCheck.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <ostream>
#include <sstream>
#include <system_error>
#include <vector>

#include "image/PngWriter.h"
#include "io/FileWrite.h"
#include "scene/SceneFile.h"

namespace app {

namespace {

bool readCount(const char* text, long low, long high, long* value) {
    char* end = nullptr;
    errno = 0;
    const long v = std::strtol(text, &end, 10);
    if (end == text || *end != '\0' || errno != 0 || v < low || v > high) return false;
    *value = v;
    return true;
}

bool readNumber(const char* text, double low, double high, double* value) {
    char* end = nullptr;
    const double v = std::strtod(text, &end);
    if (end == text || *end != '\0' || !std::isfinite(v) || v < low || v > high) return false;
    *value = v;
    return true;
}

}  // namespace

int readShareOption(int argc, char** argv, int& i, ShareOptions& options, std::ostream& err) {
    const std::string arg = argv[i];
    const bool hasValue = i + 1 < argc;
    auto refuse = [&](const std::string& what) {
        err << "tumbalon-sim: " << arg << " needs " << what;
        if (hasValue) err << ", not \"" << argv[i + 1] << "\"";
        err << "\n";
        return 2;
    };
    long count = 0;
    double number = 0.0;
    if (arg == "--robustness") {
        options.robustness = true;
        // The number of runs is optional: a scene name may follow.
        if (hasValue && readCount(argv[i + 1], 1, 100000, &count)) {
            options.robust.runs = static_cast<int>(count);
            ++i;
        }
        return 1;
    }
    if (arg == "--seed") {
        if (!hasValue || !readCount(argv[i + 1], 0, 2147483647L, &count)) return refuse("a whole number from 0");
        options.robust.seed = static_cast<std::uint64_t>(count);
    } else if (arg == "-j" || arg == "--jobs") {
        if (!hasValue || !readCount(argv[i + 1], 1, 1024, &count)) return refuse("a number of threads from 1 to 1024");
        options.robust.jobs = static_cast<int>(count);
    } else if (arg == "--offset") {
        if (!hasValue || !readNumber(argv[i + 1], 0.0, 25.0, &number)) return refuse("a distance from 0 to 25 units");
        options.robust.most.offset = static_cast<float>(number);
    } else if (arg == "--delay") {
        if (!hasValue || !readNumber(argv[i + 1], 0.0, 10.0, &number)) return refuse("seconds from 0 to 10");
        options.robust.most.delay = number;
    } else if (arg == "--spin") {
        if (!hasValue || !readNumber(argv[i + 1], 0.0, 100.0, &number))
            return refuse("radians per second from 0 to 100");
        options.robust.most.spin = static_cast<float>(number);
    } else if (arg == "--parts") {
        options.parts = true;
        return 1;
    } else if (arg == "--picture") {
        if (!hasValue || argv[i + 1][0] == '\0' || argv[i + 1][0] == '-')
            return refuse("the name of the PNG file to write");
        options.picture = argv[i + 1];
    } else if (arg == "--at") {
        if (!hasValue || !readNumber(argv[i + 1], 0.0, RUN_LIMIT_SECONDS, &number))
            return refuse("seconds from 0 to 120");
        options.pictureAt = number;
    } else {
        return 0;
    }
    ++i;
    return 1;
}

bool pictureWritable(const std::string& file, const PictureRenderer& renderer, std::ostream& err) {
    std::string error;
    if (!renderer) {
        err << "tumbalon-sim: this build draws no pictures\n";
        return false;
    }
    if (!io::probeWritable(file, error)) {
        err << "tumbalon-sim: can not write the picture \"" << file << "\": " << error << "\n";
        return false;
    }
    return true;
}

std::string picturePng(const PictureRequest& request, const PictureRenderer& renderer, std::string& error) {
    std::vector<std::uint8_t> rgb;
    if (!renderer) {
        error = "this build draws no pictures";
        return "";
    }
    if (!renderer(request, rgb, error)) return "";
    return image::encodePng(request.width, request.height, rgb, error);
}

bool writePicture(const std::string& file, const PictureRequest& request, const PictureRenderer& renderer,
                  std::ostream& err) {
    std::string error;
    const std::string png = picturePng(request, renderer, error);
    if (png.empty() || !io::writeFileReplacing(file, png, error)) {
        err << "tumbalon-sim: the picture \"" << file << "\" failed: " << error << "\n";
        return false;
    }
    return true;
}

void loadHeadlessCatalogue(klotz::KlotzCatalogue& catalogue, std::ostream& err) {
    std::ostringstream loaderLog;
    klotz::loadCatalogueList(catalogue, loaderLog);
    klotz::loadKloetze(catalogue, loaderLog);
    // No GL here: distinct stand-in ids keep every placed klotz's type known.
    for (int t = 0; t < catalogue.typeCount(); ++t) catalogue.typeDisplayLists[t] = t + 1;
    if (loaderLog.str().find("WARNING") != std::string::npos || catalogue.typeCount() == 0) err << loaderLog.str();
}

int runCheck(int argc, char** argv, std::ostream& out, std::ostream& err) {
    namespace fs = std::filesystem;
    const char* usage =
        "usage: tumbalon-sim --check FOLDER [--seconds S] [--robustness [N]] [--seed S] [-j N] [--offset D] "
        "[--delay S] [--spin R]\n";
    std::string folder;
    double seconds = RUN_LIMIT_SECONDS;
    ShareOptions share;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--check") {
            if (i + 1 >= argc || argv[i + 1][0] == '\0' || !folder.empty()) {
                err << "tumbalon-sim: --check needs one folder of scene files\n" << usage;
                return 2;
            }
            folder = argv[++i];
            continue;
        }
        if (arg == "--seconds") {
            if (i + 1 >= argc || !readNumber(argv[i + 1], 0.0, 1e6, &seconds)) {
                err << "tumbalon-sim: --seconds needs a number of seconds from 0 to 1000000\n";
                return 2;
            }
            ++i;
            continue;
        }
        const int read = readShareOption(argc, argv, i, share, err);
        if (read == 2) return 2;
        if (read == 0 || share.parts || !share.picture.empty()) {
            err << "tumbalon-sim: unexpected argument \"" << arg << "\" with --check\n" << usage;
            return 2;
        }
    }
    std::error_code ec;
    if (!fs::is_directory(folder, ec)) {
        err << "tumbalon-sim: --check needs a folder, and \"" << folder << "\" is none\n";
        return 2;
    }
    std::vector<std::string> files;
    for (const auto& entry : fs::directory_iterator(folder, ec))
        if (entry.path().extension() == ".tumbalon" && entry.is_regular_file(ec)) files.push_back(entry.path().string());
    std::sort(files.begin(), files.end());
    if (files.empty()) {
        err << "tumbalon-sim: no scene files (*.tumbalon) in \"" << folder << "\"\n";
        return 1;
    }

    klotz::KlotzCatalogue catalogue;
    loadHeadlessCatalogue(catalogue, err);
    share.robust.maxSeconds = seconds;
    int good = 0;
    for (const std::string& file : files) {
        const std::string name = fs::path(file).lexically_relative(folder).string();
        std::optional<scene::SceneFileData> data = scene::readSceneFile(file, catalogue.typeCount(), err);
        if (!data) {
            out << "scene=" << name << " refused\n";
            continue;
        }
        const SingleRun run = runOnce(*data, catalogue, {}, seconds);
        int home = 0;
        double restTime = 0.0;
        for (const run::BallInsight& b : run.balls) {
            home += b.outcome == run::BallOutcome::HOME;
            restTime = b.restTime < 0.0 || restTime < 0.0 ? -1.0 : std::max(restTime, b.restTime);
        }
        const int balls = static_cast<int>(run.balls.size());
        char line[64];
        std::snprintf(line, sizeof line, "%.2f", restTime);
        out << "scene=" << name << " balls=" << balls << " home=" << home
            << " rest_time=" << (restTime < 0.0 ? "never" : line);
        bool allHome = home == balls;
        if (share.robustness) {
            const RobustnessResult r = checkRobustness(*data, catalogue, share.robust);
            out << " robustness=" << r.allHome << "/" << r.runs;
        }
        out << "\n";
        out.flush();
        good += allHome;
    }
    out << "check: " << good << " of " << files.size() << " scenes brought every ball home\n";
    return good == static_cast<int>(files.size()) ? 0 : 1;
}

}  // namespace app
