#include "run/ContactSampling.h"

#include <unordered_map>

namespace run {

namespace {

// A klotz touched only from the side (a ball falling past a pillar into an
// empty cell) does not carry the ball: the touch's normal must point at
// least this much up.
constexpr float KLOTZ_UNDER_BALL = 0.3f;

}  // namespace

void sampleTouches(const scene::SceneModel& model, const physics::PhysicsWorld& world,
                   std::vector<BallTouches>& touches) {
    const std::vector<physics::ActorHandle>& balls = model.ballActors();
    touches.assign(balls.size(), BallTouches{});
    std::unordered_map<physics::ActorHandle, std::size_t> index;
    for (std::size_t i = 0; i < balls.size(); ++i)
        if (world.isActor(balls[i])) index[balls[i]] = i;
    // The klotz a ball rolls on, not the groove wall beside it: the touch
    // whose normal points most nearly up.
    std::vector<float> klotzUp(balls.size(), -2.0f);
    for (const physics::BallTouch& touch : world.stepContacts().touches) {
        const auto found = index.find(touch.ball);
        if (found == index.end()) continue;  // a shot ball
        BallTouches& t = touches[found->second];
        if (touch.otherKind == physics::ContactKind::PLANE) {
            t.onPlane = true;
        } else if (touch.otherKind == physics::ContactKind::KLOTZ && touch.normal.y > KLOTZ_UNDER_BALL &&
                   touch.normal.y > klotzUp[found->second]) {
            klotzUp[found->second] = touch.normal.y;
            t.klotz = touch.other;
        }
    }
}

void samplesOfFrame(const std::vector<BallMoment>& frame, int balls, std::vector<BallSample>& samples) {
    samples.assign(static_cast<std::size_t>(balls), BallSample{});
    for (const BallMoment& m : frame) {
        if (m.id < 0 || m.id >= balls) continue;
        BallSample& s = samples[static_cast<std::size_t>(m.id)];
        s.klotz = m.klotz;
        s.onPlane = m.onPlane;
        s.position = m.state.pose.translation;
        s.speed = glm::length(m.state.linearVelocity);
    }
}

}  // namespace run
