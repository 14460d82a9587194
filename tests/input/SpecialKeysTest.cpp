#include "support/SceneModelAccess.h"
#include "SceneFixture.h"
#include "input/Editing.h"
#include "input/Keyboard.h"
#include "scene/SceneFile.h"
#include "input/SpecialKeys.h"
#include "support/TestSupport.h"

using namespace scene;
using namespace input;
using namespace run;

namespace scenetest {
namespace {

class SpecialKeysTest : public SceneFixture {};

TEST_F(SpecialKeysTest, ArrowsMoveTheSelectionOrTheSelectedKlotzInBuildingModeOnly) {
    camera.direction = {0.0f, 0.0f, -1.0f};
    handleSpecialKey(ctx, KEY_UP);
    EXPECT_EQ(state.selectedColumn, 11);
    handleKey(ctx, KEY_ENTER);
    handleKey(ctx, KEY_SPACE);
    handleSpecialKey(ctx, KEY_LEFT);
    EXPECT_EQ(state.selectedRow, 9);
    EXPECT_EQ(stackAt(9, 11), std::vector<int>{0});
    EXPECT_TRUE(state.klotzSelected);

    handleKey(ctx, 'l');
    handleSpecialKey(ctx, KEY_LEFT);
    EXPECT_EQ(state.selectedRow, 9);
}

TEST_F(SpecialKeysTest, HelpAndPagesWorkInBothModes) {
    catalogue.klotzTypes.resize(9);
    catalogue.typeDisplayLists.resize(9);
    palette.init(9, 500);  // rows of 4
    handleKey(ctx, 'l');
    handleSpecialKey(ctx, KEY_F1);
    handleSpecialKey(ctx, KEY_PAGE_DOWN);
    EXPECT_EQ(palette.rowStart, 4);
    handleSpecialKey(ctx, KEY_PAGE_UP);
    EXPECT_EQ(palette.rowStart, 0);
    handleSpecialKey(ctx, 3);   // F3: nothing
    handleSpecialKey(ctx, 42);  // nothing
    EXPECT_EQ(ui.calls, (std::vector<std::string>{"controls hidden", "help"}));
    EXPECT_EQ(out.str(), "");
}

TEST_F(SpecialKeysTest, F2RebuildsEveryListAndRepointsEachKlotzToItsType) {
    palette.selectedType = 1;
    handleKey(ctx, KEY_ENTER);
    palette.selectedType = 0;
    select(0, 0);
    handleKey(ctx, KEY_ENTER);
    handleSpecialKey(ctx, KEY_F2);
    EXPECT_TRUE(state.smoothShading);
    EXPECT_EQ(ui.calls, (std::vector<std::string>{"smooth", "replace 0 1", "replace 1 2"}));
    EXPECT_EQ(catalogue.typeDisplayLists, (std::vector<int>{100, 101}));
    EXPECT_EQ(model.placedDisplayLists(), (std::vector<int>{101, 100}));

    handleKey(ctx, 'l');
    handleSpecialKey(ctx, KEY_F2);  // in simulation mode too
    EXPECT_FALSE(state.smoothShading);
    EXPECT_EQ(model.placedDisplayLists(), (std::vector<int>{103, 102}));

    // Saving still writes catalogue indices, even when the lists share ids.
    catalogue.typeDisplayLists = {0, 0};
    scene::SceneModelAccess::placedDisplayLists(model) = {0, 0};
    const std::string text = formatScene(model, state);
    EXPECT_NE(text.find("\n2 1 0 \n"), std::string::npos);
}

TEST_F(SpecialKeysTest, DemoKeysReplaceTheSceneInBuildingModeOnly) {
    testsupport::TempDir dir;
    testsupport::ScopedChdir here(dir.path());
    handleKey(ctx, KEY_ENTER);
    handleKey(ctx, 'm');
    select(4, 5);
    ASSERT_TRUE(saveScene(ctx, "demo1.tumbalon"));
    handleKey(ctx, 'o');
    handleKey(ctx, KEY_ENTER);

    handleKey(ctx, 'l');
    handleSpecialKey(ctx, KEY_F5);
    EXPECT_EQ(model.placedCount(), 2);
    handleKey(ctx, 'l');

    out.str("");  // the run's summary
    handleSpecialKey(ctx, KEY_F5);
    EXPECT_EQ(out.str(), "tried loading jollyride.tumbalon\n");
    EXPECT_EQ(model.placedCount(), 1);
    EXPECT_EQ(model.ballCount(), 0);
    EXPECT_EQ(state.selectedRow, 4);
    EXPECT_FALSE(state.wireframe);
    EXPECT_EQ(ui.calls.back(), "fill");
    EXPECT_EQ(klotzActors(), 1);
    EXPECT_EQ(ballActors(), 0);

    out.str("");
    handleSpecialKey(ctx, KEY_F8);  // no such file
    EXPECT_EQ(out.str(), "Can not open object File \"demo4.tumbalon\" !\ntried loading quib7.tumbalon\n");
    EXPECT_EQ(model.placedCount(), 1);  // the scene shown stays
    EXPECT_EQ(klotzActors(), 1);
    expectConsistent();
}

TEST_F(SpecialKeysTest, MouseDragTurnsTheView) {
    camera.direction = {0.0f, 0.0f, -1.0f};
    camera.recomputeRight();
    handleMouseButton(ctx, 0, 0, 100, 100);
    EXPECT_EQ(camera.direction, glm::vec3(0.0f, 0.0f, -1.0f));
    for (int x = 90; x >= -170; x -= 10) handleMouseMotion(ctx, x, 100);
    EXPECT_NEAR(camera.direction.x, -1.0f, 1e-4f);
    EXPECT_NEAR(camera.direction.z, 0.0f, 1e-3f);
}

}  // namespace
}  // namespace scenetest
