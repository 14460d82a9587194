#include "support/SceneModelAccess.h"
#include <csignal>
#include <filesystem>
#include <regex>

#include <sys/resource.h>
#include <sys/stat.h>

#include "input/SceneFixture.h"
#include "klotz/Catalogue.h"
#include "input/Editing.h"
#include "scene/SceneFile.h"
#include "support/TestSupport.h"

using namespace scene;
using namespace input;
using namespace run;

namespace scenetest {
namespace {

std::string repeat(const std::string& s, int n) {
    std::string r;
    for (int i = 0; i < n; ++i) r += s;
    return r;
}

std::vector<std::string> tokens(const std::string& text) {
    std::istringstream in(text);
    std::vector<std::string> all;
    for (std::string t; in >> t;) all.push_back(t);
    return all;
}

std::string join(const std::vector<std::string>& all) {
    std::string text;
    for (const std::string& t : all) text += t + " ";
    return text;
}

class SceneFileTest : public SceneFixture {
protected:
    // Balls on (1, 2) and (3, 4) in that order; kloetze 0, 1, 2 stacked on
    // (5, 5), the middle one of type 1 and turned; selection (7, 8).
    void buildSample() {
        select(1, 2);
        setBallStart(ctx);
        select(3, 4);
        setBallStart(ctx);
        select(5, 5);
        insertKlotz(ctx);
        palette.selectedType = 1;
        insertKlotz(ctx);
        rotateTopKlotz(ctx, {0.0f, 1.0f, 0.0f}, 1);
        rotateTopKlotz(ctx, {1.0f, 0.0f, 0.0f}, -1);
        palette.selectedType = 0;
        insertKlotz(ctx);
        select(7, 8);
    }
    void clear() { clearScene(model, state, world); }
    bool load(const std::string& text) { return loadSceneText(model, state, catalogue, world, text, "bad", out); }
    void expectEmptyAndClean() {
        EXPECT_TRUE(model.empty());
        EXPECT_EQ(model.ballCount(), 0);
        EXPECT_EQ(model.placedActors().size(), 0u);
        for (const auto& stack : model.cellStack()) EXPECT_TRUE(stack.empty());
        for (int b : model.cellBallStart()) EXPECT_EQ(b, -1);
        EXPECT_EQ(klotzActors(), 0);
        EXPECT_EQ(ballActors(), 0);
        expectConsistent();
    }
};

TEST_F(SceneFileTest, EmptySceneIsWrittenByteForByte) {
    testsupport::TempDir dir;
    ASSERT_TRUE(saveScene(ctx, dir.file("empty.tumbalon")));
    const std::string expected =
        repeat("-1 ", 400) + "\n" + "0 \n" + repeat("0 ", 400) + "\n" + "0 \n" + "\n" + "10 10 ";
    EXPECT_EQ(dir.read("empty.tumbalon"), expected);
    EXPECT_EQ(out.str(), "");

    select(0, 0);
    ASSERT_TRUE(replaceScene(ctx, dir.file("empty.tumbalon")));
    EXPECT_EQ(state.selectedRow, 10);
    EXPECT_EQ(state.selectedColumn, 10);
    EXPECT_TRUE(model.empty());
    EXPECT_TRUE(std::filesystem::is_empty(dir.path()) == false);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);  // no temporary left
}

TEST_F(SceneFileTest, BallsAndAStackAreWrittenAsDesigned) {
    buildSample();
    const std::string text = formatScene(model, state);
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    ASSERT_EQ(lines.size(), 6u);
    EXPECT_EQ(lines[1], "2 1 2 3 4 ");
    EXPECT_NE(lines[2].find(repeat("0 ", 5) + "3 0 1 2 " + repeat("0 ", 294)), std::string::npos);
    EXPECT_EQ(lines[3], "3 0 1 0 ");
    EXPECT_EQ(lines[5], "7 8 ");
    EXPECT_TRUE(std::regex_match(lines[4], std::regex("(-?\\d\\.\\d{13}e[-+]\\d{2,3} ){48}")));
    EXPECT_NE(lines[4].find("2.7500000000000e+02 2.5000000000000e+01 -2.7500000000000e+02 1.0000000000000e+00 "),
              std::string::npos);
    EXPECT_EQ(text.back(), ' ');
}

TEST_F(SceneFileTest, SaveLoadSaveGivesTheSameFileAndTheSameModel) {
    testsupport::TempDir dir;
    buildSample();
    ASSERT_TRUE(saveScene(ctx, dir.file("a.tumbalon")));
    const SceneModel before = model;
    clear();
    select(0, 0);
    ASSERT_TRUE(replaceScene(ctx, dir.file("a.tumbalon")));
    EXPECT_EQ(model.cellBallStart(), before.cellBallStart());
    EXPECT_EQ(model.cellStack(), before.cellStack());
    EXPECT_EQ(model.placedPoses(), before.placedPoses());
    EXPECT_EQ(model.placedTypes(), before.placedTypes());
    EXPECT_EQ(model.placedDisplayLists(), before.placedDisplayLists());
    EXPECT_EQ(state.selectedRow, 7);
    EXPECT_EQ(state.selectedColumn, 8);
    EXPECT_EQ(klotzActors(), 3);
    EXPECT_EQ(ballActors(), 2);
    for (int j = 0; j < 3; ++j) {
        const physics::Pose pose = world.getGlobalPose(model.placedActors()[j]);
        const PoseMatrix m = model.placedPoses()[j];
        for (int i = 0; i < 3; ++i)
            for (int k = 0; k < 3; ++k) EXPECT_NEAR(pose.rotation[3 * i + k], m[4 * k + i], 1e-6f);
        EXPECT_EQ(pose.translation, glm::vec3(m[12], m[13], m[14]));
    }
    expectConsistent();
    ASSERT_TRUE(saveScene(ctx, dir.file("b.tumbalon")));
    EXPECT_EQ(dir.read("a.tumbalon"), dir.read("b.tumbalon"));
    EXPECT_EQ(out.str(), "");
}

TEST_F(SceneFileTest, ReadingIgnoresLayoutAndExponentWidth) {
    buildSample();
    const std::string canonical = formatScene(model, state);
    std::string other;
    int n = 0;
    for (const std::string& t : tokens(canonical)) {
        std::string value = std::regex_replace(t, std::regex("e([-+])(\\d\\d)$"), "e$010$2");
        other += value + (++n % 7 == 0 ? "\r\n" : n % 3 == 0 ? "\t" : "   ");
    }
    ASSERT_NE(other.find("e+001"), std::string::npos);
    clear();
    ASSERT_TRUE(load(other)) << out.str();
    EXPECT_EQ(formatScene(model, state), canonical);
}

TEST_F(SceneFileTest, MissingFileIsReportedAndLeavesTheSceneEmpty) {
    EXPECT_FALSE(replaceScene(ctx, "/nonexistent/none.tumbalon"));
    EXPECT_EQ(out.str(), "Can not open object File \"/nonexistent/none.tumbalon\" !\n");
    expectEmptyAndClean();
}

// Refused before reading: /dev/zero would never end, a FIFO would wait.
TEST_F(SceneFileTest, WhatIsNotARegularFileIsRefusedUnread) {
    testsupport::TempDir dir;
    ASSERT_EQ(::mkfifo(dir.file("fifo").c_str(), 0600), 0);
    for (const std::string& name : {std::string("/dev/zero"), dir.path(), dir.file("fifo")}) {
        out.str("");
        EXPECT_FALSE(replaceScene(ctx, name));
        EXPECT_EQ(out.str(), "\"" + name + "\" is not a regular file\n");
        expectEmptyAndClean();
    }
}

TEST_F(SceneFileTest, MalformedFilesAreRefusedBeforeAnythingIsBuilt) {
    buildSample();
    const std::vector<std::string> good = tokens(formatScene(model, state));
    clear();
    ASSERT_EQ(good.size(), 400u + 5 + 400 + 3 + 4 + 48 + 2);
    const std::size_t ballCount = 400, stacks = 405, klotzCount = 808, poses = 812, selection = 860;
    const std::size_t cell12 = 1 * 20 + 2, cell105 = stacks + 105;

    struct Case {
        const char* name;
        std::function<void(std::vector<std::string>&)> change;
        const char* where;
    };
    const std::vector<Case> cases = {
        {"empty file", [](auto& t) { t.clear(); }, "section 1 (ball start per cell), number 1:"},
        {"truncated selection", [](auto& t) { t.pop_back(); }, "section 6 (selection), number 862:"},
        {"truncated poses", [&](auto& t) { t.resize(poses + 20); }, "section 5 (klotz poses), number 833:"},
        {"not a number", [](auto& t) { t[4] = "1x"; }, "section 1 (ball start per cell), number 5:"},
        {"terminal escape", [](auto& t) { t[4] = "\x1b[2J\x9b"; }, "number 5: \"\\x1b[2J\\x9b\" is not an integer"},
        {"fraction for an integer", [&](auto& t) { t[ballCount + 1] = "1.5"; }, "section 2"},
        {"too many balls", [&](auto& t) { t[ballCount] = "401"; }, "section 2 (ball starting points), number 401:"},
        {"ball off the grid", [&](auto& t) { t[ballCount + 3] = "20"; }, "section 2 (ball starting points), number 404:"},
        {"cell names a missing ball", [&](auto& t) { t[0] = "2"; }, "section 1 (ball start per cell), number 1:"},
        {"cell names another cell's ball", [&](auto& t) { t[0] = "1"; }, "section 1 (ball start per cell), number 1:"},
        {"ball not named by its cell", [&](auto& t) { t[cell12] = "-1"; }, "section 2 (ball starting points), number 402:"},
        {"huge stack", [&](auto& t) { t[stacks] = "2000000000"; }, "section 3 (cell stacks), number 406:"},
        {"klotz in two places", [&](auto& t) { t[cell105 + 3] = "1"; }, "section 3 (cell stacks), number 514:"},
        {"klotz beyond the list", [&](auto& t) { t[cell105 + 3] = "3"; }, "section 3 (cell stacks), number 514:"},
        {"negative klotz index", [&](auto& t) { t[cell105 + 1] = "-1"; }, "section 3"},
        {"huge klotz count", [&](auto& t) { t[klotzCount] = "100000000"; }, "section 4 (klotz types), number 809:"},
        {"type outside the catalogue", [&](auto& t) { t[klotzCount + 2] = "2"; }, "section 4 (klotz types), number 811:"},
        {"negative type", [&](auto& t) { t[klotzCount + 1] = "-1"; }, "section 4"},
        {"not finite", [&](auto& t) { t[poses + 12] = "nan"; }, "section 5 (klotz poses), number 825:"},
        {"infinite", [&](auto& t) { t[poses + 13] = "inf"; }, "section 5"},
        {"beyond float", [&](auto& t) { t[poses + 14] = "1e39"; }, "section 5"},
        {"sheared pose", [&](auto& t) { t[poses + 16] = "2.0"; }, "section 5 (klotz poses), number 829:"},
        {"mirrored pose", [&](auto& t) { t[poses] = "-1.0"; }, "section 5 (klotz poses), number 813:"},
        {"selection off the grid", [&](auto& t) { t[selection + 1] = "20"; }, "section 6 (selection), number 861:"},
        {"klotz in no stack", [&](auto& t) {  // cell 105 holds 2 of the 3
             t.erase(t.begin() + cell105 + 3);
             t[cell105] = "2";
         }, "klotz 2 stands in no stack"},
    };
    for (const Case& c : cases) {
        std::vector<std::string> t = good;
        c.change(t);
        out.str("");
        EXPECT_FALSE(load(join(t))) << c.name;
        EXPECT_EQ(out.str().rfind("scene file \"bad\" refused: ", 0), 0u) << c.name << ": " << out.str();
        EXPECT_NE(out.str().find(c.where), std::string::npos) << c.name << ": " << out.str();
        EXPECT_EQ(out.str().back(), '\n');
        expectEmptyAndClean();
    }
    out.str("");
    EXPECT_TRUE(load(join(good) + " 99 trailing words")) << out.str();  // after section 6: ignored
}

TEST_F(SceneFileTest, NegativeCountsMeanNoEntries) {
    std::string text = repeat("-1 ", 400) + "\n-3 \n-2 " + repeat("0 ", 399) + "\n-7 \n\n4 5 ";
    EXPECT_TRUE(load(text)) << out.str();
    EXPECT_TRUE(model.empty());
    EXPECT_EQ(state.selectedRow, 4);
    expectConsistent();
}

TEST_F(SceneFileTest, FailedSaveKeepsTheOldFile) {
    testsupport::TempDir dir;
    const std::string target = dir.file("old.tumbalon");
    dir.write("old.tumbalon", "previous content");
    buildSample();

    // A file-size limit makes the write fail part-way, as a full disk would.
    rlimit saved{};
    getrlimit(RLIMIT_FSIZE, &saved);
    rlimit small = saved;
    small.rlim_cur = 1000;
    auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    setrlimit(RLIMIT_FSIZE, &small);
    const bool saved1 = saveScene(ctx, target);
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previousHandler);

    EXPECT_FALSE(saved1);
    EXPECT_EQ(dir.read("old.tumbalon"), "previous content");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
    EXPECT_EQ(out.str().rfind("Can not save scene file \"" + target + "\": ", 0), 0u) << out.str();

    out.str("");
    std::filesystem::create_directory(dir.file("folder"));
    EXPECT_FALSE(saveScene(ctx, dir.file("folder")));
    EXPECT_NE(out.str().find("folder\""), std::string::npos);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 2);

    out.str("");
    EXPECT_FALSE(saveScene(ctx, dir.file("no/such/folder.tumbalon")));
    EXPECT_NE(out.str().find("no/such/folder.tumbalon"), std::string::npos);
}

}  // namespace
}  // namespace scenetest

namespace scenetest {
namespace {

// The shipped demos load with the shipped catalogue and save back unchanged.
TEST_F(SceneFileTest, ShippedDemosLoadCleanly) {
    testsupport::ScopedChdir data(testsupport::dataDir());
    std::ostringstream loaderLog;
    catalogue = klotz::KlotzCatalogue();
    klotz::loadCatalogueList(catalogue, loaderLog);
    klotz::loadKloetze(catalogue, loaderLog);
    for (int t = 0; t < catalogue.typeCount(); ++t) catalogue.typeDisplayLists[t] = t + 1;
    ASSERT_GT(catalogue.typeCount(), 0) << loaderLog.str();
    for (const char* name : {"demo1.tumbalon", "demo2.tumbalon", "demo3.tumbalon", "demo4.tumbalon"}) {
        clearScene(model, state, world);
        scene::SceneModelAccess::typeMeshes(model).clear();
        ASSERT_TRUE(replaceScene(ctx, name)) << out.str();
        EXPECT_FALSE(model.empty()) << name;
        expectConsistent();
        EXPECT_EQ(formatScene(model, state), testsupport::readFile(name)) << name;
    }
    EXPECT_EQ(out.str(), "");
}

}  // namespace
}  // namespace scenetest
