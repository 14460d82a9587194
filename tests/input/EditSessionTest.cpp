#include "SceneFixture.h"
#include "physics/Actors.h"
#include "input/Editing.h"
#include "input/EditSession.h"
#include "input/Keyboard.h"
#include "input/Menu.h"
#include "scene/SceneFile.h"
#include "input/SpecialKeys.h"
#include "support/TestSupport.h"

using namespace scene;
using namespace input;
using namespace run;

namespace scenetest {
namespace {

class EditSessionTest : public SceneFixture {
protected:
    EditSessionTest() : here(dir.path()) { camera.direction = glm::normalize(glm::vec3(0.3f, -0.5f, -1.0f)); }

    // The file saving writes now, read back.
    std::string saved() {
        EXPECT_TRUE(saveScene(model, state, "check.tumbalon", out));
        return dir.read("check.tumbalon");
    }
    void expectActorsMatchModel() {
        expectConsistent();
        EXPECT_EQ(klotzActors(), model.placedCount());
        EXPECT_EQ(ballActors(), model.ballCount());
        for (int i = 0; i < model.placedCount(); ++i)
            EXPECT_EQ(physics::poseToMatrix(world.getGlobalPose(model.placedActors()[i])), model.placedPoses()[i]);
    }

    testsupport::TempDir dir;
    testsupport::ScopedChdir here;
};

TEST_F(EditSessionTest, EveryKindOfStepUndoesToTheEmptySceneAndRedoesToTheEnd) {
    std::vector<std::string> before;  // the saved file before each step
    const auto step = [&](const std::function<void()>& change) {
        before.push_back(saved());
        change();
    };
    step([&] { handleKey(ctx, KEY_ENTER); });
    step([&] { handleKey(ctx, 'o'); });
    handleKey(ctx, KEY_SPACE);
    for (unsigned char key : {'z', 'i', 'u', 'j', 'h', 'k', 'h'}) step([&] { handleKey(ctx, key); });
    step([&] { handleSpecialKey(ctx, KEY_UP); });
    handleKey(ctx, KEY_SPACE);
    handleKey(ctx, 'm');
    handleKey(ctx, 'w');
    palette.selectedType = 1;
    step([&] { handleKey(ctx, KEY_ENTER); });
    handleKey(ctx, KEY_CTRL_C);
    handleSpecialKey(ctx, KEY_LEFT);
    step([&] { handleKey(ctx, KEY_CTRL_V); });
    step([&] { handleKey(ctx, 'o'); });
    step([&] { handleKey(ctx, 'o'); });
    handleKey(ctx, KEY_SPACE);
    step([&] { handleKey(ctx, KEY_BACKSPACE); });
    dir.write("demo1.tumbalon", before[4]);
    input("mine.tumbalon");
    handleMenu(ctx, MENU_SAVE);
    input("n");
    step([&] { handleMenu(ctx, MENU_CLEAR); });
    input("n mine.tumbalon");
    step([&] { handleMenu(ctx, MENU_LOAD); });
    step([&] { handleSpecialKey(ctx, KEY_F5); });
    handleKey(ctx, 'm');
    const std::string end = saved();
    EXPECT_EQ(end, before[4]);
    ASSERT_EQ(session.history.undoSteps(), before.size());

    std::vector<std::string> seen{end};
    for (std::size_t n = before.size(); n-- > 0;) {
        handleKey(ctx, KEY_CTRL_Z);
        seen.push_back(saved());
        EXPECT_EQ(seen.back(), before[n]) << "undoing step " << n;
        expectActorsMatchModel();
    }
    EXPECT_FALSE(undoStep(ctx));
    EXPECT_TRUE(model.empty());
    for (std::size_t n = seen.size() - 1; n-- > 0;) {
        handleKey(ctx, KEY_CTRL_Y);
        EXPECT_EQ(saved(), seen[n]) << "redoing to state " << n;
        expectActorsMatchModel();
    }
    EXPECT_FALSE(redoStep(ctx));
    EXPECT_EQ(saved(), end);
    EXPECT_TRUE(state.wireframe);  // undo is no change of the display
}

TEST_F(EditSessionTest, UndoAfterLoadingOverAConstructionBringsItBack) {
    handleKey(ctx, KEY_ENTER);
    handleKey(ctx, KEY_ENTER);
    input("other.tumbalon");
    handleMenu(ctx, MENU_SAVE);
    select(3, 4);
    handleKey(ctx, 'o');
    handleKey(ctx, KEY_ENTER);
    const std::string construction = saved();

    input("n other.tumbalon");
    handleMenu(ctx, MENU_LOAD);
    EXPECT_EQ(model.placedCount(), 2);
    handleKey(ctx, KEY_CTRL_Z);
    EXPECT_EQ(saved(), construction);
    expectActorsMatchModel();
    EXPECT_TRUE(hasUnsavedChanges(model, state, session));
}

TEST_F(EditSessionTest, SessionKeysDoNothingDuringASimulation) {
    handleKey(ctx, KEY_ENTER);
    handleKey(ctx, KEY_CTRL_C);
    handleKey(ctx, 'l');
    for (unsigned char key : {KEY_CTRL_Z, KEY_CTRL_Y, KEY_CTRL_V, KEY_CTRL_S}) handleKey(ctx, key);
    EXPECT_EQ(model.placedCount(), 1);
    EXPECT_EQ(out.str(), "");  // not even echoed
    handleKey(ctx, 'l');
    handleKey(ctx, KEY_CTRL_Z);
    EXPECT_TRUE(model.empty());
}

TEST_F(EditSessionTest, ADemoLeavesCtrlSNoFileToWriteOver) {
    handleKey(ctx, KEY_ENTER);
    input("mine.tumbalon");
    handleKey(ctx, KEY_CTRL_S);
    dir.write("demo1.tumbalon", dir.read("mine.tumbalon"));
    handleSpecialKey(ctx, KEY_F5);
    out.str("");
    input("");
    handleKey(ctx, KEY_CTRL_S);
    EXPECT_EQ(out.str(), "save to (filename): \nno file name given, save canceled\n");
}

TEST_F(EditSessionTest, OnlyUnsavedChangesAreWrittenAtExit) {
    EXPECT_FALSE(autosave(model, state, session, out));
    handleKey(ctx, KEY_ENTER);
    const std::string scene = saved();
    EXPECT_TRUE(autosave(model, state, session, out));
    EXPECT_EQ(dir.read(AUTOSAVE_FILE), scene);

    input("mine.tumbalon");
    handleMenu(ctx, MENU_SAVE);
    handleSpecialKey(ctx, KEY_RIGHT);  // the selection alone is no change
    EXPECT_FALSE(hasUnsavedChanges(model, state, session));
}

}  // namespace
}  // namespace scenetest
