// The robustness check on small runs built from the shipped pieces, the
// parts list and tumbalon-sim's --check over a folder.
#include <cmath>
#include <filesystem>
#include <sstream>

#include <gtest/gtest.h>

#include "app/PartsList.h"
#include "app/RunReport.h"
#include "app/Robustness.h"
#include "app/SceneCheck.h"
#include "input/Commands.h"
#include "input/EditSession.h"
#include "input/Editing.h"
#include "input/UiHooks.h"
#include "scene/Snapshot.h"
#include "support/TestSupport.h"
#include "view/Palette.h"

namespace fs = std::filesystem;

namespace {

// Catalogue positions of the shipped pieces used here.
enum { STRAIGHT = 1, SLOPE = 3, START = 9, SPLITTER = 22, GOAL_BASIN = 27, PILLAR = 28 };
// Directions of a piece's local +x: +row, +column, -row, -column.
enum { ROW_UP = 0, COLUMN_UP = 1, ROW_DOWN = 2, COLUMN_DOWN = 3 };

// A scene laid out with the editing commands, as a user builds it.
class Layout {
public:
    explicit Layout(const klotz::KlotzCatalogue& catalogue) : catalogue_(catalogue) {
        palette_.init(catalogue.typeCount(), 500);
    }
    void piece(int row, int column, int level, int type, int dir) {
        select(row, column);
        while (scene::stackSize(model_, row, column) < level) insert(PILLAR);
        insert(type);
        for (int k = 0; k < dir; ++k) input::rotateTopKlotz(ctx_, {0.0f, 1.0f, 0.0f}, 1);
    }
    void ball(int row, int column) {
        select(row, column);
        input::setBallStart(ctx_);
    }
    scene::SceneFileData data() const { return scene::captureScene(model_, state_).scene; }
    const scene::SceneModel& model() const { return model_; }

private:
    void select(int row, int column) {
        state_.selectedRow = row;
        state_.selectedColumn = column;
    }
    void insert(int type) {
        palette_.selectedType = type;
        ASSERT_TRUE(input::insertKlotz(ctx_));
    }
    klotz::KlotzCatalogue catalogue_;
    scene::SceneState state_;
    scene::SceneModel model_;
    physics::PhysicsWorld world_;
    view::Camera camera_;
    view::Palette palette_;
    particles::ParticleSystem particles_;
    input::NoUi ui_;
    input::EditSession session_;
    run::Run run_;
    std::ostringstream log_;
    std::istringstream in_;
    input::CommandContext ctx_{state_, model_, catalogue_, world_, camera_, palette_, particles_, ui_, session_, run_,
                               [] { return 0.0; }, log_, in_};
};

class Robustness : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        testsupport::ScopedChdir cd(testsupport::dataDir());
        catalogue = new klotz::KlotzCatalogue;
        std::ostringstream log;
        app::loadHeadlessCatalogue(*catalogue, log);
    }
    static void TearDownTestSuite() { delete catalogue; }

    // A ball rolls from a start down a slope into a splitter, one of whose
    // exits drops into a basin, the other onto the floor. shift moves the
    // splitter across the lane, world units.
    static scene::SceneFileData splitterRun(float shift) {
        Layout layout(*catalogue);
        layout.piece(9, 12, 2, START, COLUMN_DOWN);
        layout.ball(9, 12);
        layout.piece(9, 11, 1, SLOPE, COLUMN_DOWN);
        layout.piece(9, 10, 1, SPLITTER, COLUMN_DOWN);
        layout.piece(10, 10, 0, GOAL_BASIN, ROW_UP);
        scene::SceneFileData data = layout.data();
        // The splitter is the top of its stack; its pose's translation is
        // the last column of the matrix.
        const int splitter = data.cellStack[scene::cellIndex(9, 10)].back();
        data.poses[splitter][12] += shift;
        return data;
    }

    static klotz::KlotzCatalogue* catalogue;
};
klotz::KlotzCatalogue* Robustness::catalogue = nullptr;

TEST_F(Robustness, DisturbancesStayWithinTheirBoundsAndRepeatForASeed) {
    app::Disturbance most{2.0f, 0.05, 3.0f};
    const auto a = app::drawDisturbances(7, 3, 200, most);
    EXPECT_EQ(a.size(), 200u);
    float farthest = 0.0f;
    long latest = 0;
    for (const app::BallDisturbance& d : a) {
        EXPECT_LE(glm::length(d.shift), 2.0f + 1e-5f);
        EXPECT_LE(glm::length(d.spin), 3.0f + 1e-5f);
        EXPECT_GE(d.holdSteps, 0);
        EXPECT_LE(d.holdSteps, 5);
        farthest = std::max(farthest, glm::length(d.shift));
        latest = std::max(latest, d.holdSteps);
    }
    // Spread over the whole range, not stuck at zero.
    EXPECT_GT(farthest, 1.8f);
    EXPECT_EQ(latest, 5);
    const auto again = app::drawDisturbances(7, 3, 200, most);
    const auto otherRun = app::drawDisturbances(7, 4, 200, most);
    const auto otherSeed = app::drawDisturbances(8, 3, 200, most);
    EXPECT_EQ(again[17].shift, a[17].shift);
    EXPECT_EQ(again[17].spin, a[17].spin);
    EXPECT_NE(otherRun[17].shift, a[17].shift);
    EXPECT_NE(otherSeed[17].shift, a[17].shift);
}

TEST_F(Robustness, ABallOnTheSplittersDivideComesHomeAboutHalfTheTimeWhateverTheThreads) {
    // The ball's line is chaotic past the ridge: which exit it takes swings
    // with the smallest change of its start.
    const scene::SceneFileData data = splitterRun(-1.0f);
    app::RobustnessOptions options;
    options.runs = 40;
    options.seed = 11;
    options.maxSeconds = 20.0;
    options.jobs = 1;
    const app::RobustnessResult one = checkRobustness(data, *catalogue, options);
    options.jobs = 3;
    const app::RobustnessResult three = checkRobustness(data, *catalogue, options);
    EXPECT_EQ(app::formatRobustness(one), app::formatRobustness(three));

    ASSERT_EQ(one.runs, 40);
    ASSERT_EQ(one.ballHome.size(), 1u);
    EXPECT_GE(one.ballHome[0], 12) << "home in " << one.ballHome[0] << " of 40";
    EXPECT_LE(one.ballHome[0], 28) << "home in " << one.ballHome[0] << " of 40";
    EXPECT_EQ(one.allHome, one.ballHome[0]);
    // Every failure left the track at the splitter.
    ASSERT_EQ(one.weakSpots.size(), 1u);
    EXPECT_EQ(one.weakSpots[0].place.row, 9);
    EXPECT_EQ(one.weakSpots[0].place.column, 10);
    EXPECT_EQ(one.weakSpots[0].place.level, 1);
    EXPECT_EQ(one.weakSpots[0].place.type, "splitter");
    EXPECT_EQ(one.weakSpots[0].failures, 40 - one.ballHome[0]);
    const std::vector<std::string> lines = app::formatRobustness(one);
    EXPECT_EQ(lines[1], "weak_spot=9,10,1,splitter failures=" + std::to_string(40 - one.ballHome[0]));
    EXPECT_EQ(lines.back(), "robustness: " + std::to_string(one.allHome) + " of 40 runs brought every ball home");
}

TEST_F(Robustness, ABallDroppedIntoABasinComesHomeEveryTime) {
    Layout layout(*catalogue);
    layout.piece(6, 6, 0, GOAL_BASIN, ROW_UP);
    layout.ball(6, 6);
    app::RobustnessOptions options;
    options.runs = 12;
    options.maxSeconds = 20.0;
    const app::RobustnessResult r = checkRobustness(layout.data(), *catalogue, options);
    EXPECT_EQ(r.allHome, 12);
    EXPECT_EQ(r.ballHome, std::vector<int>{12});
    EXPECT_TRUE(r.weakSpots.empty());
    EXPECT_EQ(app::formatRobustness(r).back(), "robustness: 12 of 12 runs brought every ball home");
}

TEST_F(Robustness, PartsListCountsEveryPlacedType) {
    Layout layout(*catalogue);
    layout.piece(3, 3, 2, STRAIGHT, ROW_UP);
    layout.piece(3, 4, 1, STRAIGHT, ROW_UP);
    layout.piece(4, 4, 0, SLOPE, ROW_UP);
    const std::vector<app::PartCount> parts = app::partsList(layout.model(), *catalogue);
    EXPECT_EQ(app::formatParts(parts),
              (std::vector<std::string>{"parts: 6 pieces of 3 types", "part=pillar count=3", "part=straight count=2",
                                        "part=slope count=1"}));
}

// --check over a folder: one line per scene, and a failing status as soon
// as one scene loses a ball.
TEST_F(Robustness, CheckFailsWhenAnySceneInTheFolderLosesABall) {
    testsupport::TempDir dir;
    for (const auto& entry : fs::directory_iterator(testsupport::dataDir())) {
        const std::string ext = entry.path().extension().string();
        if (ext == ".obj" || ext == ".parts" || ext == ".cfg") fs::copy_file(entry.path(), fs::path(dir.path()) / entry.path().filename());
    }
    fs::create_directory(fs::path(dir.path()) / "runs");
    fs::copy_file(fs::path(testsupport::dataDir()) / "gallery" / "splitter_sorts.tumbalon",
                  fs::path(dir.path()) / "runs" / "a_good.tumbalon");
    testsupport::ScopedChdir cd(dir.path());
    char prog[] = "tumbalon-sim", check[] = "--check", folder[] = "runs";
    char* argv[] = {prog, check, folder};
    std::ostringstream out, err;
    EXPECT_EQ(app::runCheck(3, argv, out, err), 0) << err.str();
    EXPECT_NE(out.str().find("scene=a_good.tumbalon balls=10 home=10 rest_time="), std::string::npos) << out.str();
    EXPECT_NE(out.str().find("check: 1 of 1 scenes brought every ball home"), std::string::npos) << out.str();

    // A ball whose start has no track under it drops onto the floor.
    Layout layout(*catalogue);
    layout.piece(5, 5, 0, STRAIGHT, ROW_UP);
    layout.ball(15, 15);
    std::ostringstream saveLog;
    scene::SceneState state;
    state.selectedRow = 10;
    state.selectedColumn = 10;
    ASSERT_TRUE(scene::saveScene(layout.model(), state, "runs/b_lost.tumbalon", saveLog)) << saveLog.str();
    out.str("");
    EXPECT_EQ(app::runCheck(3, argv, out, err), 1);
    EXPECT_NE(out.str().find("scene=b_lost.tumbalon balls=1 home=0"), std::string::npos) << out.str();
    EXPECT_NE(out.str().find("check: 1 of 2 scenes brought every ball home"), std::string::npos) << out.str();
}

}  // namespace

namespace {

// The report shows where to fix the run: the weak cell shaded, a bar per
// ball, the list of weak spots and the pieces.
TEST(RobustnessReport, ShadesTheWeakCellsAndListsSpotsAndParts) {
    physics::PhysicsWorld world;
    scene::SceneModel model;
    klotz::KlotzCatalogue catalogue;
    app::RobustnessResult r;
    r.runs = 10;
    r.allHome = 6;
    r.ballHome = {6, 10};
    r.weakSpots = {{{4, 7, 1, "splitter"}, 3}, {{}, 1}};
    const std::vector<app::PartCount> parts{{"straight", 5}, {"goal_basin", 1}};
    const std::vector<app::BallReport> balls;
    app::RunReportInput input{"a & b", 30.0, model, catalogue, balls, &parts, &r};
    const std::string page = app::runReportPage(input);
    EXPECT_NE(page.find("<strong>6 of 10 runs brought every ball home</strong>"), std::string::npos);
    // Row 4 is 4 cells right of the map's left edge; column 7 is 12 cells
    // below its top (20 - 1 - 7).
    EXPECT_NE(page.find("<rect x=\"194\" y=\"444\" width=\"36\" height=\"36\" fill=\"#d7301f\""), std::string::npos);
    EXPECT_NE(page.find("60% (6 of 10)"), std::string::npos);
    EXPECT_NE(page.find("100% (10 of 10)"), std::string::npos);
    EXPECT_NE(page.find("<td>row 4 column 7 level 1 (splitter)</td><td>3</td>"), std::string::npos);
    EXPECT_NE(page.find("<td>before touching any klotz</td><td>1</td>"), std::string::npos);
    EXPECT_NE(page.find("<td>straight</td><td>5</td>"), std::string::npos);
    EXPECT_NE(page.find("6 kloetze of 2 types"), std::string::npos);

    // The picture goes inline, base64-encoded.
    app::RunReportInput pictured{"p", 30.0, model, catalogue, balls};
    pictured.picturePng = "Man\x89P";
    EXPECT_NE(app::runReportPage(pictured).find("src=\"data:image/png;base64,TWFuiVA=\""), std::string::npos);

    // Without a robustness result or parts the sections are left out.
    const app::RunReportInput plain{"plain", 30.0, model, catalogue, balls};
    EXPECT_EQ(app::runReportPage(plain).find("Robustness"), std::string::npos);
    EXPECT_EQ(app::runReportPage(plain).find("<h2>Parts</h2>"), std::string::npos);
}

}  // namespace

#ifdef TUMBALON_OFFSCREEN
#include "app/Picture.h"

namespace {

// The offscreen picture of demo1 in its first second: its size, the sky,
// and the kloetze's brown in lit and shaded tones.
TEST_F(Robustness, OffscreenPictureShowsTheTrackInItsColours) {
    testsupport::ScopedChdir cd(testsupport::dataDir());
    std::ostringstream log;
    const std::optional<scene::SceneFileData> demo = scene::readSceneFile("demo1.tumbalon", catalogue->typeCount(), log);
    ASSERT_TRUE(demo) << log.str();
    std::vector<std::uint8_t> rgb;
    std::string error;
    ASSERT_TRUE(app::renderPictureOffscreen({*demo, *catalogue, 0.5, 200, 160}, rgb, error)) << error;
    ASSERT_EQ(rgb.size(), 200u * 160u * 3u);
    int brown = 0, sky = 0;
    for (std::size_t i = 0; i < rgb.size(); i += 3) {
        const int r = rgb[i], g = rgb[i + 1], b = rgb[i + 2];
        brown += r > 60 && r > g + 20 && g > b + 15;
        sky += std::abs(r - 77) < 4 && std::abs(g - 102) < 4 && std::abs(b - 128) < 4;
    }
    EXPECT_GT(brown, 200 * 160 / 10);
    EXPECT_GT(sky, 200 * 160 / 10);

    // An empty scene shows no track.
    ASSERT_TRUE(app::renderPictureOffscreen({scene::SceneFileData{}, *catalogue, 0.0, 64, 64}, rgb, error));
    brown = 0;
    for (std::size_t i = 0; i < rgb.size(); i += 3) brown += rgb[i] > rgb[i + 1] + 20;
    EXPECT_EQ(brown, 0);
}

}  // namespace
#endif
