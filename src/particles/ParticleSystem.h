// The spark effect attached to one ball: sparks leave the emission point in
// random directions around the ball's direction of motion, are pushed up by
// a constant force, bounce off any physics shape they are about to cross,
// fade from the start to the end colour and die after `lifetime` seconds.
// The slots form a ring: emission always writes slot nextSlot and advances
// it, whether or not the particle there is still alive.
#pragma once

#include <array>
#include <functional>
#include <vector>

#include <glm/glm.hpp>

#include "particles/Random.h"

namespace physics {
class PhysicsWorld;
}

namespace particles {

constexpr int PARTICLE_CAPACITY = 3600;
constexpr float EMISSION_RATE = 1200.0f;  // particles per second
constexpr float PARTICLE_MASS = 10.0f;
constexpr float PARTICLE_HALF_SIZE = 2.0f;  // world units; also the ray-cast margin
constexpr float PARTICLE_FORCE_Y = 100.0f;  // upward; with the mass 10 units/s^2
constexpr float BOUNCE_SPEED = 10.0f;       // units/s along the hit normal
constexpr float MIN_RAY_LENGTH = 1e-8f;     // shorter moves cast no ray

// The spray from a ball during a run: up to 18 units/s in every direction.
constexpr float SPRAY_MIN_SPEED = 0.0f;  // units/s
constexpr float SPRAY_MAX_SPEED = 18.0f;
constexpr float SPRAY_MIN_ANGLE = 0.0f;  // degrees
constexpr float SPRAY_MAX_ANGLE = 180.0f;

using Colour = std::array<float, 4>;  // RGBA

// The sparks' colours: orange-red at birth, transparent dark cyan at death.
constexpr Colour DEFAULT_START_COLOUR{166 / 255.0f, 22 / 255.0f, 0.0f, 1.0f};
constexpr Colour DEFAULT_END_COLOUR{0.0f, 50 / 255.0f, 50 / 255.0f, 0.0f};

// The axes one update emits around: new directions spin about `spin` (the
// unit direction of motion, or straight up for a ball at rest) and tilt
// about `tilt`, perpendicular to it.
struct EmissionFrame {
    glm::vec3 spin{0.0f, 1.0f, 0.0f};
    glm::vec3 tilt{1.0f, 0.0f, 0.0f};
};
EmissionFrame emissionFrame(glm::vec3 emitVelocity);

class ParticleSystem {
public:
    // The program's values, without a physics scene (no bounces) and with
    // the process-wide generator.
    ParticleSystem();
    // scene may be null (nothing to bounce off) and must outlive the system.
    // An empty random source means the process-wide generator, which is
    // then seeded with the calendar time if it has not been yet. A capacity
    // below 1, or a mass or rate that is not a positive finite number, is
    // replaced by the program's value.
    ParticleSystem(const physics::PhysicsWorld* scene, float mass, int capacity, float halfSize, float emissionRate,
                   glm::vec3 force, const Colour& startColour, const Colour& endColour, RandomSource random = {});

    // Kills every particle at once and restarts the ring at slot 0.
    void reset();

    // Ages and moves the live particles by dt seconds, then emits
    // dt * emissionRate particles (plus the carried remainder) from
    // emitPosition with speeds minSpeed..maxSpeed, tilted minAngle..maxAngle
    // degrees away from the running direction. A dt that is negative or not
    // finite counts as 0; non-finite emission arguments emit nothing. At
    // most `capacity` particles are written per call, as more would only
    // overwrite each other; the ring still advances by the full count.
    void update(float dt, glm::vec3 emitPosition, glm::vec3 emitVelocity, float minSpeed, float maxSpeed,
                float minAngle, float maxAngle);

    // The spark effect on a ball during a run: update with sparks sprayed
    // from the ball over the whole sphere of directions around its travel.
    void sprayFromBall(float dt, glm::vec3 ballPosition, glm::vec3 ballVelocity) {
        update(dt, ballPosition, ballVelocity, SPRAY_MIN_SPEED, SPRAY_MAX_SPEED, SPRAY_MIN_ANGLE, SPRAY_MAX_ANGLE);
    }

    int liveCount() const;
    int resetCount() const { return resets_; }

    int capacity() const { return capacity_; }
    int nextSlot() const { return nextSlot_; }
    float emissionRate() const { return emissionRate_; }
    float emissionRemainder() const { return emissionRemainder_; }  // seconds
    float lifetime() const { return lifetime_; }                    // seconds
    float halfSize() const { return halfSize_; }
    glm::vec3 acceleration() const { return acceleration_; }  // force / mass

    // Slot accessors; slot must be in 0..capacity-1.
    bool alive(int slot) const { return life_[slot] > 0.0f; }
    float life(int slot) const { return life_[slot]; }
    glm::vec3 position(int slot) const { return positions_[slot]; }
    glm::vec3 velocity(int slot) const { return velocities_[slot]; }
    float angleX(int slot) const { return angleX_[slot]; }  // degrees, 0..180
    float angleY(int slot) const { return angleY_[slot]; }
    // Colour of a particle with the given remaining life fraction f
    // (1 at birth, 0 at death): f * start + (1 - f) * end per channel.
    Colour colourAt(float f) const;
    Colour particleColour(int slot) const { return colourAt(life_[slot] / lifetime_); }

    // Calls visit(slot) for every live particle, newest first: slots
    // nextSlot-1 down to 0, then capacity-1 down to nextSlot.
    void forEachLiveNewestFirst(const std::function<void(int)>& visit) const;

    // Every live spark as a square of 2 * halfSize turned by angleX about x,
    // then angleY about y, newest first: 4 corners of xyz in vertices and 4
    // RGBA colours in colours per spark, ready for one array draw.
    void quads(std::vector<float>& vertices, std::vector<float>& colours) const;

    // Puts a particle into a slot directly (tests and benchmarks).
    void setParticle(int slot, glm::vec3 position, glm::vec3 velocity, float life, float angleX, float angleY);

    // The next value of the system's generator, 0..RANDOM_MAX; the ring
    // emission point draws from it too.
    int random();

private:
    void ageAndMove(float dt);
    void emit(int count, glm::vec3 position, glm::vec3 velocity, float minSpeed, float maxSpeed,
              float minAngle, float maxAngle);

    const physics::PhysicsWorld* scene_ = nullptr;
    float emissionRate_ = EMISSION_RATE;
    int capacity_ = PARTICLE_CAPACITY;
    glm::vec3 force_{0.0f, PARTICLE_FORCE_Y, 0.0f};
    float mass_ = PARTICLE_MASS;
    glm::vec3 acceleration_{0.0f, PARTICLE_FORCE_Y / PARTICLE_MASS, 0.0f};
    float lifetime_ = PARTICLE_CAPACITY / EMISSION_RATE;
    float emissionRemainder_ = 0.0f;
    float halfSize_ = PARTICLE_HALF_SIZE;
    Colour startColour_ = DEFAULT_START_COLOUR;
    Colour endColour_ = DEFAULT_END_COLOUR;
    int nextSlot_ = 0;
    std::vector<glm::vec3> positions_;
    std::vector<glm::vec3> velocities_;
    std::vector<float> life_;  // seconds left; alive while > 0
    std::vector<float> angleX_;
    std::vector<float> angleY_;
    RandomSource random_;
    int resets_ = 0;
};

}  // namespace particles
