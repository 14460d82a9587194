// Listening to runs: the sound the simulator renders from the physics, as
// the window plays it, measured on the samples.
#include "support/SceneModelAccess.h"
#include <cmath>
#include <complex>
#include <vector>

#include <gtest/gtest.h>

#include "CubeMesh.h"
#include "app/Simulator.h"
#include "run/SoundEvents.h"
#include "physics/Actors.h"

namespace {

using apptest::cubeMesh;

constexpr double RATE = audio::SAMPLE_RATE;

// Level of samples [from, to) seconds in dBFS (root mean square).
double levelDb(const std::vector<std::int16_t>& s, double from, double to) {
    const std::size_t a = static_cast<std::size_t>(from * RATE), b = static_cast<std::size_t>(to * RATE);
    double sum = 0.0;
    for (std::size_t i = a; i < b && i < s.size(); ++i) sum += double(s[i]) * s[i];
    const double rms = std::sqrt(sum / double(b - a)) / 32768.0;
    return 20.0 * std::log10(rms + 1e-12);
}

// Seconds of the first sample louder than -40 dBFS.
double firstSound(const std::vector<std::int16_t>& s) {
    for (std::size_t i = 0; i < s.size(); ++i)
        if (std::abs(s[i]) > 328) return double(i) / RATE;
    return -1.0;
}

// Spectral centroid in Hz of 2048 samples from `at` seconds.
double centroid(const std::vector<std::int16_t>& s, double at) {
    const int n = 2048;
    const std::size_t start = static_cast<std::size_t>(at * RATE);
    double weighted = 0.0, total = 0.0;
    for (int k = 1; k < n / 2; k += 2) {
        std::complex<double> bin = 0.0;
        for (int i = 0; i < n && start + i < s.size(); ++i)
            bin += double(s[start + i]) * std::polar(1.0, -2.0 * M_PI * k * i / n);
        weighted += std::abs(bin) * k * RATE / n;
        total += std::abs(bin);
    }
    return weighted / total;
}

// Steps a world for `seconds` and renders what its contacts sound like.
std::vector<std::int16_t> listen(physics::PhysicsWorld& world, double seconds) {
    audio::Synthesiser synth;
    std::vector<std::int16_t> samples;
    world.setContactReporting(true);
    for (int step = 0; step < std::lround(seconds / physics::FIXED_STEP); ++step) {
        world.simulate(static_cast<float>(physics::FIXED_STEP));
        const double t = step * physics::FIXED_STEP;
        run::feedSound(world.stepContacts(), t, {[&](const audio::Impact& e, double at) { synth.impact(e, at); },
                                                 [&](const audio::Rolling& e, double at) { synth.rolling(e, at); }});
        synth.renderUntil(t + physics::FIXED_STEP, samples);
    }
    return samples;
}

TEST(Sound, ADroppedBallClacksOnLandingAndIsSilentOnceAtRest) {
    // A ball starting on a cube falls 17 units: it lands after sqrt(17 / 200) s.
    physics::PhysicsWorld world;
    scene::SceneModel model;
    const physics::ActorHandle cube = physics::createKlotzActor(world, cubeMesh(world));
    world.setGlobalPosition(cube, scene::levelCentre(5, 5, 0));
    model.appendPlaced(0, 0, cube, physics::poseToMatrix(world.getGlobalPose(cube)));
    scene::SceneModelAccess::cellStack(model)[scene::cellIndex(5, 5)].push_back(0);
    model.addBallStart(5, 5, physics::createBallActor(world));

    audio::Synthesiser synth;
    std::vector<std::int16_t> samples;
    app::SimOptions options;
    options.seconds = 6.0;
    options.sound = &synth;
    options.soundSamples = &samples;
    app::simulateScene(model, world, klotz::KlotzCatalogue{}, options);

    ASSERT_EQ(samples.size(), static_cast<std::size_t>(6 * RATE));
    EXPECT_NEAR(firstSound(samples), std::sqrt(17.0 / 200.0), 0.02);
    EXPECT_LT(levelDb(samples, 5.0, 6.0), -60.0);

    // The same run again sounds the same, sample for sample.
    audio::Synthesiser again;
    std::vector<std::int16_t> second;
    options.sound = &again;
    options.soundSamples = &second;
    app::simulateScene(model, world, klotz::KlotzCatalogue{}, options);
    EXPECT_EQ(second, samples);
}

TEST(Sound, RollingDownARampGrowsLouder) {
    physics::PhysicsWorld world;
    // A 30-degree ramp 600 units long, falling along +x.
    const float h = 300.0f * std::tan(static_cast<float>(M_PI / 6.0)) * 2.0f;
    const float v[] = {0, h, 0, 600, 0, 0, 600, 0, -100, 0, h, -100};
    const std::int32_t f[] = {0, 1, 2, 0, 2, 3};
    world.setGlobalPosition(physics::createKlotzActor(world, world.createTriangleMesh(v, 4, f, 2)), {200, 10, -400});
    const float slope = std::atan2(h, 600.0f);
    const glm::vec3 normal(std::sin(slope), std::cos(slope), 0.0f);
    physics::ActorHandle ball = physics::createBallActor(world);
    world.setGlobalPosition(ball, glm::vec3(230.0f, 10.0f + h * 0.95f, -450.0f) + normal * 8.05f);

    const std::vector<std::int16_t> samples = listen(world, 1.6);
    const double early = levelDb(samples, 0.3, 0.5), late = levelDb(samples, 1.2, 1.4);
    EXPECT_GT(early, -70.0);  // heard all the way down
    EXPECT_GT(late, early + 3.0);
}

TEST(Sound, BallsMeetingClickBrighterThanABallOnAKlotz) {
    physics::PhysicsWorld meeting;
    const physics::ActorHandle a = physics::createBallActor(meeting);
    const physics::ActorHandle b = physics::createBallActor(meeting);
    meeting.setGlobalPosition(a, {480, 500, -500});
    meeting.setGlobalPosition(b, {520, 500, -500});
    meeting.setLinearVelocity(a, {200, 0, 0});
    meeting.setLinearVelocity(b, {-200, 0, 0});
    const std::vector<std::int16_t> click = listen(meeting, 0.3);

    physics::PhysicsWorld landing;
    const physics::ActorHandle cube = physics::createKlotzActor(landing, cubeMesh(landing));
    landing.setGlobalPosition(cube, {500, 25, -500});
    const physics::ActorHandle ball = physics::createBallActor(landing);
    landing.setGlobalPosition(ball, {500, 58.5f, -500});
    landing.setLinearVelocity(ball, {0, -400, 0});
    const std::vector<std::int16_t> clack = listen(landing, 0.3);

    const double clickAt = firstSound(click), clackAt = firstSound(clack);
    ASSERT_GE(clickAt, 0.0);
    ASSERT_GE(clackAt, 0.0);
    EXPECT_GT(centroid(click, clickAt), 1.5 * centroid(clack, clackAt));
}

}  // namespace
