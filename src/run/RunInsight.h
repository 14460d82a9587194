// What became of every ball of a run, worked out step by step from what each
// ball touches: home in a goal, stopped on another klotz, on the floor, or
// still moving; and for a ball that is not home, where it went wrong.
#pragma once

#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include <glm/glm.hpp>

#include "klotz/Catalogue.h"
#include "physics/Physics.h"
#include "scene/SceneModel.h"

namespace run {

constexpr float REST_SPEED = 1.0f;   // units per second below which a ball counts as resting
// A ball touching a plane with its centre less than this over its radius
// lies on the ground (world units).
constexpr float GROUND_MARGIN = 2.0f;
// A klotz whose type name (its file name) begins with this holds balls home,
// so users can add goal pieces of their own.
constexpr const char* GOAL_PREFIX = "goal";

enum class BallOutcome { MOVING, HOME, STOPPED, FLOOR };

// "moving", "home", "stopped", "floor".
const char* outcomeName(BallOutcome outcome);

// A placed klotz named by where it stands, so it stays meaningful after the
// scene is edited (klotz indices are renumbered then).
struct KlotzPlace {
    int row = -1;
    int column = -1;
    int level = -1;  // 0: on the ground
    std::string type;
    bool known() const { return row >= 0; }
};

// One ball after a step: what it touches and how it moves.
struct BallSample {
    physics::ActorHandle klotz = physics::NO_ACTOR;  // placed klotz it touches, if any
    bool onPlane = false;                            // touches the ground or a wall
    glm::vec3 position{0.0f};
    float speed = 0.0f;  // units per second
};

struct BallInsight {
    BallOutcome outcome = BallOutcome::MOVING;
    float topSpeed = 0.0f;
    // Seconds from the start after which the ball stayed at rest; negative
    // while it moves.
    double restTime = -1.0;
    // The klotz it touched last, with the time, speed and position of the
    // last step it touched it.
    KlotzPlace lastOn;
    double lastOnTime = -1.0;
    float lastOnSpeed = 0.0f;
    glm::vec3 lastOnPosition{0.0f};
    // It reached the ground after its last klotz: it left the track at
    // lastOn (when known) for good, so far.
    bool leftTrack = false;

    // Internal: the last step with speed at or above REST_SPEED.
    double movingUntil = 0.0;
};

class RunInsight {
public:
    // A new run of the scene's start-cell balls: records where each placed
    // klotz stands and what it is.
    void start(const scene::SceneModel& model, const klotz::KlotzCatalogue& catalogue);
    // One sample per ball (in ball order) after the world has reached time
    // seconds since the start.
    void observe(double time, const std::vector<BallSample>& samples);

    // What observing has worked out so far, to go back to after a rewind.
    struct Progress {
        std::vector<BallInsight> balls;
        double time = 0.0;
    };
    Progress progress() const { return {balls_, time_}; }
    void restore(const Progress& progress) {
        balls_ = progress.balls;
        time_ = progress.time;
    }

    bool started() const { return started_; }
    double runTime() const { return time_; }
    const std::vector<BallInsight>& balls() const { return balls_; }
    int homeCount() const;

private:
    void queueBehindMovingPieces(const std::vector<BallSample>& samples);
    // In a cell holding a goal, or a little above one (a pile rises over a
    // basin's rim).
    bool inGoal(glm::vec3 position) const;

    std::unordered_map<physics::ActorHandle, KlotzPlace> places_;
    std::unordered_set<long long> goalCells_;  // cellIndex * 1000 + level
    std::unordered_set<std::string> movingTypes_;  // type names with driven parts: they carry balls
    std::vector<BallInsight> balls_;
    double time_ = 0.0;
    bool started_ = false;
};

// A run is over for the simulator once every ball has been at rest this
// long (seconds).
constexpr double SETTLED_SECONDS = 1.0;
bool allSettled(const RunInsight& insight);

// True for a type name (a file path) whose file name begins with GOAL_PREFIX.
bool isGoalType(const std::string& typeName);

// When the last ball came to rest: the run's time while any ball moves.
double lastRestTime(const RunInsight& insight);

// The console report of a finished run: "run: H of N balls home after T s"
// (T: when the last ball came to rest), then one line per ball that is not
// home.
std::vector<std::string> runSummary(const RunInsight& insight);

// "row R column C level L (TYPE)".
std::string describePlace(const KlotzPlace& place);

}  // namespace run
