// The headless simulator behind tumbalon-sim: the same scene loading and
// physics as the window, without GL, reporting where every ball went.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

#include <glm/glm.hpp>

#include "klotz/Catalogue.h"
#include "audio/Synthesiser.h"
#include "physics/Physics.h"
#include "run/Run.h"
#include "run/RunInsight.h"
#include "scene/SceneModel.h"

namespace app {

constexpr float FLOOR_REST_HEIGHT = 8.5f;  // a ball centre this low lies on the ground plane

// Where a ball was at one step of the run.
struct PathPoint {
    float time = 0.0f;  // seconds from the start
    glm::vec3 position{0.0f};
    float speed = 0.0f;  // units per second
};

struct BallReport {
    int ball = 0;
    int row = 0;
    int column = 0;
    glm::vec3 end{0.0f};
    float topSpeed = 0.0f;
    // Simulated seconds from the start after which the ball stayed at rest
    // to the end; negative when it was still moving at the end.
    double restTime = -1.0;
    bool onFloor = false;
    // Its outcome and where it went wrong.
    run::BallInsight insight{};
    // Every step's position, when SimOptions::recordPaths is set.
    std::vector<PathPoint> path{};
};

struct SimOptions {
    double seconds = 30.0;
    std::ostream* trace = nullptr;  // CSV of every ball's position per step
    bool recordPaths = false;
    audio::Synthesiser* sound = nullptr;  // fed each step's contacts and rendered along
    std::vector<std::int16_t>* soundSamples = nullptr;  // where sound's samples go
};

// Puts every ball on its starting cell at rest and steps the world for the
// given simulated time. The catalogue names the kloetze the balls touch.
std::vector<BallReport> simulateScene(scene::SceneModel& model, physics::PhysicsWorld& world,
                                      const klotz::KlotzCatalogue& catalogue, const SimOptions& options);

// Each start ball's report as the run has it now (no paths).
std::vector<BallReport> reportRun(const run::Run& run, const scene::SceneModel& model,
                                  const physics::PhysicsWorld& world);

// "ball=I start=ROW,COLUMN end=X,Y,Z top_speed=V rest_time=T|never on_floor=yes|no
//  outcome=home|stopped|floor|moving last_on=ROW,COLUMN,LEVEL,TYPE|- left_track=T|-"
std::string formatReport(const BallReport& report);
// "balls=N seconds=S at_rest=K on_floor=F home=H"
std::string formatSummary(const std::vector<BallReport>& reports, double seconds);

// The whole command line: tumbalon-sim SCENE [--seconds S] [--trace FILE]
// [--report FILE.html]. Reads the catalogue and the scene from the working
// directory.
int runSimulator(int argc, char** argv, std::ostream& out, std::ostream& err);

}  // namespace app
