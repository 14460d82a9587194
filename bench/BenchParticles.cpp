// Particle figures: one update of a full ring of sparks (3,600 ray casts)
// over a 10 x 10 field of straight pieces, in milliseconds.
#include <algorithm>
#include <chrono>
#include <random>

#include "Bench.h"
#include "particles/ParticleSystem.h"
#include "physics/Physics.h"
#include "physics/TrackGeometry.h"

namespace {

using namespace trackgeometry;

// Sparks spread over the field up to a level above the pieces, moving at
// up to the spray's 18 units/s in every direction.
void fillRing(particles::ParticleSystem& system, std::mt19937& random) {
    std::uniform_real_distribution<float> across(0.0f, 500.0f), height(1.0f, 75.0f), unit(-1.0f, 1.0f),
        speed(0.0f, 18.0f), life(0.5f, 3.0f);
    for (int slot = 0; slot < system.capacity(); ++slot) {
        glm::vec3 direction(unit(random), unit(random), unit(random));
        if (glm::length(direction) < 1e-3f) direction = glm::vec3(0, 1, 0);
        system.setParticle(slot, {across(random), height(random), -across(random)},
                           glm::normalize(direction) * speed(random), life(random), 90.0f, 90.0f);
    }
}

}  // namespace

BENCH_FIGURE(particle_update_3600_ms) {
    physics::PhysicsWorld world;
    physics::MeshHandle mesh = registerMesh(world, flatPiece());
    for (int row = 0; row < 10; ++row)
        for (int column = 0; column < 10; ++column) place(world, mesh, levelCentre(row, column, 0));
    world.simulate(0.01f);  // builds the static mesh outside the timing
    particles::ParticleSystem system(&world, particles::PARTICLE_MASS, particles::PARTICLE_CAPACITY,
                                     particles::PARTICLE_HALF_SIZE, particles::EMISSION_RATE,
                                     glm::vec3(0, particles::PARTICLE_FORCE_Y, 0), particles::DEFAULT_START_COLOUR,
                                     particles::DEFAULT_END_COLOUR);
    std::mt19937 random(12345u);
    double best = 1e9;
    for (int round = 0; round < 5; ++round) {
        fillRing(system, random);
        const auto start = std::chrono::steady_clock::now();
        system.update(0.025f, {250.0f, 40.0f, -250.0f}, {0, 0, 0}, 0.0f, 18.0f, 0.0f, 180.0f);
        best = std::min(best, std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
    }
    return system.liveCount() > 0 ? best : -1.0;
}
