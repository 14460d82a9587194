// The spark ring against a real physics world (its floor and boundary
// walls) with a scripted random source.
#include <cmath>
#include <limits>
#include <memory>
#include <sstream>
#include <vector>

#include <gtest/gtest.h>

#include "particles/ParticleSystem.h"
#include "physics/ErrorReporter.h"
#include "physics/Physics.h"

namespace {

using particles::ParticleSystem;

// Replays its values in a cycle and counts the draws.
struct Script {
    std::vector<int> values{0};
    std::size_t next = 0;
    long long draws = 0;
};

constexpr glm::vec3 UP{0.0f, 1.0f, 0.0f};
const glm::vec3 OPEN_AIR{500.0f, 500.0f, -500.0f};  // far from the floor and the walls

class ParticleTest : public ::testing::Test {
protected:
    ParticleTest() : system(make()) {}
    ~ParticleTest() override { EXPECT_EQ(log.str(), "") << "the particles upset the physics"; }

    std::unique_ptr<ParticleSystem> make() {
        auto s = script;
        return std::make_unique<ParticleSystem>(
            &world, particles::PARTICLE_MASS, particles::PARTICLE_CAPACITY, particles::PARTICLE_HALF_SIZE,
            particles::EMISSION_RATE, glm::vec3(0, particles::PARTICLE_FORCE_Y, 0), particles::DEFAULT_START_COLOUR,
            particles::DEFAULT_END_COLOUR, [s] {
                ++s->draws;
                int v = s->values[s->next % s->values.size()];
                ++s->next;
                return v;
            });
    }
    void randoms(std::vector<int> values) {
        script->values = std::move(values);
        script->next = 0;
    }
    // The ring fountain's parameters.
    void ring(float dt, glm::vec3 at = OPEN_AIR, glm::vec3 velocity = UP, float maxAngle = 5.0f) {
        system->update(dt, at, velocity, 0.0f, 18.0f, 0.0f, maxAngle);
    }

    std::ostringstream log;
    std::istringstream in;
    physics::ErrorReporter reporter{log, in};
    physics::PhysicsWorld world{&reporter};
    std::shared_ptr<Script> script = std::make_shared<Script>();
    std::unique_ptr<ParticleSystem> system;
};

void expectNear(glm::vec3 actual, glm::vec3 expected, float tolerance = 1e-4f) {
    EXPECT_NEAR(actual.x, expected.x, tolerance);
    EXPECT_NEAR(actual.y, expected.y, tolerance);
    EXPECT_NEAR(actual.z, expected.z, tolerance);
}

TEST(EmissionFrame, RestAndVerticalMotionUseFixedAxes) {
    for (glm::vec3 v : {glm::vec3(0.0f), glm::vec3(0, 40, 0)}) {
        particles::EmissionFrame f = particles::emissionFrame(v);
        expectNear(f.spin, UP);
        expectNear(f.tilt, {1, 0, 0});
    }
    particles::EmissionFrame down = particles::emissionFrame({0, -3, 0});
    expectNear(down.spin, {0, -1, 0});
    expectNear(down.tilt, {1, 0, 0});
    particles::EmissionFrame along = particles::emissionFrame({0, 0, -20});  // along a column
    expectNear(along.spin, {0, 0, -1});
    expectNear(along.tilt, {1, 0, 0});
    particles::EmissionFrame nan = particles::emissionFrame({NAN, 1, 0});
    expectNear(nan.spin, UP);
}

// All draws at the maximum: tilt = maxAngle, a full (no-op) spin, top speed.
TEST_F(ParticleTest, FirstSparkTiltsAboutTheFrameAxis) {
    randoms({particles::RANDOM_MAX});
    const float c = std::cos(glm::radians(5.0f)), s = std::sin(glm::radians(5.0f));
    struct Case {
        glm::vec3 velocity, expected;
    } cases[] = {
        {glm::vec3(0.0f), {0, c, s}},        // at rest: around straight up, tilted about x
        {{0, 50, 0}, {0, c, s}},             // straight up: tilt axis x
        {{0, -50, 0}, {0, -c, -s}},          // straight down: tilt axis x
        {{30, 0, 0}, {c, s, 0}},             // along x: tilt axis z
    };
    for (const Case& k : cases) {
        system->reset();
        ring(1.0f / 1200.0f + 1e-7f, OPEN_AIR, k.velocity);
        ASSERT_EQ(system->nextSlot(), 1);
        expectNear(system->velocity(0), k.expected * 18.0f, 1e-3f);
        expectNear(system->position(0), OPEN_AIR);
        EXPECT_EQ(system->life(0), system->lifetime());
        EXPECT_EQ(system->angleX(0), 180.0f);
        EXPECT_EQ(system->angleY(0), 180.0f);
    }
    // The next spark of the same update turns on from the last one.
    system->reset();
    ring(2.0f / 1200.0f + 1e-7f);
    ASSERT_EQ(system->nextSlot(), 2);
    const float c2 = std::cos(glm::radians(10.0f)), s2 = std::sin(glm::radians(10.0f));
    expectNear(system->velocity(1), glm::vec3(0, c2, s2) * 18.0f, 1e-3f);
}

TEST_F(ParticleTest, EmissionCarriesTheRemainder) {
    ring(0.0005f);
    EXPECT_EQ(system->liveCount(), 0);
    EXPECT_FLOAT_EQ(system->emissionRemainder(), 0.0005f);
    ring(0.0005f);
    EXPECT_EQ(system->liveCount(), 1);
    EXPECT_EQ(system->nextSlot(), 1);
    EXPECT_NEAR(system->emissionRemainder(), 0.2f / 1200.0f, 1e-7f);

    system->reset();
    ring(0.025f);  // one drawn frame
    EXPECT_EQ(system->liveCount(), 30);
}

TEST_F(ParticleTest, RingWrapsAfterCapacity) {
    ring(3.0f);
    EXPECT_EQ(system->liveCount(), particles::PARTICLE_CAPACITY);
    EXPECT_EQ(system->nextSlot(), 0);
    const glm::vec3 second{300.0f, 400.0f, -300.0f};
    ring(0.001f, second);  // ages everything, then the 3601st particle
    EXPECT_EQ(system->nextSlot(), 1);
    expectNear(system->position(0), second);
    EXPECT_EQ(system->life(0), system->lifetime());
    EXPECT_FLOAT_EQ(system->life(1), 3.0f - 0.001f);
}

TEST_F(ParticleTest, LongTimeStepWrapsTheRingAndBoundsTheWork) {
    ring(100.0f / 1200.0f + 1e-6f);
    ASSERT_EQ(system->nextSlot(), 100);
    ring(10.0f);  // 12,000 particles: the ring goes round 3 1/3 times
    EXPECT_EQ(system->nextSlot(), (100 + 12000) % particles::PARTICLE_CAPACITY);
    EXPECT_EQ(system->liveCount(), particles::PARTICLE_CAPACITY);
    for (int slot : {0, 1199, 1200, 3599}) EXPECT_EQ(system->life(slot), system->lifetime()) << slot;

    // Hours since the x key: no overflow, and at most a ring's worth of
    // draws (5 per written particle, 2 per aged one).
    script->draws = 0;
    ring(1e7f);
    EXPECT_LE(script->draws, 7LL * particles::PARTICLE_CAPACITY);
    EXPECT_GE(system->nextSlot(), 0);
    EXPECT_LT(system->nextSlot(), particles::PARTICLE_CAPACITY);
    EXPECT_EQ(system->liveCount(), particles::PARTICLE_CAPACITY);
    EXPECT_GE(system->emissionRemainder(), 0.0f);
    EXPECT_LT(system->emissionRemainder(), 1.0f / 1200.0f);
    ring(std::numeric_limits<float>::max());
    EXPECT_EQ(system->liveCount(), particles::PARTICLE_CAPACITY);
}

TEST_F(ParticleTest, BrokenTimeStepsCountAsZero) {
    ring(0.0005f);
    system->setParticle(7, OPEN_AIR, {3, 0, 0}, 1.0f, 90.0f, 90.0f);
    const float remainder = system->emissionRemainder();
    for (float dt : {-5.0f, std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity(),
                     -std::numeric_limits<float>::infinity()}) {
        ring(dt);
        EXPECT_EQ(system->life(7), 1.0f) << dt;
        expectNear(system->position(7), OPEN_AIR);
        expectNear(system->velocity(7), {3, 0, 0});
        EXPECT_FLOAT_EQ(system->emissionRemainder(), remainder) << dt;
        EXPECT_EQ(system->liveCount(), 1) << dt;
    }
}

TEST_F(ParticleTest, BrokenEmissionArgumentsEmitNothing) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    system->update(0.025f, {nan, 0, 0}, UP, 0, 18, 0, 5);
    system->update(0.025f, OPEN_AIR, UP, nan, 18, 0, 5);
    system->update(0.025f, OPEN_AIR, UP, 0, 18, 0, std::numeric_limits<float>::infinity());
    EXPECT_EQ(system->liveCount(), 0);
    EXPECT_EQ(system->nextSlot(), 0);
    // A broken velocity only loses its direction.
    system->update(0.025f, OPEN_AIR, {nan, nan, nan}, 0, 18, 0, 5);
    EXPECT_EQ(system->liveCount(), 30);
    ring(0.025f);  // ages them: the ray casts must stay finite
}

TEST_F(ParticleTest, DyingParticleMovesOnceMore) {
    system->setParticle(3000, OPEN_AIR, {0, 0, 0}, 0.01f, 90.0f, 90.0f);
    ring(0.02f);
    EXPECT_LE(system->life(3000), 0.0f);
    EXPECT_FALSE(system->alive(3000));
    const glm::vec3 moved = OPEN_AIR + glm::vec3(0, 10 * 0.02f * 0.02f, 0);  // accelerated up for one step
    expectNear(system->position(3000), moved);
    ring(0.02f);
    expectNear(system->position(3000), moved);
    bool visited = false;
    system->forEachLiveNewestFirst([&](int slot) { visited |= slot == 3000; });
    EXPECT_FALSE(visited);

    // Exactly 0 left is dead too.
    system->setParticle(3001, OPEN_AIR, {0, 0, 0}, 0.25f, 90.0f, 90.0f);
    ring(0.25f);
    ASSERT_EQ(system->life(3001), 0.0f);
    const glm::vec3 last = system->position(3001);
    ring(0.25f);
    expectNear(system->position(3001), last);
}

TEST_F(ParticleTest, AnglesWrapInsideHalfTurn) {
    // Per particle: the x step draw, then the y step draw.
    struct Case {
        float start;
        int r;
        float expectedX;
    } cases[] = {{0.1f, 0, 180.0f}, {179.9f, particles::RANDOM_MAX, 0.0f}, {5.0f, 0, 0.0f},
                 {175.0f, particles::RANDOM_MAX, 180.0f}};
    for (const Case& k : cases) {
        system->reset();
        system->setParticle(10, OPEN_AIR, {0, 0, 0}, 1.0f, k.start, 90.0f);
        randoms({k.r, 0});
        ring(0.0f);
        EXPECT_EQ(system->angleX(10), k.expectedX) << k.start;
        EXPECT_EQ(system->angleY(10), 89.5f);
    }
    system->setParticle(10, OPEN_AIR, {0, 0, 0}, 1.0f, 90.0f, 0.25f);  // y drifts back by at most 0.5
    randoms({16384, 0});
    ring(0.0f);
    EXPECT_EQ(system->angleY(10), 180.0f);
    system->setParticle(10, OPEN_AIR, {0, 0, 0}, 1.0f, 90.0f, 175.0f);  // and forward by up to 9.5
    randoms({16384, particles::RANDOM_MAX});
    ring(0.0f);
    EXPECT_EQ(system->angleY(10), 0.0f);
}

TEST_F(ParticleTest, ColourFadesOverLife) {
    ring(0.001f);
    ASSERT_EQ(system->liveCount(), 1);
    EXPECT_EQ(system->particleColour(0), particles::DEFAULT_START_COLOUR);
    ring(1.5f, {300, 300, -300});  // slot 0 at half its life
    ASSERT_FLOAT_EQ(system->life(0), 1.5f);
    const particles::Colour c = system->particleColour(0);
    for (int i = 0; i < 4; ++i)
        EXPECT_FLOAT_EQ(c[i], (particles::DEFAULT_START_COLOUR[i] + particles::DEFAULT_END_COLOUR[i]) / 2) << i;
    EXPECT_EQ(system->colourAt(0.0f), particles::DEFAULT_END_COLOUR);
}

TEST_F(ParticleTest, ParticleTurnsAwayFromASurfaceWithinReach) {
    const float dt = 0.025f;
    struct Case {
        glm::vec3 at, velocity, expected;
    } cases[] = {
        {{500, 1, -500}, {0, -30, 0}, {0, 10, 0}},      // the floor, 1 below
        {{500, 2.7f, -500}, {0, -30, 0}, {0, 10, 0}},   // within d + 2 = 2.74
        {{1.5f, 100, -500}, {-20, 0, 0}, {10, 0, 0}},   // the wall x = 0
        {{500, 100, -998}, {0, 0, -20}, {0, 0, 10}},    // the wall z = -1000
    };
    for (const Case& k : cases) {
        system->reset();
        system->setParticle(50, k.at, k.velocity, 1.0f, 90.0f, 90.0f);
        system->update(dt, OPEN_AIR, UP, 0, 18, 0, 5);
        const glm::vec3 v = system->velocity(50);
        expectNear(v, k.expected);
        expectNear(system->position(50), k.at + v * dt);
    }
    // Out of reach: only gravity's opposite, the upward force, acts.
    system->reset();
    system->setParticle(50, {500, 2.8f, -500}, {0, -30, 0}, 1.0f, 90.0f, 90.0f);
    system->update(dt, OPEN_AIR, UP, 0, 18, 0, 5);
    expectNear(system->velocity(50), {0, -29.75f, 0});
}

TEST_F(ParticleTest, ResetKillsEverythingAndRestartsTheRing) {
    ring(0.5f);
    ASSERT_EQ(system->liveCount(), 600);
    system->reset();
    EXPECT_EQ(system->liveCount(), 0);
    EXPECT_EQ(system->nextSlot(), 0);
    EXPECT_EQ(system->emissionRemainder(), 0.0f);
    int visited = 0;
    system->forEachLiveNewestFirst([&](int) { ++visited; });
    EXPECT_EQ(visited, 0);
    EXPECT_EQ(system->resetCount(), 1);
}

TEST_F(ParticleTest, DrawOrderIsNewestFirst) {
    ring(3.0f);  // fills the ring; slot 0 is next
    ring(5.0f / 1200.0f + 1e-6f);
    ASSERT_EQ(system->nextSlot(), 5);
    std::vector<int> order;
    system->forEachLiveNewestFirst([&](int slot) { order.push_back(slot); });
    ASSERT_EQ(order.size(), std::size_t(particles::PARTICLE_CAPACITY));
    EXPECT_EQ(order.front(), 4);
    EXPECT_EQ(order[4], 0);
    EXPECT_EQ(order[5], 3599);
    EXPECT_EQ(order.back(), 5);
}

TEST_F(ParticleTest, SprayFromBallEmitsForTheTimeGiven) {
    system->sprayFromBall(0.025f, OPEN_AIR, {5, 0, 0});
    EXPECT_EQ(system->liveCount(), 30);
    expectNear(system->position(0), OPEN_AIR);
    // A clock reading before the last step emits nothing and ages nothing.
    system->sprayFromBall(-1.025f, OPEN_AIR, {5, 0, 0});
    EXPECT_EQ(system->liveCount(), 30);
    EXPECT_EQ(system->life(0), system->lifetime());
}

TEST(ParticleCreation, BadArgumentsFallBackToTheProgramValues) {
    ParticleSystem s(nullptr, 0.0f, 0, -1.0f, std::numeric_limits<float>::quiet_NaN(), {0, 100, 0},
                     particles::DEFAULT_START_COLOUR, particles::DEFAULT_END_COLOUR, [] { return 99999; });
    EXPECT_EQ(s.capacity(), particles::PARTICLE_CAPACITY);
    EXPECT_EQ(s.emissionRate(), particles::EMISSION_RATE);
    EXPECT_EQ(s.lifetime(), 3.0f);
    EXPECT_EQ(s.halfSize(), particles::PARTICLE_HALF_SIZE);
    expectNear(s.acceleration(), {0, 10, 0});
    s.update(0.025f, OPEN_AIR, UP, 0, 18, 0, 5);  // out-of-range draws are clamped
    EXPECT_EQ(s.liveCount(), 30);
    EXPECT_EQ(s.angleX(0), 180.0f);
    ParticleSystem plain;
    EXPECT_EQ(plain.liveCount(), 0);
    EXPECT_EQ(plain.lifetime(), 3.0f);
}

TEST(Random, TheSeedDecidesTheSequenceWhichSpansTheRange) {
    particles::Random a(42), b(42), other(43);
    int low = particles::RANDOM_MAX, high = 0, differ = 0;
    for (int i = 0; i < 1000; ++i) {
        const int r = a.next();
        ASSERT_EQ(r, b.next());
        differ += r != other.next();
        low = std::min(low, r);
        high = std::max(high, r);
    }
    EXPECT_GT(differ, 990);
    EXPECT_GE(low, 0);
    EXPECT_LE(high, particles::RANDOM_MAX);
    EXPECT_GT(high - low, 30000);  // spreads over the range
    // The C library's generator: its first value for seed 1 is known.
    EXPECT_EQ(particles::Random(1).next(), 16838);
}

}  // namespace

namespace {

// The squares for one array draw turn as glRotatef(angleX, x) then
// glRotatef(angleY, y) would turn them.
TEST_F(ParticleTest, QuadsAreTurnedAboutXThenY) {
    system->setParticle(7, OPEN_AIR, {0, 0, 0}, 1.0f, 90.0f, 90.0f);
    std::vector<float> vertices, colours;
    system->quads(vertices, colours);
    ASSERT_EQ(vertices.size(), 12u);
    ASSERT_EQ(colours.size(), 16u);
    const float h = system->halfSize();
    // Corner (h, h, 0): y-turn gives (0, h, -h), then the x-turn (0, h, h).
    expectNear(glm::vec3(vertices[0], vertices[1], vertices[2]), OPEN_AIR + glm::vec3(0.0f, h, h));
    EXPECT_EQ(colours[0], system->particleColour(7)[0]);
}

}  // namespace
