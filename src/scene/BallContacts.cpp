#include "scene/BallContacts.h"

#include <cmath>

#include "physics/Actors.h"

namespace scene {

namespace {

constexpr float BOUNDARY_SLACK = 0.5f;  // world units
constexpr float GRID_EXTENT = GRID_SIZE * CELL_SIZE;

// The ground y = 0 and the four walls around the grid.
bool touchesPlane(glm::vec3 p) {
    const float reach = physics::BALL_RADIUS + CONTACT_GAP;
    return p.y < reach || p.x < reach || p.x > GRID_EXTENT - reach || -p.z < reach || -p.z > GRID_EXTENT - reach;
}

}  // namespace

int klotzAtSurface(const SceneModel& model, glm::vec3 point) {
    // The lower cell and level first: a ball lying on a klotz's top face
    // touches that klotz, not the one standing on it.
    for (float dy : {-BOUNDARY_SLACK, BOUNDARY_SLACK})
        for (float dx : {-BOUNDARY_SLACK, BOUNDARY_SLACK})
            for (float dz : {-BOUNDARY_SLACK, BOUNDARY_SLACK}) {
                const int row = static_cast<int>(std::floor((point.x + dx) / CELL_SIZE));
                const int column = static_cast<int>(std::floor(-(point.z + dz) / CELL_SIZE));
                const int level = static_cast<int>(std::floor((point.y + dy) / CELL_SIZE));
                if (!onGrid(row, column) || level < 0) continue;
                const std::vector<int>& stack = model.cellStack[cellIndex(row, column)];
                if (level < static_cast<int>(stack.size())) return stack[level];
            }
    return -1;
}

// Until the physics reports contacts, the klotz a ball touches is the one
// holding the surface right under it: a ray from its centre straight down.
// Balls roll on the floors of the pieces, so that is where they touch.
std::vector<BallSample> sampleBalls(const SceneModel& model, const physics::PhysicsWorld& world) {
    std::vector<BallSample> samples(model.ballActors.size());
    for (std::size_t i = 0; i < samples.size(); ++i) {
        const physics::ActorHandle ball = model.ballActors[i];
        if (!world.isActor(ball)) continue;
        BallSample& s = samples[i];
        s.position = world.getGlobalPosition(ball);
        s.speed = glm::length(world.getLinearVelocity(ball));
        s.onPlane = touchesPlane(s.position);
        physics::RayHit hit;
        if (world.raycastClosest(s.position, {0.0f, -1.0f, 0.0f}, physics::BALL_RADIUS + CONTACT_GAP, &hit)) {
            const int k = klotzAtSurface(model, hit.point);
            if (k >= 0 && k < static_cast<int>(model.placedActors.size())) s.klotz = model.placedActors[k];
        }
    }
    return samples;
}

void observeWorld(RunInsight& insight, const SceneModel& model, const physics::PhysicsWorld& world) {
    const double time = static_cast<double>(world.stats().stepsTaken - insight.firstStep()) * WORLD_STEP;
    insight.observe(time, sampleBalls(model, world));
}

}  // namespace scene
