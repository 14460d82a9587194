#include "particles/ParticleSystem.h"

#include <algorithm>
#include <cmath>

#include <glm/gtc/quaternion.hpp>

#include "physics/Physics.h"

namespace particles {

namespace {

constexpr float RANDOM_DIVISOR = static_cast<float>(RANDOM_MAX);  // r / 32767 lies in 0..1
constexpr float MIN_DIRECTION_SPEED = 1e-6f;  // units/s; slower counts as at rest
constexpr float MIN_TILT_AXIS = 1e-8f;

bool finite(glm::vec3 v) { return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z); }

bool positiveFinite(float v) { return std::isfinite(v) && v > 0.0f; }

// Angles stay in 0..180: a step below 0 restarts at 180, one above 180 at 0.
float wrapAngle(float angle) {
    if (angle < 0.0f) angle = 180.0f;
    if (angle > 180.0f) angle = 0.0f;
    return angle;
}

glm::quat rotationDegrees(float degrees, glm::vec3 axis) { return glm::angleAxis(glm::radians(degrees), axis); }

}  // namespace

EmissionFrame emissionFrame(glm::vec3 emitVelocity) {
    EmissionFrame frame;
    const float speed = glm::length(emitVelocity);
    // A ball at rest (or a broken velocity) sprays around straight up.
    if (!std::isfinite(speed) || speed < MIN_DIRECTION_SPEED) return frame;
    frame.spin = emitVelocity / speed;
    // spin x (0, 1, 0); straight up or down has no such axis.
    const glm::vec3 across(-frame.spin.z, 0.0f, frame.spin.x);
    const float acrossLength = glm::length(across);
    frame.tilt = acrossLength < MIN_TILT_AXIS ? glm::vec3(1.0f, 0.0f, 0.0f) : across / acrossLength;
    return frame;
}

ParticleSystem::ParticleSystem()
    : ParticleSystem(nullptr, PARTICLE_MASS, PARTICLE_CAPACITY, PARTICLE_HALF_SIZE, EMISSION_RATE,
                     glm::vec3(0.0f, PARTICLE_FORCE_Y, 0.0f), DEFAULT_START_COLOUR, DEFAULT_END_COLOUR) {}

ParticleSystem::ParticleSystem(const physics::PhysicsWorld* scene, float mass, int capacity, float halfSize,
                               float emissionRate, glm::vec3 force, const Colour& startColour,
                               const Colour& endColour, RandomSource random)
    : scene_(scene),
      emissionRate_(positiveFinite(emissionRate) ? emissionRate : EMISSION_RATE),
      capacity_(capacity >= 1 ? capacity : PARTICLE_CAPACITY),
      force_(finite(force) ? force : glm::vec3(0.0f, PARTICLE_FORCE_Y, 0.0f)),
      mass_(positiveFinite(mass) ? mass : PARTICLE_MASS),
      halfSize_(std::isfinite(halfSize) && halfSize >= 0.0f ? halfSize : PARTICLE_HALF_SIZE),
      startColour_(startColour),
      endColour_(endColour),
      positions_(capacity_, glm::vec3(0.0f)),
      velocities_(capacity_, glm::vec3(0.0f)),
      life_(capacity_, -1.0f),
      angleX_(capacity_, 0.0f),
      angleY_(capacity_, 0.0f),
      random_(std::move(random)) {
    acceleration_ = force_ / mass_;
    lifetime_ = static_cast<float>(capacity_) / emissionRate_;
    if (!random_) random_ = timeSeededRandom();
}

void ParticleSystem::reset() {
    emissionRemainder_ = 0.0f;
    nextSlot_ = 0;
    std::fill(life_.begin(), life_.end(), -1.0f);
    ++resets_;
}

int ParticleSystem::liveCount() const {
    return static_cast<int>(std::count_if(life_.begin(), life_.end(), [](float l) { return l > 0.0f; }));
}

Colour ParticleSystem::colourAt(float f) const {
    Colour c;
    for (int i = 0; i < 4; ++i) c[i] = f * startColour_[i] + (1.0f - f) * endColour_[i];
    return c;
}

void ParticleSystem::forEachLiveNewestFirst(const std::function<void(int)>& visit) const {
    for (int slot = nextSlot_ - 1; slot >= 0; --slot)
        if (life_[slot] > 0.0f) visit(slot);
    for (int slot = capacity_ - 1; slot >= nextSlot_; --slot)
        if (life_[slot] > 0.0f) visit(slot);
}

void ParticleSystem::setParticle(int slot, glm::vec3 position, glm::vec3 velocity, float life, float angleX,
                                 float angleY) {
    if (slot < 0 || slot >= capacity_) return;
    positions_[slot] = position;
    velocities_[slot] = velocity;
    life_[slot] = life;
    angleX_[slot] = angleX;
    angleY_[slot] = angleY;
}

int ParticleSystem::random() { return std::clamp(random_(), 0, RANDOM_MAX); }

void ParticleSystem::update(float dt, glm::vec3 emitPosition, glm::vec3 emitVelocity, float minSpeed,
                            float maxSpeed, float minAngle, float maxAngle) {
    // A clock that jumps back, or a broken time, must not revive particles
    // or poison the ring with NaN.
    if (!std::isfinite(dt) || dt < 0.0f) dt = 0.0f;
    ageAndMove(dt);

    // Counted in double so a dt of hours (the x key long before the start)
    // neither overflows nor loses the ring position.
    const double x = (static_cast<double>(dt) + emissionRemainder_) * emissionRate_;
    const double whole = std::floor(x);
    emissionRemainder_ = static_cast<float>((x - whole) / emissionRate_);
    if (whole < 1.0) return;
    if (!finite(emitPosition) || !std::isfinite(minSpeed) || !std::isfinite(maxSpeed) || !std::isfinite(minAngle) ||
        !std::isfinite(maxAngle))
        return;

    // Only the last `capacity` of the count survive in the ring; the ring
    // ends where the full count would have left it.
    const int advance = static_cast<int>(std::fmod(whole, static_cast<double>(capacity_)));
    const int written = whole >= capacity_ ? capacity_ : static_cast<int>(whole);
    const int end = (nextSlot_ + advance) % capacity_;
    nextSlot_ = (end - written % capacity_ + capacity_) % capacity_;
    emit(written, emitPosition, emitVelocity, minSpeed, maxSpeed, minAngle, maxAngle);
}

void ParticleSystem::ageAndMove(float dt) {
    const glm::vec3 dv = acceleration_ * dt;
    physics::RayHit hit;
    for (int i = 0; i < capacity_; ++i) {
        if (life_[i] <= 0.0f) continue;
        life_[i] -= dt;
        angleX_[i] = wrapAngle(angleX_[i] + (random() / RANDOM_DIVISOR - 0.5f) * 10.0f);
        angleY_[i] = wrapAngle(angleY_[i] + random() * 10.0f / RANDOM_DIVISOR - 0.5f);
        glm::vec3& v = velocities_[i];
        glm::vec3& p = positions_[i];
        v += dv;
        // Bounce: about to cross a shape within this step (plus the
        // particle's half size) means leaving it along its normal.
        const float speed = glm::length(v);
        const float d = speed * dt;
        if (scene_ && d > MIN_RAY_LENGTH && std::isfinite(d) && finite(p) &&
            scene_->raycastClosest(p, v / speed, d + halfSize_, &hit))
            v = hit.normal * BOUNCE_SPEED;
        p += v * dt;
    }
}

void ParticleSystem::emit(int count, glm::vec3 position, glm::vec3 velocity, float minSpeed,
                          float maxSpeed, float minAngle, float maxAngle) {
    const EmissionFrame frame = emissionFrame(velocity);
    glm::vec3 direction = frame.spin;
    for (int k = 0; k < count; ++k) {
        const float tilt = minAngle + random() * (maxAngle - minAngle) / RANDOM_DIVISOR;
        const float spin = random() * 360.0f / RANDOM_DIVISOR;
        glm::quat q = rotationDegrees(tilt, frame.tilt) * rotationDegrees(spin, frame.spin);
        const float length = glm::length(q);
        if (length != 0.0f) q = q / length;
        // The running direction carries on to the next particle: each spark
        // turns further from the last one, not from the ball's direction.
        direction = q * direction;
        const float speed = minSpeed + random() * (maxSpeed - minSpeed) / RANDOM_DIVISOR;
        const int slot = nextSlot_;
        positions_[slot] = position;
        velocities_[slot] = direction * speed;
        life_[slot] = lifetime_;
        angleX_[slot] = random() * 180.0f / RANDOM_DIVISOR;
        angleY_[slot] = random() * 180.0f / RANDOM_DIVISOR;
        if (++nextSlot_ == capacity_) nextSlot_ = 0;
    }
}

void ParticleSystem::quads(std::vector<float>& vertices, std::vector<float>& colours) const {
    vertices.clear();
    colours.clear();
    const float h = halfSize_;
    const glm::vec3 corners[4] = {{h, h, 0.0f}, {h, -h, 0.0f}, {-h, -h, 0.0f}, {-h, h, 0.0f}};
    forEachLiveNewestFirst([&](int slot) {
        const glm::quat turn = glm::angleAxis(glm::radians(angleX_[slot]), glm::vec3(1.0f, 0.0f, 0.0f)) *
                               glm::angleAxis(glm::radians(angleY_[slot]), glm::vec3(0.0f, 1.0f, 0.0f));
        const glm::vec3 p = position(slot);
        const Colour c = particleColour(slot);
        for (const glm::vec3& corner : corners) {
            const glm::vec3 v = p + turn * corner;
            vertices.insert(vertices.end(), {v.x, v.y, v.z});
            colours.insert(colours.end(), c.begin(), c.end());
        }
    });
}

}  // namespace particles
