// Does the run work every time? The scene run many times, each with the
// small differences a real run has (a ball released a little off centre, a
// moment later, turning), counting how often every ball comes home and
// where the others left the track. Every run has its own world and model,
// built from the scene file's data, so runs go in parallel; a run's
// disturbances follow from the seed and its index alone, so the result is
// the same however many threads share the work.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

#include <glm/glm.hpp>

#include "app/Simulator.h"
#include "klotz/Catalogue.h"
#include "run/RunInsight.h"
#include "scene/SceneFile.h"

namespace app {

// The most each ball's start is disturbed by.
struct Disturbance {
    float offset = 1.0f;  // world units off its start, in the horizontal plane
    double delay = 0.05;  // seconds its release comes later
    float spin = 3.0f;    // rad/s of initial spin
};

// One ball's draw for one run.
struct BallDisturbance {
    glm::vec2 shift{0.0f};  // x and z, world units
    long holdSteps = 0;     // physics steps it is held still before its release
    glm::vec3 spin{0.0f};   // angular velocity at its release, rad/s
};

// The draws of run `runIndex` for `balls` balls: a function of its
// arguments only.
std::vector<BallDisturbance> drawDisturbances(std::uint64_t seed, int runIndex, int balls, const Disturbance& most);

// Longest a run lasts, as the simulator's; it ends sooner once every ball
// has settled (run::allSettled).
constexpr double RUN_LIMIT_SECONDS = MAX_RUN_SECONDS;

// One run of a scene, built afresh from data.
struct SingleRun {
    std::vector<run::BallInsight> balls;
    double seconds = 0.0;  // simulated time until it ended
};

// Runs the scene with the given disturbance per ball (none when empty) for
// at most maxSeconds, stopping early once all balls have settled.
SingleRun runOnce(const scene::SceneFileData& data, const klotz::KlotzCatalogue& catalogue,
                  const std::vector<BallDisturbance>& disturbances, double maxSeconds);

struct RobustnessOptions {
    int runs = 50;
    Disturbance most;
    std::uint64_t seed = 1;
    int jobs = 0;  // threads; 0: one per core
    double maxSeconds = RUN_LIMIT_SECONDS;
    std::atomic<int>* done = nullptr;          // counts finished runs, for a progress figure
    const std::atomic<bool>* cancel = nullptr;  // set: the runs not yet begun are skipped
};

// A place where balls left the track, with how many times one did.
struct WeakSpot {
    run::KlotzPlace place;  // unknown: the ball never touched a klotz
    int failures = 0;
};

struct RobustnessResult {
    int runs = 0;        // runs done
    int allHome = 0;     // runs in which every ball came home
    std::vector<int> ballHome;  // per ball, runs in which it came home
    std::vector<WeakSpot> weakSpots;  // most failures first
    bool cancelled = false;
};

RobustnessResult checkRobustness(const scene::SceneFileData& data, const klotz::KlotzCatalogue& catalogue,
                                 const RobustnessOptions& options);

// The printed result: "robust_ball=I home=K runs=N share=P%" per ball,
// "weak_spot=ROW,COLUMN,LEVEL,TYPE|- failures=K" per weak spot and
// "robustness: K of N runs brought every ball home".
std::vector<std::string> formatRobustness(const RobustnessResult& result);

// Threads to use for jobs (0: the machine's cores), at least 1.
int threadCount(int jobs);

}  // namespace app
