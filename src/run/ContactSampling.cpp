#include "run/ContactSampling.h"

#include <unordered_map>

namespace run {

std::vector<BallSample> sampleBalls(const scene::SceneModel& model, const physics::PhysicsWorld& world) {
    std::vector<BallSample> samples(model.ballActors().size());
    std::unordered_map<physics::ActorHandle, std::size_t> index;
    for (std::size_t i = 0; i < samples.size(); ++i) {
        const physics::ActorHandle ball = model.ballActors()[i];
        if (!world.isActor(ball)) continue;
        index[ball] = i;
        samples[i].position = world.getGlobalPosition(ball);
        samples[i].speed = glm::length(world.getLinearVelocity(ball));
    }
    // The klotz a ball rolls on, not the groove wall beside it: the touch
    // whose normal points most nearly up.
    std::vector<float> klotzUp(samples.size(), -2.0f);
    for (const physics::BallTouch& touch : world.stepContacts().touches) {
        const auto found = index.find(touch.ball);
        if (found == index.end()) continue;  // a shot ball
        BallSample& s = samples[found->second];
        if (touch.otherKind == physics::ContactKind::PLANE) {
            s.onPlane = true;
        } else if (touch.otherKind == physics::ContactKind::KLOTZ && touch.normal.y > klotzUp[found->second]) {
            klotzUp[found->second] = touch.normal.y;
            s.klotz = touch.other;
        }
    }
    return samples;
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
