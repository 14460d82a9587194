// The shipped demo and gallery runs, simulated with the shipped klotz set:
// long runs in which every ball comes home, in the start camera's view. Copies of the demo files as they
// were saved before the catalogue grew (tests/app/data) must keep loading
// and running the same: scene files store catalogue indices.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <map>
#include <set>
#include <sstream>
#include <vector>

#include <glm/gtc/matrix_transform.hpp>
#include <glm/gtc/type_ptr.hpp>

#include <gtest/gtest.h>

#include "app/Simulator.h"
#include "klotz/Catalogue.h"
#include "view/Camera.h"
#include "run/RunInsight.h"
#include "scene/SceneFile.h"
#include "support/TestSupport.h"

namespace fs = std::filesystem;

namespace {

struct Cell {
    int row;
    int column;
};

Cell cellOf(glm::vec3 p) { return {static_cast<int>(p.x / 50.0f), static_cast<int>(-p.z / 50.0f)}; }

// A run whose balls a lift brings back for ever.
bool perpetual(const std::string& file) { return file.find("gallery/perpetual") == 0; }
// Runs whose balls take turns on a lift: a ball every eight seconds.
bool liftRun(const std::string& file) { return perpetual(file) || file == "gallery/binary_counter.tumbalon"; }

class DemoRuns : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        dir = new testsupport::TempDir;
        for (const auto& entry : fs::directory_iterator(testsupport::dataDir())) {
            std::string ext = entry.path().extension().string();
            if (ext == ".obj" || ext == ".parts" || ext == ".cfg" || ext == ".tumbalon")
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

    // Each shipped run is simulated once for all the tests that look at it;
    // one with a lift for two minutes.
    const Run& simulated(const std::string& file) {
        auto found = runs->find(file);
        if (found != runs->end()) return found->second;
        Run r;
        r.balls = run(file, liftRun(file) ? 120.0 : 45.0, true, &r.types);
        return (*runs)[file] = std::move(r);
    }

    static bool load(const std::string& file, scene::SceneModel& model, physics::PhysicsWorld& world) {
        testsupport::ScopedChdir cd(dir->path());
        std::ostringstream log;
        scene::SceneState state;
        const bool loaded = scene::loadScene(model, state, *catalogue, world, file, log);
        EXPECT_TRUE(loaded) << log.str();
        return loaded;
    }

    // Loads file into a fresh world and simulates it; types, when given,
    // receives the number of distinct klotz types placed.
    std::vector<app::BallReport> run(const std::string& file, double seconds, bool recordPaths = false,
                                     int* types = nullptr) {
        physics::PhysicsWorld world;
        scene::SceneModel model;
        load(file, model, world);
        app::SimOptions options;
        options.seconds = seconds;
        options.recordPaths = recordPaths;
        if (types) *types = static_cast<int>(std::set<int>(model.placedTypes().begin(), model.placedTypes().end()).size());
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

// The start camera's projection and view (the palette strip is hidden
// during a run, so the view is square).
glm::mat4 startViewMatrix() {
    view::Camera camera;
    camera.setStartPose();
    glm::mat4 view = glm::lookAt(camera.position, camera.position + camera.direction, glm::vec3(0.0f, 1.0f, 0.0f));
    return glm::perspective(glm::radians(view::CAMERA_FOV_DEGREES), 1.0f, view::CAMERA_NEAR, view::CAMERA_FAR) *
           view;
}

bool inStartView(glm::vec3 p) {
    glm::vec4 clip = startViewMatrix() * glm::vec4(p, 1.0f);
    return clip.w > 0.0f && std::abs(clip.x) <= clip.w && std::abs(clip.y) <= clip.w && std::abs(clip.z) <= clip.w;
}

// What the start camera sees of a scene's kloetze, drawn into a small depth
// buffer: for each pixel, the nearest surface's klotz and whether it faces up
// (groove floors, ramps and rims do; the sides of blocks and walls do not).
struct StartPicture {
    static constexpr int SIZE = 160;
    int scene = 0;                    // pixels showing a klotz
    int upward = 0;                   // of those, surfaces facing up
    int upwardAnywhere = 0;           // pixels where a surface facing up lies, seen or hidden
    std::map<int, int> sidesOfKlotz;  // pixels of each klotz's other surfaces

    explicit StartPicture(const scene::SceneModel& model, const klotz::KlotzCatalogue& catalogue) {
        std::vector<float> depth(SIZE * SIZE, 2.0f);
        std::vector<int> klotzAt(SIZE * SIZE, -1);
        std::vector<char> up(SIZE * SIZE, 0), upAnywhere(SIZE * SIZE, 0);
        const glm::mat4 toClip = startViewMatrix();
        for (int k = 0; k < model.placedCount(); ++k) {
            const klotz::Mesh& mesh = catalogue.klotzTypes[model.placedTypes()[k]].mesh;
            const glm::mat4 pose = glm::make_mat4(model.placedPoses()[k].data());
            for (int f = 0; f < mesh.faceCount; ++f) {
                glm::vec3 screen[3];
                bool visible = true;
                for (int c = 0; c < 3; ++c) {
                    const float* v = &mesh.vertices[3 * mesh.faces[3 * f + c]];
                    glm::vec4 clip = toClip * pose * glm::vec4(v[0], v[1], v[2], 1.0f);
                    visible = visible && clip.w > view::CAMERA_NEAR;
                    screen[c] = glm::vec3((clip.x / clip.w + 1) * SIZE / 2, (clip.y / clip.w + 1) * SIZE / 2,
                                          clip.z / clip.w);
                }
                const glm::vec3 normal = glm::mat3(pose) * glm::make_vec3(&mesh.faceNormals[3 * f]);
                if (visible) fill(screen, normal.y > 0.5f, k, depth, klotzAt, up, upAnywhere);
            }
        }
        for (int i = 0; i < SIZE * SIZE; ++i) {
            upwardAnywhere += upAnywhere[i];
            if (klotzAt[i] < 0) continue;
            ++scene;
            if (up[i])
                ++upward;
            else
                ++sidesOfKlotz[klotzAt[i]];
        }
    }

    // The klotz whose blank sides fill most of the picture: (index, pixels).
    std::pair<int, int> largestSide() const {
        std::pair<int, int> most{-1, 0};
        for (const auto& entry : sidesOfKlotz)
            if (entry.second > most.second) most = entry;
        return most;
    }

private:
    static void fill(const glm::vec3* p, bool facesUp, int klotzIndex, std::vector<float>& depth,
                     std::vector<int>& klotzAt, std::vector<char>& up, std::vector<char>& upAnywhere) {
        const float area = (p[1].x - p[0].x) * (p[2].y - p[0].y) - (p[2].x - p[0].x) * (p[1].y - p[0].y);
        if (std::abs(area) < 1e-9f) return;
        const int x0 = std::max(0, static_cast<int>(std::floor(std::min({p[0].x, p[1].x, p[2].x}))));
        const int x1 = std::min(SIZE - 1, static_cast<int>(std::ceil(std::max({p[0].x, p[1].x, p[2].x}))));
        const int y0 = std::max(0, static_cast<int>(std::floor(std::min({p[0].y, p[1].y, p[2].y}))));
        const int y1 = std::min(SIZE - 1, static_cast<int>(std::ceil(std::max({p[0].y, p[1].y, p[2].y}))));
        for (int y = y0; y <= y1; ++y)
            for (int x = x0; x <= x1; ++x) {
                const float px = x + 0.5f, py = y + 0.5f;
                float w[3];
                for (int c = 0; c < 3; ++c) {
                    const glm::vec3& a = p[(c + 1) % 3];
                    const glm::vec3& b = p[(c + 2) % 3];
                    w[c] = ((b.x - a.x) * (py - a.y) - (px - a.x) * (b.y - a.y)) / area;
                }
                if (w[0] < 0 || w[1] < 0 || w[2] < 0) continue;
                const float z = w[0] * p[0].z + w[1] * p[1].z + w[2] * p[2].z;
                const int i = y * SIZE + x;
                if (z < -1) continue;
                if (facesUp) upAnywhere[i] = 1;
                if (z >= depth[i]) continue;
                depth[i] = z;
                klotzAt[i] = klotzIndex;
                up[i] = facesUp;
            }
    }
};

TEST(StartView, SeesTheMiddleOfTheGridAndNotBehindTheCamera) {
    EXPECT_TRUE(inStartView({483.0f, 0.0f, -458.0f}));  // where the view axis meets the ground
    EXPECT_FALSE(inStartView({400.0f, 0.0f, -100.0f}));
    EXPECT_FALSE(inStartView({25.0f, 0.0f, -975.0f}));
}

TEST_F(DemoRuns, ShippedRunsAreLongAndBringEveryBallHome) {
    for (const std::string& file : shippedRuns(dir->path())) {
        if (perpetual(file)) continue;
        SCOPED_TRACE(file);
        const Run& r = simulated(file);
        // The binary counter counts to 2^3.
        EXPECT_GE(r.balls.size(), file == "gallery/binary_counter.tumbalon" ? 8u : 10u);
        EXPECT_GE(r.types, 8);
        double last = 0.0;
        for (const app::BallReport& ball : r.balls) {
            EXPECT_EQ(ball.insight.outcome, run::BallOutcome::HOME)
                << "ball " << ball.ball << " " << run::outcomeName(ball.insight.outcome) << " at " << ball.end.x
                << ", " << ball.end.y << ", " << ball.end.z;
            last = std::max(last, ball.restTime);
        }
        EXPECT_GE(last, 20.0) << "the last ball came to rest too early";
    }
}

TEST_F(DemoRuns, APerpetualRunStillPlaysAfterTwoMinutes) {
    int perpetualRuns = 0;
    for (const std::string& file : shippedRuns(dir->path())) {
        if (!perpetual(file)) continue;
        SCOPED_TRACE(file);
        ++perpetualRuns;
        for (const app::BallReport& ball : simulated(file).balls)
            EXPECT_TRUE(ball.insight.outcome == run::BallOutcome::MOVING || ball.insight.outcome == run::BallOutcome::HOME)
                << "ball " << ball.ball << " " << run::outcomeName(ball.insight.outcome) << " at " << ball.end.x << ", "
                << ball.end.y << ", " << ball.end.z;
    }
    EXPECT_GE(perpetualRuns, 1);
}

// Eight balls through three switches: the first switch sends every other
// ball to its basin, the second every other one of the rest, and the third
// parts the last two, so the goals hold 4, 2, 1 and 1.
TEST_F(DemoRuns, TheBinaryCounterCountsItsBallsInBinary) {
    std::map<std::string, int> perGoal;
    for (const app::BallReport& ball : simulated("gallery/binary_counter.tumbalon").balls)
        if (ball.insight.outcome == run::BallOutcome::HOME) ++perGoal[run::describePlace(ball.insight.lastOn)];
    std::vector<int> counts;
    for (const auto& goal : perGoal) counts.push_back(goal.second);
    std::sort(counts.rbegin(), counts.rend());
    EXPECT_EQ(counts, (std::vector<int>{4, 2, 1, 1}));
}

// Ball-seconds until the last ball comes to rest.
TEST_F(DemoRuns, StartCameraSeesTheShippedRuns) {
    for (const std::string& file : shippedRuns(dir->path())) {
        SCOPED_TRACE(file);
        const Run& r = simulated(file);
        double end = perpetual(file) ? 120.0 : 0.0;
        for (const app::BallReport& ball : r.balls) end = std::max(end, ball.restTime);
        std::size_t inside = 0, all = 0;
        for (const app::BallReport& ball : r.balls)
            for (const app::PathPoint& p : ball.path) {
                if (p.time > end) break;
                ++all;
                if (inStartView(p.position)) ++inside;
            }
        ASSERT_GT(all, 0u);
        std::printf("%s: %.0f %% of ball-seconds in view\n", file.c_str(), 100.0 * inside / all);
        EXPECT_GE(static_cast<double>(inside) / all, 0.9) << "ball-seconds in view";
    }
}

// The run fills a good part of what the start camera shows, most of its
// track faces the camera unhidden, and no block or wall fills part of the
// picture with a blank face (the first demos showed a third of their track,
// behind a spiral tower and cube sides filling a fifth of the picture). The
// figures printed are the README's legibility table.
TEST_F(DemoRuns, StartCameraPictureOfTheRuns) {
    constexpr int VIEW = StartPicture::SIZE * StartPicture::SIZE;
    for (const std::string& file : shippedRuns(dir->path())) {
        SCOPED_TRACE(file);
        physics::PhysicsWorld world;
        scene::SceneModel model;
        ASSERT_TRUE(load(file, model, world));
        const StartPicture picture(model, *catalogue);
        std::printf("%s: run fills %.0f %% of the view, %.0f %% of it facing up, %.0f %% of that in sight, "
                    "largest side %.1f %% (%s)\n",
                    file.c_str(), 100.0 * picture.scene / VIEW, 100.0 * picture.upward / picture.scene,
                    100.0 * picture.upward / picture.upwardAnywhere, 100.0 * picture.largestSide().second / VIEW,
                    picture.largestSide().first < 0
                        ? "-"
                        : catalogue->klotzTypes[model.placedTypes()[picture.largestSide().first]].name.c_str());
        EXPECT_GE(picture.scene, VIEW / 10) << "the run is a speck";
        EXPECT_GE(picture.upward, picture.upwardAnywhere * 45 / 100) << "the track is hidden behind other pieces";
        EXPECT_LE(picture.largestSide().second, VIEW * 7 / 100) << "a blank face fills part of the view";
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
