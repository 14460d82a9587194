#include "support/SceneModelAccess.h"
#include <filesystem>
#include <sstream>

#include <gtest/gtest.h>

#include "CubeMesh.h"
#include "app/Simulator.h"
#include "physics/Actors.h"
#include "support/TestSupport.h"

namespace {

using apptest::cubeMesh;

void addBallStart(scene::SceneModel& model, physics::PhysicsWorld& world, int row, int column) {
    model.addBallStart(row, column, physics::createBallActor(world));
}

TEST(Simulator, ReportsWhereBallsCameToRest) {
    physics::PhysicsWorld world;
    scene::SceneModel model;
    // Ball 0 drops onto the ground, ball 1 onto a cube standing on its cell.
    addBallStart(model, world, 2, 3);
    addBallStart(model, world, 5, 5);
    physics::ActorHandle cube = physics::createKlotzActor(world, cubeMesh(world));
    world.setGlobalPosition(cube, scene::levelCentre(5, 5, 0));
    model.appendPlaced(0, 1, cube, physics::poseToMatrix(world.getGlobalPose(cube)));
    scene::SceneModelAccess::cellStack(model)[scene::cellIndex(5, 5)].push_back(0);

    std::ostringstream trace;
    app::SimOptions options;
    options.seconds = 3.0;
    options.trace = &trace;
    std::vector<app::BallReport> reports = app::simulateScene(model, world, klotz::KlotzCatalogue{}, options);
    ASSERT_EQ(reports.size(), 2u);

    EXPECT_TRUE(reports[0].onFloor);
    EXPECT_NEAR(reports[0].end.x, 125.0f, 0.5f);
    EXPECT_NEAR(reports[0].end.y, 8.0f, 0.5f);
    EXPECT_NEAR(reports[0].end.z, -175.0f, 0.5f);
    EXPECT_GE(reports[0].restTime, 0.0);
    EXPECT_LT(reports[0].restTime, 1.5);
    // Dropped from y = 25: about sqrt(2 * 400 * 17) on landing.
    EXPECT_NEAR(reports[0].topSpeed, 116.6f, 10.0f);

    EXPECT_FALSE(reports[1].onFloor);
    EXPECT_NEAR(reports[1].end.y, 58.0f, 0.5f);

    // A header and one line per 0.01 s step.
    std::string csv = trace.str();
    EXPECT_EQ(csv.rfind("time,x0,y0,z0,x1,y1,z1\n", 0), 0u);
    EXPECT_EQ(std::count(csv.begin(), csv.end(), '\n'), 301);
}

TEST(Simulator, FormatsOneLinePerBallAndASummary) {
    app::BallReport moving{3, 1, 2, {10.0f, 20.5f, -30.25f}, 150.0f, -1.0, false};
    EXPECT_EQ(app::formatReport(moving),
              "ball=3 start=1,2 end=10.00,20.50,-30.25 top_speed=150.00 rest_time=never on_floor=no "
              "outcome=moving last_on=- left_track=-");
    app::BallReport resting{0, 4, 5, {1.0f, 8.0f, -2.0f}, 3.5f, 2.25, true};
    resting.insight.outcome = run::BallOutcome::FLOOR;
    resting.insight.lastOn = {8, 11, 1, "curve"};
    resting.insight.lastOnTime = 3.4;
    resting.insight.leftTrack = true;
    EXPECT_EQ(app::formatReport(resting),
              "ball=0 start=4,5 end=1.00,8.00,-2.00 top_speed=3.50 rest_time=2.25 on_floor=yes "
              "outcome=floor last_on=8,11,1,curve left_track=3.40");
    app::BallReport home = moving;
    home.insight.outcome = run::BallOutcome::HOME;
    EXPECT_EQ(app::formatSummary({moving, resting, home}, 30.0), "balls=3 seconds=30 at_rest=1 on_floor=1 home=1");
}

int runSim(std::vector<std::string> args, std::string* out, std::string* err) {
    std::vector<char*> argv;
    static std::string name = "tumbalon-sim";
    argv.push_back(name.data());
    for (std::string& a : args) argv.push_back(a.data());
    std::ostringstream o, e;
    int status = app::runSimulator(static_cast<int>(argv.size()), argv.data(), o, e);
    *out = o.str();
    *err = e.str();
    return status;
}

TEST(Simulator, RefusesBadArgumentsAndScenesWithAMessage) {
    testsupport::TempDir dir;
    testsupport::ScopedChdir cd(dir.path());
    std::string out, err;
    EXPECT_EQ(runSim({}, &out, &err), 2);
    EXPECT_NE(err.find("usage: tumbalon-sim SCENE"), std::string::npos);
    EXPECT_EQ(runSim({"a.tumbalon", "--seconds", "ten"}, &out, &err), 2);
    EXPECT_NE(err.find("--seconds"), std::string::npos);
    EXPECT_EQ(runSim({"a.tumbalon", "--frobnicate"}, &out, &err), 2);
    for (auto args :
         {std::vector<std::string>{"a.tumbalon", "--report"}, {"a.tumbalon", "--report", "--seconds", "1"}}) {
        EXPECT_EQ(runSim(args, &out, &err), 2);
        EXPECT_NE(err.find("--report needs the name of the HTML file"), std::string::npos) << err;
    }
    // Refused before the run, and nothing is left behind.
    for (std::string report : {dir.file("no/such/folder/r.html"), dir.path()}) {
        EXPECT_EQ(runSim({"a.tumbalon", "--report", report}, &out, &err), 2);
        EXPECT_NE(err.find("can not write the report \"" + report + "\": "), std::string::npos) << err;
    }
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 0);

    EXPECT_EQ(runSim({"missing.tumbalon"}, &out, &err), 1);
    EXPECT_NE(err.find("missing.tumbalon"), std::string::npos);
    EXPECT_EQ(out, "");

    dir.write("broken.tumbalon", "-1 -1 oops");
    EXPECT_EQ(runSim({"broken.tumbalon"}, &out, &err), 1);
    EXPECT_NE(err.find("broken.tumbalon"), std::string::npos);
}

TEST(Simulator, RunsAnEmptySceneFile) {
    testsupport::TempDir dir;
    testsupport::ScopedChdir cd(dir.path());
    std::string empty;
    for (int i = 0; i < 400; ++i) empty += "-1 ";
    empty += "\n0 \n";
    for (int i = 0; i < 400; ++i) empty += "0 ";
    empty += "\n0 \n\n10 10 ";
    dir.write("empty.tumbalon", empty);
    std::string out, err;
    EXPECT_EQ(runSim({"empty.tumbalon", "--seconds", "0.5", "--trace", dir.file("t.csv")}, &out, &err), 0) << err;
    EXPECT_EQ(out, "balls=0 seconds=0.5 at_rest=0 on_floor=0 home=0\n");
    EXPECT_EQ(testsupport::readFile(dir.file("t.csv")).substr(0, 5), "time\n");
}

}  // namespace
