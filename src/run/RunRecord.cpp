#include "run/RunRecord.h"

#include <algorithm>
#include <unordered_set>

#include "physics/Actors.h"
#include "scene/SceneModel.h"

namespace run {

namespace {

std::size_t frameBytes(const std::vector<BallMoment>& frame, const std::vector<physics::PartState>& parts) {
    return sizeof(frame) + frame.capacity() * sizeof(BallMoment) + sizeof(parts) +
           parts.capacity() * sizeof(physics::PartState);
}

}  // namespace

int RunRecord::idOf(physics::ActorHandle ball) {
    auto [it, added] = idOfHandle_.emplace(ball, static_cast<int>(handleOfId_.size()));
    if (added) handleOfId_.push_back(ball);
    return it->second;
}

std::vector<BallMoment> RunRecord::capture(const scene::SceneModel& model, const physics::PhysicsWorld& world) {
    std::vector<BallMoment> frame;
    frame.reserve(model.ballActors().size() + model.shotBalls().size());
    auto add = [&](physics::ActorHandle ball) {
        if (!world.isActor(ball)) return;
        frame.push_back({idOf(ball), world.getBallState(ball)});
    };
    for (physics::ActorHandle ball : model.ballActors()) add(ball);
    for (physics::ActorHandle ball : model.shotBalls()) add(ball);
    return frame;
}

void RunRecord::start(const scene::SceneModel& model, const physics::PhysicsWorld& world) {
    frames_.clear();
    partFrames_.clear();
    bytes_ = 0;
    firstStep_ = 0;
    capReached_ = false;
    idOfHandle_.clear();
    handleOfId_.clear();
    record(model, world, {});
}

bool RunRecord::record(const scene::SceneModel& model, const physics::PhysicsWorld& world,
                       const std::vector<BallTouches>& touches) {
    frames_.push_back(capture(model, world));
    // Moving parts as they are, so a rewind puts back a switch's flap.
    partFrames_.push_back(world.stats().movingParts > 0 ? world.getPartStates() : std::vector<physics::PartState>());
    for (BallMoment& m : frames_.back()) {
        if (m.id < 0 || m.id >= static_cast<int>(touches.size())) continue;
        m.klotz = touches[m.id].klotz;
        m.onPlane = touches[m.id].onPlane;
    }
    bytes_ += frameBytes(frames_.back(), partFrames_.back());
    bool dropped = false;
    while (bytes_ > capBytes_ && frames_.size() > 1) {
        bytes_ -= frameBytes(frames_.front(), partFrames_.front());
        frames_.pop_front();
        partFrames_.pop_front();
        ++firstStep_;
        dropped = true;
    }
    if (!dropped || capReached_) return false;
    capReached_ = true;
    return true;
}

long RunRecord::restore(long step, scene::SceneModel& model, physics::PhysicsWorld& world) {
    if (frames_.empty()) return 0;
    step = std::clamp(step, firstStep(), lastStep());
    const std::vector<BallMoment>& moments = frame(step);
    std::unordered_set<int> present;
    for (const BallMoment& m : moments) present.insert(m.id);

    // Shot balls that were not there then leave the world for now.
    for (physics::ActorHandle ball : model.takeShotBalls()) {
        auto known = idOfHandle_.find(ball);
        if (known != idOfHandle_.end() && !present.count(known->second))
            world.releaseActor(ball);
        else
            model.addShotBall(ball);
    }
    for (const BallMoment& m : moments) {
        physics::ActorHandle ball = handleOfId_[m.id];
        if (!world.isActor(ball)) {  // a shot ball that comes back
            idOfHandle_.erase(ball);
            ball = physics::createBallActor(world);
            handleOfId_[m.id] = ball;
            idOfHandle_[ball] = m.id;
            model.addShotBall(ball);
        }
        world.setBallState(ball, m.state);  // also clears its stale contacts
    }
    const std::vector<physics::PartState>& parts = partFrames_[step - firstStep_];
    if (!parts.empty()) world.setPartStates(parts);
    return step;
}

void RunRecord::dropAfter(long step) {
    while (!frames_.empty() && lastStep() > step) {
        bytes_ -= frameBytes(frames_.back(), partFrames_.back());
        frames_.pop_back();
        partFrames_.pop_back();
    }
}

}  // namespace run
