// The shipped demo runs, simulated with the shipped klotz set: every ball
// ends where its run is meant to take it. Copies of the demo files as they
// were saved before the catalogue grew (tests/app/data) must keep loading
// and running the same: scene files store catalogue indices.
#include <filesystem>
#include <sstream>
#include <vector>

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
        fs::create_directory(fs::path(dir->path()) / "saved");
        for (const auto& entry : fs::directory_iterator(fs::path(testsupport::testDataDir()) / "app" / "data"))
            fs::copy_file(entry.path(), fs::path(dir->path()) / "saved" / entry.path().filename());
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
        physics::PhysicsWorld world;
        scene::SceneModel model;
        std::ostringstream log;
        scene::SceneState state;
        EXPECT_TRUE(scene::loadScene(model, state, *catalogue, world, file, log)) << log.str();
        app::SimOptions options;
        options.seconds = seconds;
        return app::simulateScene(model, world, *catalogue, options);
    }

    static testsupport::TempDir* dir;
    static klotz::KlotzCatalogue* catalogue;
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

// Where every ball of the saved scenes came to rest when they were saved,
// with the 16 types the catalogue had then.
TEST_F(DemoRuns, ScenesSavedWithTheFirstSixteenTypesRunAsBefore) {
    const struct {
        const char* file;
        double seconds;
        std::vector<Cell> ends;
    } saved[] = {{"saved/demo1.tumbalon", 20.0, {{13, 8}}},
                 {"saved/demo2.tumbalon", 15.0, {{13, 10}, {11, 12}}},
                 {"saved/demo3.tumbalon", 20.0, {{13, 9}}},
                 {"saved/demo4.tumbalon", 10.0, {{12, 9}, {12, 10}, {12, 11}, {12, 12}}}};
    for (const auto& scene : saved) {
        SCOPED_TRACE(scene.file);
        auto balls = run(scene.file, scene.seconds);
        ASSERT_EQ(balls.size(), scene.ends.size());
        for (std::size_t i = 0; i < balls.size(); ++i) {
            expectEndsIn(balls[i], scene.ends[i]);
            EXPECT_GE(balls[i].restTime, 0.0) << "ball " << i << " still moving";
        }
    }
}

}  // namespace
