// The shipped demo runs, simulated with the shipped klotz set: every ball
// ends where its run is meant to take it.
#include <filesystem>
#include <sstream>

#include <gtest/gtest.h>

#include "app/Simulator.h"
#include "klotz/Catalogue.h"
#include "scene/SceneFile.h"
#include "support/TestSupport.h"

namespace fs = std::filesystem;

namespace {

struct Cell {
    int row;
    int column;
};

Cell cellOf(glm::vec3 p) { return {static_cast<int>(p.x / 50.0f), static_cast<int>(-p.z / 50.0f)}; }

class DemoRuns : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        dir = new testsupport::TempDir;
        for (const auto& entry : fs::directory_iterator(testsupport::dataDir())) {
            std::string ext = entry.path().extension().string();
            if (ext == ".obj" || ext == ".cfg" || ext == ".tumbalon")
                fs::copy_file(entry.path(), fs::path(dir->path()) / entry.path().filename());
        }
        testsupport::ScopedChdir cd(dir->path());
        catalogue = new klotz::KlotzCatalogue;
        std::ostringstream log;
        klotz::loadCatalogueList(*catalogue, log);
        klotz::loadKloetze(*catalogue, log);
        for (int t = 0; t < catalogue->typeCount(); ++t) catalogue->typeDisplayLists[t] = t + 1;
    }
    static void TearDownTestSuite() {
        delete catalogue;
        delete dir;
    }

    std::vector<app::BallReport> run(const std::string& file, double seconds) {
        testsupport::ScopedChdir cd(dir->path());
        std::ostringstream log;
        scene::SceneState state;
        EXPECT_TRUE(scene::loadScene(model, state, *catalogue, world, file, log)) << log.str();
        app::SimOptions options;
        options.seconds = seconds;
        return app::simulateScene(model, world, *catalogue, options);
    }

    static testsupport::TempDir* dir;
    static klotz::KlotzCatalogue* catalogue;
    physics::PhysicsWorld world;
    scene::SceneModel model;
};
testsupport::TempDir* DemoRuns::dir = nullptr;
klotz::KlotzCatalogue* DemoRuns::catalogue = nullptr;

void expectEndsIn(const app::BallReport& r, Cell goal) {
    Cell c = cellOf(r.end);
    EXPECT_EQ(c.row, goal.row) << "ball " << r.ball << " ended at " << r.end.x << ", " << r.end.y << ", " << r.end.z;
    EXPECT_EQ(c.column, goal.column) << "ball " << r.ball;
    EXPECT_FALSE(r.onFloor) << "ball " << r.ball << " fell off the run";
}

TEST_F(DemoRuns, JollyrideEndsInTheGoal) {
    auto balls = run("demo1.tumbalon", 20.0);
    ASSERT_EQ(balls.size(), 1u);
    expectEndsIn(balls[0], {13, 8});
    // Rolling resistance settles a ball circling in the basin.
    EXPECT_GE(balls[0].restTime, 0.0) << "still rolling after 20 s";
}

TEST_F(DemoRuns, TwoTowersBallsCrossAndReachTheirGoals) {
    auto balls = run("demo2.tumbalon", 15.0);
    ASSERT_EQ(balls.size(), 2u);
    expectEndsIn(balls[0], {13, 10});
    expectEndsIn(balls[1], {11, 12});
}

TEST_F(DemoRuns, Tarlo1GoesDownTheSpiralIntoTheGoal) {
    auto balls = run("demo3.tumbalon", 20.0);
    ASSERT_EQ(balls.size(), 1u);
    expectEndsIn(balls[0], {13, 9});
    EXPECT_GE(balls[0].restTime, 0.0) << "still rolling after 20 s";
}

TEST_F(DemoRuns, Quib7StopsEveryLaneAtItsEnd) {
    auto balls = run("demo4.tumbalon", 10.0);
    ASSERT_EQ(balls.size(), 4u);
    for (int i = 0; i < 4; ++i) {
        expectEndsIn(balls[i], {12, 9 + i});
        EXPECT_GE(balls[i].restTime, 0.0) << "ball " << i << " still moving";
    }
}

}  // namespace
