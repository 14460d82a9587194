#include "run/RunInsight.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "physics/Actors.h"

namespace run {

using scene::CELL_COUNT;
using scene::CELL_SIZE;
using scene::GRID_SIZE;
using scene::cellIndex;
using scene::onGrid;

const char* outcomeName(BallOutcome outcome) {
    switch (outcome) {
        case BallOutcome::HOME: return "home";
        case BallOutcome::STOPPED: return "stopped";
        case BallOutcome::FLOOR: return "floor";
        case BallOutcome::MOVING: break;
    }
    return "moving";
}

bool isGoalType(const std::string& typeName) {
    const std::size_t slash = typeName.find_last_of("/\\");
    const std::size_t base = slash == std::string::npos ? 0 : slash + 1;
    return typeName.compare(base, std::char_traits<char>::length(GOAL_PREFIX), GOAL_PREFIX) == 0;
}

void RunInsight::start(const scene::SceneModel& model, const klotz::KlotzCatalogue& catalogue) {
    places_.clear();
    goalCells_.clear();
    movingTypes_.clear();
    for (const klotz::KlotzType& type : catalogue.klotzTypes)
        for (const klotz::KlotzPart& part : type.parts)
            if (part.decl.joint == klotz::PartJoint::DRIVEN) movingTypes_.insert(type.name);
    for (int cell = 0; cell < CELL_COUNT; ++cell) {
        const std::vector<int>& stack = model.cellStack()[cell];
        for (int level = 0; level < static_cast<int>(stack.size()); ++level) {
            const int i = stack[level];
            if (i < 0 || i >= static_cast<int>(model.placedActors().size())) continue;
            KlotzPlace place{cell / GRID_SIZE, cell % GRID_SIZE, level, "?"};
            const int type = i < static_cast<int>(model.placedTypes().size()) ? model.placedTypes()[i] : -1;
            if (catalogue.validType(type)) place.type = catalogue.klotzTypes[type].name;
            places_[model.placedActors()[i]] = place;
            if (isGoalType(place.type)) goalCells_.insert(cell * 1000LL + level);
        }
    }
    balls_.assign(model.ballCount(), BallInsight{});
    time_ = 0.0;
    started_ = true;
}

void RunInsight::observe(double time, const std::vector<BallSample>& samples) {
    time_ = time;
    const std::size_t n = std::min(samples.size(), balls_.size());
    for (std::size_t i = 0; i < n; ++i) {
        const BallSample& s = samples[i];
        BallInsight& b = balls_[i];
        if (s.speed > b.topSpeed) b.topSpeed = s.speed;
        if (s.speed >= REST_SPEED) b.movingUntil = time;
        const bool resting = s.speed < REST_SPEED;
        b.restTime = resting ? b.movingUntil : -1.0;

        // On the ground a ball has left the track, whatever klotz it leans
        // on there; a wall it glances off in the air is no such sign.
        const bool onGround = s.onPlane && s.position.y < physics::BALL_RADIUS + GROUND_MARGIN;
        const auto place = onGround ? places_.end() : places_.find(s.klotz);
        const bool onKlotz = place != places_.end();
        if (onKlotz) {
            b.lastOn = place->second;
            b.lastOnTime = time;
            b.lastOnSpeed = s.speed;
            b.lastOnPosition = s.position;
            b.leftTrack = false;
        }
        if (onGround) b.leftTrack = true;

        // A ball resting on a piece with a driven part (waiting at a lift)
        // is not stopped: the piece will carry it on.
        // A ball resting on other balls touches no klotz itself: in a goal
        // it is home, whatever it last touched on the way in (a drop above
        // a basin, say), even after glancing off a wall; elsewhere it counts
        // where its last contact was.
        if (!onGround && resting && !onKlotz && inGoal(s.position)) {
            b.leftTrack = false;
            b.outcome = BallOutcome::HOME;
        } else if (b.leftTrack)
            b.outcome = BallOutcome::FLOOR;
        else if (resting && b.lastOn.known() && !movingTypes_.count(b.lastOn.type))
            b.outcome = isGoalType(b.lastOn.type) ? BallOutcome::HOME : BallOutcome::STOPPED;
        else
            b.outcome = BallOutcome::MOVING;
    }
    if (!movingTypes_.empty()) queueBehindMovingPieces(samples);
}

void RunInsight::queueBehindMovingPieces(const std::vector<BallSample>& samples) {
    // Balls queueing behind one that waits on a moving piece (at a lift's
    // foot) wait too: stopped balls against a waiting one join it.
    const std::size_t n = std::min(samples.size(), balls_.size());
    const float touching = 2 * physics::BALL_RADIUS + 1;
    std::vector<bool> waiting(n, false);
    for (std::size_t i = 0; i < n; ++i)
        waiting[i] = balls_[i].outcome == BallOutcome::MOVING && balls_[i].lastOn.known() &&
                     movingTypes_.count(balls_[i].lastOn.type) > 0;
    for (bool grew = true; grew;) {
        grew = false;
        for (std::size_t i = 0; i < n; ++i) {
            if (balls_[i].outcome != BallOutcome::STOPPED) continue;
            for (std::size_t j = 0; j < n; ++j)
                if (waiting[j] && glm::length(samples[i].position - samples[j].position) < touching) {
                    balls_[i].outcome = BallOutcome::MOVING;
                    waiting[i] = grew = true;
                    break;
                }
        }
    }
}

bool RunInsight::inGoal(glm::vec3 position) const {
    const int row = static_cast<int>(std::floor(position.x / CELL_SIZE));
    const int column = static_cast<int>(std::floor(-position.z / CELL_SIZE));
    const int level = static_cast<int>(std::floor(position.y / CELL_SIZE));
    if (!onGrid(row, column) || level < 0) return false;
    const long long cell = cellIndex(row, column) * 1000LL;
    if (goalCells_.count(cell + level)) return true;
    // A pile may rise a ball's radius over the goal's cell; higher up, a
    // ball lies on whatever stands above the goal (a jammed drop, say).
    return level > 0 && goalCells_.count(cell + level - 1) && position.y < level * CELL_SIZE + physics::BALL_RADIUS;
}

double lastRestTime(const RunInsight& insight) {
    double last = 0.0;
    for (const BallInsight& b : insight.balls()) {
        if (b.restTime < 0.0) return insight.runTime();
        last = std::max(last, b.restTime);
    }
    return last;
}

int RunInsight::homeCount() const {
    int home = 0;
    for (const BallInsight& b : balls_) home += b.outcome == BallOutcome::HOME;
    return home;
}

std::string describePlace(const KlotzPlace& place) {
    return "row " + std::to_string(place.row) + " column " + std::to_string(place.column) + " level " +
           std::to_string(place.level) + " (" + place.type + ")";
}

namespace {

std::string ballLine(int index, const BallInsight& b) {
    char when[64];
    std::string line = "ball " + std::to_string(index) + ": " + outcomeName(b.outcome);
    if (!b.lastOn.known()) return line + ", never touched a klotz";
    switch (b.outcome) {
        case BallOutcome::STOPPED:
            std::snprintf(when, sizeof when, " at %.2f s", b.restTime);
            return line + " on " + describePlace(b.lastOn) + when;
        case BallOutcome::FLOOR: line += ", left the track at "; break;
        default: line += ", last on "; break;
    }
    std::snprintf(when, sizeof when, " at %.2f s, %.0f units/s", b.lastOnTime, b.lastOnSpeed);
    return line + describePlace(b.lastOn) + when;
}

}  // namespace

std::vector<std::string> runSummary(const RunInsight& insight) {
    const std::vector<BallInsight>& balls = insight.balls();
    char head[96];
    std::snprintf(head, sizeof head, "run: %d of %zu balls home after %.2f s", insight.homeCount(), balls.size(),
                  lastRestTime(insight));
    std::vector<std::string> lines{head};
    for (std::size_t i = 0; i < balls.size(); ++i)
        if (balls[i].outcome != BallOutcome::HOME) lines.push_back(ballLine(static_cast<int>(i), balls[i]));
    return lines;
}

bool allSettled(const RunInsight& insight) {
    // A ball waiting for a lift rests, but its run goes on.
    for (const BallInsight& b : insight.balls())
        if (b.restTime < 0.0 || insight.runTime() - b.restTime < SETTLED_SECONDS ||
            (b.outcome == BallOutcome::MOVING && b.lastOn.known()))
            return false;
    return true;
}

}  // namespace run
