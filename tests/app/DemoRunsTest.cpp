// The shipped demo and gallery runs, simulated with the shipped klotz set:
// long runs in which every ball comes home, in the start camera's view. Copies of the demo files as they
// were saved before the catalogue grew (tests/app/data) must keep loading
// and running the same: scene files store catalogue indices.
#include <algorithm>
#include <cmath>
#include <filesystem>
#include <map>
#include <set>
#include <sstream>
#include <vector>

#include <glm/gtc/matrix_transform.hpp>

#include <gtest/gtest.h>

#include "app/Simulator.h"
#include "klotz/Catalogue.h"
#include "scene/Camera.h"
#include "scene/RunInsight.h"
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
        fs::copy(fs::path(testsupport::dataDir()) / "gallery", fs::path(dir->path()) / "gallery");
        runs = new std::map<std::string, Run>;
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
        delete runs;
        delete catalogue;
        delete dir;
    }

    struct Run {
        std::vector<app::BallReport> balls;
        int types = 0;  // distinct klotz types placed
    };

    // Each shipped run is simulated once for all the tests that look at it.
    const Run& simulated(const std::string& file) {
        auto found = runs->find(file);
        if (found != runs->end()) return found->second;
        Run r;
        r.balls = run(file, 45.0, true, &r.types);
        return (*runs)[file] = std::move(r);
    }

    // Loads file into a fresh world and simulates it; types, when given,
    // receives the number of distinct klotz types placed.
    std::vector<app::BallReport> run(const std::string& file, double seconds, bool recordPaths = false,
                                     int* types = nullptr) {
        testsupport::ScopedChdir cd(dir->path());
        physics::PhysicsWorld world;
        scene::SceneModel model;
        std::ostringstream log;
        scene::SceneState state;
        EXPECT_TRUE(scene::loadScene(model, state, *catalogue, world, file, log)) << log.str();
        app::SimOptions options;
        options.seconds = seconds;
        options.recordPaths = recordPaths;
        if (types) *types = static_cast<int>(std::set<int>(model.placedTypes.begin(), model.placedTypes.end()).size());
        return app::simulateScene(model, world, *catalogue, options);
    }

    static testsupport::TempDir* dir;
    static klotz::KlotzCatalogue* catalogue;
    static std::map<std::string, Run>* runs;
};
testsupport::TempDir* DemoRuns::dir = nullptr;
klotz::KlotzCatalogue* DemoRuns::catalogue = nullptr;
std::map<std::string, DemoRuns::Run>* DemoRuns::runs = nullptr;

void expectEndsIn(const app::BallReport& r, Cell goal) {
    Cell c = cellOf(r.end);
    EXPECT_EQ(c.row, goal.row) << "ball " << r.ball << " ended at " << r.end.x << ", " << r.end.y << ", " << r.end.z;
    EXPECT_EQ(c.column, goal.column) << "ball " << r.ball;
    EXPECT_FALSE(r.onFloor) << "ball " << r.ball << " fell off the run";
}

// The shipped runs: the four demos and every gallery run.
std::vector<std::string> shippedRuns(const std::string& dir) {
    std::vector<std::string> files = {"demo1.tumbalon", "demo2.tumbalon", "demo3.tumbalon", "demo4.tumbalon"};
    std::vector<std::string> gallery;
    for (const auto& entry : fs::directory_iterator(fs::path(dir) / "gallery"))
        if (entry.path().extension() == ".tumbalon") gallery.push_back("gallery/" + entry.path().filename().string());
    std::sort(gallery.begin(), gallery.end());
    files.insert(files.end(), gallery.begin(), gallery.end());
    return files;
}

// The part of the picture the start camera shows during a run (the palette
// strip is hidden then, so the view is square).
bool inStartView(glm::vec3 p) {
    scene::Camera camera;
    camera.setStartPose();
    glm::mat4 view = glm::lookAt(camera.position, camera.position + camera.direction, glm::vec3(0.0f, 1.0f, 0.0f));
    glm::mat4 projection =
        glm::perspective(glm::radians(scene::CAMERA_FOV_DEGREES), 1.0f, scene::CAMERA_NEAR, scene::CAMERA_FAR);
    glm::vec4 clip = projection * view * glm::vec4(p, 1.0f);
    return clip.w > 0.0f && std::abs(clip.x) <= clip.w && std::abs(clip.y) <= clip.w && std::abs(clip.z) <= clip.w;
}

TEST(StartView, SeesTheMiddleOfTheGridAndNotBehindTheCamera) {
    EXPECT_TRUE(inStartView({483.0f, 0.0f, -458.0f}));  // where the view axis meets the ground
    EXPECT_FALSE(inStartView({400.0f, 0.0f, -100.0f}));
    EXPECT_FALSE(inStartView({25.0f, 0.0f, -975.0f}));
}

TEST_F(DemoRuns, ShippedRunsAreLongAndBringEveryBallHome) {
    for (const std::string& file : shippedRuns(dir->path())) {
        SCOPED_TRACE(file);
        const Run& r = simulated(file);
        EXPECT_GE(r.balls.size(), 10u);
        EXPECT_GE(r.types, 8);
        double last = 0.0;
        for (const app::BallReport& ball : r.balls) {
            EXPECT_EQ(ball.insight.outcome, scene::BallOutcome::HOME)
                << "ball " << ball.ball << " " << scene::outcomeName(ball.insight.outcome) << " at " << ball.end.x
                << ", " << ball.end.y << ", " << ball.end.z;
            last = std::max(last, ball.restTime);
        }
        EXPECT_GE(last, 20.0) << "the last ball came to rest too early";
    }
}

// Ball-seconds until the last ball comes to rest.
TEST_F(DemoRuns, StartCameraSeesTheShippedRuns) {
    for (const std::string& file : shippedRuns(dir->path())) {
        SCOPED_TRACE(file);
        const Run& r = simulated(file);
        double end = 0.0;
        for (const app::BallReport& ball : r.balls) end = std::max(end, ball.restTime);
        std::size_t inside = 0, all = 0;
        for (const app::BallReport& ball : r.balls)
            for (const app::PathPoint& p : ball.path) {
                if (p.time > end) break;
                ++all;
                if (inStartView(p.position)) ++inside;
            }
        ASSERT_GT(all, 0u);
        EXPECT_GE(static_cast<double>(inside) / all, 0.9) << "ball-seconds in view";
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
