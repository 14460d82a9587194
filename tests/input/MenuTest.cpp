#include "SceneFixture.h"
#include "input/Keyboard.h"
#include "input/Menu.h"
#include "support/TestSupport.h"

using namespace scene;
using namespace input;
using namespace run;

namespace scenetest {
namespace {

const std::string QUESTION = "do you save your changes? [y/n/c] ";

class MenuTest : public SceneFixture {
protected:
    MenuTest() : here(dir.path()) {}
    void buildSomething() {
        handleKey(ctx, KEY_ENTER);
        handleKey(ctx, 'o');
    }
    testsupport::TempDir dir;
    testsupport::ScopedChdir here;
};

TEST_F(MenuTest, SaveWritesTheFileAndSaysSo) {
    buildSomething();
    input("first.tumbalon\n");
    handleMenu(ctx, MENU_SAVE);
    EXPECT_EQ(out.str(), "save to (filename): save done\n");
    EXPECT_EQ(dir.read("first.tumbalon").substr(0, 3), "-1 ");
}

TEST_F(MenuTest, LoadAsksUntilTheAnswerIsExact) {
    buildSomething();
    input("x Y n missing.tumbalon");
    handleMenu(ctx, MENU_LOAD);
    EXPECT_EQ(out.str(), QUESTION + QUESTION + QUESTION + "load from (filename): " +
                             "Can not open object File \"missing.tumbalon\" !\nload done\n");
    // A mistyped name loses nothing.
    expectConsistent();
    EXPECT_EQ(model.placedCount(), 1);
    EXPECT_EQ(klotzActors(), 1);
    EXPECT_EQ(ballActors(), 1);
}

TEST_F(MenuTest, LoadReplacesTheScene) {
    buildSomething();
    input("kept.tumbalon");
    handleMenu(ctx, MENU_SAVE);
    handleKey(ctx, KEY_ENTER);
    out.str("");
    input("n kept.tumbalon");
    handleMenu(ctx, MENU_LOAD);
    EXPECT_EQ(out.str(), QUESTION + "load from (filename): load done\n");
    EXPECT_EQ(model.placedCount(), 1);
    EXPECT_EQ(model.ballCount(), 1);
    EXPECT_EQ(klotzActors(), 1);
    EXPECT_EQ(ballActors(), 1);
}

TEST_F(MenuTest, CancelLeavesTheSceneAlone) {
    buildSomething();
    input("c");
    handleMenu(ctx, MENU_LOAD);
    input("c");
    handleMenu(ctx, MENU_CLEAR);
    EXPECT_EQ(out.str(), QUESTION + "load canceled\n" + QUESTION + "clearing canceled\n");
    EXPECT_EQ(model.placedCount(), 1);
    EXPECT_EQ(model.ballCount(), 1);
}

TEST_F(MenuTest, ClearWithSavingDoesNotSaySaveDone) {
    buildSomething();
    handleKey(ctx, 'm');
    input("y before-clear.tumbalon");
    handleMenu(ctx, MENU_CLEAR);
    EXPECT_EQ(out.str(), QUESTION + "save to (filename): scene cleared\n");
    EXPECT_TRUE(model.empty());
    EXPECT_FALSE(state.wireframe);
    EXPECT_EQ(ui.calls.back(), "fill");
    // The scene as it was before clearing: one ball start and one klotz.
    const std::string saved = dir.read("before-clear.tumbalon");
    EXPECT_NE(saved.find("\n1 10 10 \n"), std::string::npos);
    EXPECT_NE(saved.find("\n1 0 \n"), std::string::npos);
}

TEST_F(MenuTest, AFileNameEndsAtABlank) {
    input("my scene.tumbalon n");
    handleMenu(ctx, MENU_SAVE);
    EXPECT_NO_THROW(dir.read("my"));
    out.str("");
    handleMenu(ctx, MENU_CLEAR);  // "scene.tumbalon" is the first answer
    EXPECT_EQ(out.str(), QUESTION + QUESTION + "scene cleared\n");
}

TEST_F(MenuTest, EndOfInputCancelsEveryPrompt) {
    buildSomething();
    const struct {
        int value;
        std::string answers;
        std::string said;
    } cases[] = {
        {MENU_SAVE, "", "save to (filename): \nno file name given, save canceled\n"},
        {MENU_LOAD, "", QUESTION + "\nload canceled\n"},
        {MENU_LOAD, "x", QUESTION + QUESTION + "\nload canceled\n"},
        {MENU_LOAD, "n", QUESTION + "load from (filename): \nno file name given, load canceled\n"},
        {MENU_LOAD, "y", QUESTION + "save to (filename): \nno file name given, load canceled\n"},
        {MENU_CLEAR, "", QUESTION + "\nclearing canceled\n"},
        {MENU_CLEAR, "y", QUESTION + "save to (filename): \nno file name given, clearing canceled\n"},
    };
    for (const auto& c : cases) {
        out.str("");
        input(c.answers);
        handleMenu(ctx, c.value);
        EXPECT_EQ(out.str(), c.said) << c.value << " " << c.answers;
        EXPECT_EQ(model.placedCount(), 1);
        EXPECT_EQ(model.ballCount(), 1);
    }
}

TEST_F(MenuTest, AFailedSaveNeitherClaimsSuccessNorLosesTheScene) {
    buildSomething();
    input("no/such/folder/x.tumbalon");
    handleMenu(ctx, MENU_SAVE);
    EXPECT_EQ(out.str().find("save done"), std::string::npos);
    EXPECT_NE(out.str().find("Can not save scene file \"no/such/folder/x.tumbalon\""), std::string::npos);

    out.str("");
    input("y no/such/folder/x.tumbalon");
    handleMenu(ctx, MENU_CLEAR);
    EXPECT_EQ(out.str().substr(out.str().size() - 18), "clearing canceled\n");
    EXPECT_EQ(model.placedCount(), 1);
}

TEST_F(MenuTest, EndOfInputCancelsOnlyThePromptItMeets) {
    buildSomething();
    // Input that ends and comes back, as a terminal's does after Ctrl-D.
    std::stringstream console;
    CommandContext terminal{state,   model,   catalogue, world, camera, palette, particles,
                            ui,      session, runState,  ctx.now, out, console};
    handleMenu(terminal, MENU_SAVE);
    EXPECT_EQ(out.str(), "save to (filename): \nno file name given, save canceled\n");
    out.str("");
    console << "back.tumbalon\n";
    handleMenu(terminal, MENU_SAVE);
    EXPECT_EQ(out.str(), "save to (filename): save done\n");

    out.str("");
    handleMenu(terminal, MENU_CLEAR);
    console << "n\n";
    handleMenu(terminal, MENU_CLEAR);
    EXPECT_EQ(out.str(), QUESTION + "\nclearing canceled\n" + QUESTION + "scene cleared\n");
    EXPECT_TRUE(model.empty());
}

TEST_F(MenuTest, FileCommandsOnlyInBuildingModeWireframeAlways) {
    handleKey(ctx, 'l');
    input("y a.tumbalon");
    handleMenu(ctx, MENU_SAVE);
    handleMenu(ctx, MENU_LOAD);
    handleMenu(ctx, MENU_CLEAR);
    handleMenu(ctx, 7);
    EXPECT_EQ(out.str(), "");
    handleMenu(ctx, MENU_TOGGLE_WIREFRAME);
    EXPECT_TRUE(state.wireframe);
    handleKey(ctx, 'l');
    handleMenu(ctx, MENU_TOGGLE_WIREFRAME);
    EXPECT_FALSE(state.wireframe);
    EXPECT_EQ(ui.calls, (std::vector<std::string>{"controls hidden", "lines", "controls shown", "fill"}));
}

}  // namespace
}  // namespace scenetest
