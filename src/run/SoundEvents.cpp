#include "run/SoundEvents.h"

#include <unordered_map>

namespace run {

namespace {

audio::Surface surfaceOf(physics::ContactKind kind) {
    switch (kind) {
        case physics::ContactKind::BALL: return audio::Surface::Ball;
        case physics::ContactKind::PLANE: return audio::Surface::Wall;
        case physics::ContactKind::KLOTZ: break;
    }
    return audio::Surface::Klotz;
}

}  // namespace

void feedSound(const physics::StepContacts& contacts, double time, const SoundSink& sink) {
    for (const physics::BallImpact& hit : contacts.impacts) {
        if (hit.otherKind == physics::ContactKind::BALL && hit.other < hit.ball) continue;  // the pair's other report
        sink.impact({hit.ball, surfaceOf(hit.otherKind), hit.normalSpeed, hit.position},
                    time + hit.step * physics::FIXED_STEP);
    }
    std::unordered_map<physics::ActorHandle, float> rolling;
    for (const physics::BallTouch& touch : contacts.touches) {
        if (touch.otherKind == physics::ContactKind::BALL) continue;
        float& speed = rolling[touch.ball];
        if (touch.rollingSpeed > speed) speed = touch.rollingSpeed;
    }
    for (const auto& [ball, speed] : rolling) sink.rolling({ball, speed, true}, time);
}

}  // namespace run
