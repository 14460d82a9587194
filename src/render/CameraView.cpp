#include "render/CameraView.h"

namespace render {

std::optional<glm::vec3> rideTarget(const app::AppState& state, const scene::SceneModel& model,
                                    const physics::PhysicsWorld& world) {
    if (!state.simulationRunning || !state.followBall) return std::nullopt;
    if (state.followedBall < 0 || state.followedBall >= model.ballCount()) return std::nullopt;
    physics::ActorHandle ball = model.ballActors[static_cast<std::size_t>(state.followedBall)];
    if (!world.isActor(ball)) return std::nullopt;
    return world.getGlobalPosition(ball);
}

}  // namespace render
