// The record of a run, one frame per physics step: every ball's position,
// orientation and velocities, shot balls included, so the user can step
// back through a run and go on from any recorded moment. Bounded in
// memory: past the cap the oldest steps go.
#pragma once

#include <cstddef>
#include <deque>
#include <unordered_map>
#include <utility>
#include <vector>

#include "physics/Physics.h"

namespace scene {
class SceneModel;
}

namespace run {

constexpr std::size_t RUN_RECORD_CAP_BYTES = 256u << 20;  // 256 MiB

struct BallMoment {
    int id = 0;  // stable across the run: start balls 0..n-1, shot balls after
    physics::BallState state;
    // What a start ball touched after the step, for its outcome: the klotz
    // under it, and whether it touched the ground or a wall.
    physics::ActorHandle klotz = physics::NO_ACTOR;
    bool onPlane = false;
};

// What a start ball touched after a step: the klotz under it, and whether
// it touched the ground or a wall.
struct BallTouches {
    physics::ActorHandle klotz = physics::NO_ACTOR;
    bool onPlane = false;
};

class RunRecord {
public:
    explicit RunRecord(std::size_t capBytes = RUN_RECORD_CAP_BYTES) : capBytes_(capBytes) {}

    // Forgets everything: a new run starts at step 0 with the balls' state.
    void start(const scene::SceneModel& model, const physics::PhysicsWorld& world);
    // Appends the state after one more step; touches[i] is what start ball
    // i touches. Returns true only the first time the cap
    // makes the oldest steps go, so the user is told once.
    bool record(const scene::SceneModel& model, const physics::PhysicsWorld& world,
                const std::vector<BallTouches>& touches);

    // Steps of the run, counted from its start; the record holds
    // firstStep()..lastStep().
    long firstStep() const { return firstStep_; }
    long lastStep() const { return firstStep_ + static_cast<long>(frames_.size()) - 1; }
    bool empty() const { return frames_.empty(); }
    std::size_t bytes() const { return bytes_; }

    // Puts every ball in the state of recorded step (clamped to the record):
    // start balls and live shot balls are set, shot balls that did not exist
    // then leave the world, and those that did but are gone come back.
    // Returns the step restored.
    long restore(long step, scene::SceneModel& model, physics::PhysicsWorld& world);
    // Drops the recorded steps after step: the run goes on from there.
    void dropAfter(long step);

    const std::vector<BallMoment>& frame(long step) const { return frames_[step - firstStep_]; }

private:
    int idOf(physics::ActorHandle ball);
    std::vector<BallMoment> capture(const scene::SceneModel& model, const physics::PhysicsWorld& world);

    std::size_t capBytes_;
    std::deque<std::vector<BallMoment>> frames_;
    std::deque<std::vector<physics::PartState>> partFrames_;  // parallel; empty without moving parts
    long firstStep_ = 0;
    std::size_t bytes_ = 0;
    bool capReached_ = false;
    std::unordered_map<physics::ActorHandle, int> idOfHandle_;
    std::vector<physics::ActorHandle> handleOfId_;
};

}  // namespace run
