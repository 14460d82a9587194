#include "app/Robustness.h"

#include <algorithm>
#include <cmath>
#include <exception>
#include <mutex>
#include <sstream>
#include <thread>
#include <tuple>

#include "physics/ErrorReporter.h"
#include "physics/Physics.h"
#include "run/Simulation.h"
#include "view/Camera.h"

namespace app {

namespace {

std::uint64_t mix(std::uint64_t x) {
    x += 0x9e3779b97f4a7c15ULL;
    x = (x ^ (x >> 30)) * 0xbf58476d1ce4e5b9ULL;
    x = (x ^ (x >> 27)) * 0x94d049bb133111ebULL;
    return x ^ (x >> 31);
}

// Splitmix: the same numbers on every platform, unlike the standard
// distributions.
class Draws {
public:
    explicit Draws(std::uint64_t state) : state_(state) {}
    double uniform() {  // in [0, 1)
        state_ += 0x9e3779b97f4a7c15ULL;
        return static_cast<double>(mix(state_) >> 11) * 0x1p-53;
    }

private:
    std::uint64_t state_;
};

}  // namespace

std::vector<BallDisturbance> drawDisturbances(std::uint64_t seed, int runIndex, int balls, const Disturbance& most) {
    Draws draws(mix(mix(seed) + static_cast<std::uint64_t>(runIndex)));
    std::vector<BallDisturbance> out(balls);
    const double twoPi = 6.283185307179586;
    for (BallDisturbance& d : out) {
        // Uniform over the disc, not crowded at its centre.
        const double r = most.offset * std::sqrt(draws.uniform());
        const double a = twoPi * draws.uniform();
        d.shift = glm::vec2(static_cast<float>(r * std::cos(a)), static_cast<float>(r * std::sin(a)));
        d.holdSteps = std::lround(most.delay * draws.uniform() / physics::FIXED_STEP);
        const double z = 2.0 * draws.uniform() - 1.0;
        const double phi = twoPi * draws.uniform();
        const double s = std::sqrt(std::max(0.0, 1.0 - z * z));
        const glm::vec3 axis(static_cast<float>(s * std::cos(phi)), static_cast<float>(z),
                             static_cast<float>(s * std::sin(phi)));
        d.spin = axis * static_cast<float>(most.spin * draws.uniform());
    }
    return out;
}

SingleRun runOnce(const scene::SceneFileData& data, const klotz::KlotzCatalogue& catalogue,
                  const std::vector<BallDisturbance>& disturbances, double maxSeconds) {
    // Nothing shared between runs: the world reports into this run's log,
    // never waiting on the console.
    std::ostringstream log;
    std::istringstream noAnswers;
    physics::ErrorReporter reporter(log, noAnswers);
    physics::PhysicsWorld world(&reporter);
    scene::SceneModel model;
    scene::SceneState state;
    scene::buildScene(data, model, state, catalogue, world);
    view::Camera camera;
    run::Run run;
    run::RunContext ctx{state, model, catalogue, world, camera, nullptr, run, nullptr, [] { return 0.0; }, log};
    run::startRun(ctx);

    const int balls = model.ballCount();
    std::vector<physics::BallState> held(balls);
    long lastRelease = 0;
    for (int i = 0; i < balls; ++i) {
        held[i] = world.getBallState(model.ballActors()[i]);
        if (i < static_cast<int>(disturbances.size())) {
            held[i].pose.translation += glm::vec3(disturbances[i].shift.x, 0.0f, disturbances[i].shift.y);
            lastRelease = std::max(lastRelease, disturbances[i].holdSteps);
        }
    }

    const long steps = std::lround(maxSeconds / physics::FIXED_STEP);
    SingleRun result;
    for (long step = 1; step <= steps; ++step) {
        // A late ball waits at its start, still, until its release step.
        for (int i = 0; i < balls && i < static_cast<int>(disturbances.size()); ++i) {
            const BallDisturbance& d = disturbances[i];
            if (step > d.holdSteps + 1) continue;
            physics::BallState s = held[i];
            if (step == d.holdSteps + 1) s.angularVelocity = d.spin;
            world.setBallState(model.ballActors()[i], s);
        }
        run::stepRun(ctx);
        if (step <= lastRelease) continue;
        if (run::allSettled(run.insight)) break;
    }
    result.balls = run.insight.balls();
    result.seconds = run.time();
    return result;
}

int threadCount(int jobs) {
    if (jobs > 0) return jobs;
    return std::max(1u, std::thread::hardware_concurrency());
}

RobustnessResult checkRobustness(const scene::SceneFileData& data, const klotz::KlotzCatalogue& catalogue,
                                 const RobustnessOptions& options) {
    const int runs = std::max(0, options.runs);
    const int balls = static_cast<int>(data.ballStarts.size());
    std::vector<SingleRun> done(runs);
    std::vector<char> ran(runs, 0);
    std::atomic<int> next{0};
    std::exception_ptr failure;
    std::mutex failureLock;
    auto work = [&] {
        for (int k; (k = next++) < runs;) {
            if (options.cancel && options.cancel->load()) return;
            try {
                done[k] = runOnce(data, catalogue, drawDisturbances(options.seed, k, balls, options.most),
                                  options.maxSeconds);
                ran[k] = 1;
            } catch (...) {
                std::lock_guard<std::mutex> lock(failureLock);
                if (!failure) failure = std::current_exception();
            }
            if (options.done) ++*options.done;
        }
    };
    const int threads = std::min(threadCount(options.jobs), std::max(1, runs));
    std::vector<std::thread> pool;
    for (int t = 1; t < threads; ++t) pool.emplace_back(work);
    work();
    for (std::thread& t : pool) t.join();
    if (failure) std::rethrow_exception(failure);

    // Summed in run order, so the thread count changes nothing.
    RobustnessResult result;
    result.ballHome.assign(balls, 0);
    std::vector<WeakSpot> spots;
    for (int k = 0; k < runs; ++k) {
        if (!ran[k]) {
            result.cancelled = true;
            continue;
        }
        ++result.runs;
        bool all = true;
        for (int i = 0; i < balls && i < static_cast<int>(done[k].balls.size()); ++i) {
            const run::BallInsight& b = done[k].balls[i];
            if (b.outcome == run::BallOutcome::HOME) {
                ++result.ballHome[i];
                continue;
            }
            all = false;
            auto same = [&](const WeakSpot& w) {
                return w.place.row == b.lastOn.row && w.place.column == b.lastOn.column &&
                       w.place.level == b.lastOn.level && w.place.type == b.lastOn.type;
            };
            auto found = std::find_if(spots.begin(), spots.end(), same);
            if (found == spots.end()) found = spots.insert(spots.end(), WeakSpot{b.lastOn, 0});
            ++found->failures;
        }
        result.allHome += all;
    }
    std::sort(spots.begin(), spots.end(), [](const WeakSpot& a, const WeakSpot& b) {
        return std::tie(b.failures, a.place.row, a.place.column, a.place.level, a.place.type) <
               std::tie(a.failures, b.place.row, b.place.column, b.place.level, b.place.type);
    });
    result.weakSpots = std::move(spots);
    return result;
}

std::vector<std::string> formatRobustness(const RobustnessResult& result) {
    std::vector<std::string> lines;
    char buf[160];
    for (std::size_t i = 0; i < result.ballHome.size(); ++i) {
        const double share = result.runs > 0 ? 100.0 * result.ballHome[i] / result.runs : 0.0;
        std::snprintf(buf, sizeof buf, "robust_ball=%zu home=%d runs=%d share=%.0f%%", i, result.ballHome[i],
                      result.runs, share);
        lines.push_back(buf);
    }
    for (const WeakSpot& w : result.weakSpots) {
        std::string place = "-";
        if (w.place.known())
            place = std::to_string(w.place.row) + "," + std::to_string(w.place.column) + "," +
                    std::to_string(w.place.level) + "," + w.place.type;
        lines.push_back("weak_spot=" + place + " failures=" + std::to_string(w.failures));
    }
    lines.push_back("robustness: " + std::to_string(result.allHome) + " of " + std::to_string(result.runs) +
                    " runs brought every ball home");
    return lines;
}

}  // namespace app
