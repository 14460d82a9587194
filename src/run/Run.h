// One run of the scene and everything it is stepped with. The run owns the
// one run clock (the step shown): the status line, the statistics, the
// sound, the record and the outcomes all read it, and a rewind moves it.
#pragma once

#include <functional>
#include <iosfwd>
#include <vector>

#include "klotz/Catalogue.h"
#include "particles/ParticleSystem.h"
#include "physics/Physics.h"
#include "run/RunInsight.h"
#include "run/RunRecord.h"
#include "scene/SceneModel.h"
#include "scene/SceneState.h"
#include "view/Camera.h"

namespace run {

// The playback factors the user steps through with + and -, of the normal
// pace; PLAYBACK_NORMAL is 1.
constexpr double PLAYBACK_FACTORS[] = {1.0 / 16, 1.0 / 8, 1.0 / 4, 1.0 / 2, 1.0, 2.0, 4.0};
constexpr int PLAYBACK_NORMAL = 4;
constexpr int PLAYBACK_STEPS = 7;

// The statistics are saved this often, so a rewound run gets back the
// statistics of its step by replaying at most this many recorded steps.
constexpr long INSIGHT_CHECKPOINT_STEPS = 100;

struct Run {
    RunRecord record;
    RunInsight insight;  // the outcomes up to the step shown
    long step = 0;       // the step shown, counted from the run's start

    // Playback: an index into PLAYBACK_FACTORS and the simulated seconds not
    // yet stepped (whole steps only go to the world).
    int playbackStep = PLAYBACK_NORMAL;
    double stepCarry = 0.0;
    // Frame-clock seconds of the previous physics and particle steps;
    // renewed when stepping (re)starts so paused time is not simulated.
    double lastStepTime = 0.0;
    double particleTime = 0.0;

    // The insight after every INSIGHT_CHECKPOINT_STEPS-th step, by step.
    std::vector<std::pair<long, RunInsight::Progress>> checkpoints;
    // The start balls' samples and touches of the last step taken; reused
    // every step.
    std::vector<BallSample> samples;
    std::vector<BallTouches> touches;

    double time() const { return static_cast<double>(step) * physics::FIXED_STEP; }
};

// Told of every step taken: its contacts and the run time at its start.
class StepListener {
public:
    virtual ~StepListener() = default;
    virtual void stepTaken(const physics::StepContacts& contacts, double runTime) = 0;
};

struct RunContext {
    scene::SceneState& state;
    scene::SceneModel& model;
    const klotz::KlotzCatalogue& catalogue;
    physics::PhysicsWorld& world;
    view::Camera& camera;
    particles::ParticleSystem* particles;  // none in the simulator
    Run& run;
    StepListener* listener;       // the sound; may be none
    std::function<double()> now;  // frame clock, seconds
    std::ostream& out;            // console output
};

}  // namespace run
