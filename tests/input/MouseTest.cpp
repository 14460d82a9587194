#include <glm/gtc/matrix_transform.hpp>

#include "SceneFixture.h"
#include "input/EditSession.h"
#include "input/Editing.h"
#include "input/Feedback.h"
#include "input/Keyboard.h"
#include "input/Mouse.h"
#include "scene/SceneFile.h"

using namespace scene;
using namespace input;

namespace scenetest {
namespace {

constexpr int W = 500;
constexpr int H = 500;

class MouseTest : public SceneFixture {
protected:
    MouseTest() { camera.setStartPose(); }

    // The pixel where GL draws the middle of a cell's top.
    glm::ivec2 pixelOf(int row, int column, int level = 0) const {
        const glm::mat4 projection = glm::perspective(glm::radians(60.0f), 1.0f, 2.0f, 5000.0f);
        const glm::mat4 look = glm::lookAt(camera.position, camera.position + camera.direction, glm::vec3(0, 1, 0));
        const glm::vec4 c = projection * look * glm::vec4(row * 50 + 25, level * 50, -(column * 50 + 25), 1.0f);
        return {static_cast<int>((c.x / c.w + 1.0f) * 0.5f * W), static_cast<int>((1.0f - c.y / c.w) * 0.5f * H)};
    }
    PointerAction click(glm::ivec2 at, int button = BUTTON_LEFT, bool shift = false, glm::ivec2 releaseAt = {-1, -1}) {
        if (releaseAt.x < 0) releaseAt = at;
        pointerButton(ctx, pointer, button, BUTTON_DOWN, at.x, at.y, shift, W, H);
        return pointerButton(ctx, pointer, button, BUTTON_UP, releaseAt.x, releaseAt.y, shift, W, H);
    }
    std::string sceneText() const { return formatScene(model, state); }

    Pointer pointer;
};

TEST_F(MouseTest, AClickSelectsTheCellUnderThePointerADragDoesNot) {
    EXPECT_EQ(click(pixelOf(8, 9)), PointerAction::SELECTED);
    EXPECT_EQ(state.selectedRow, 8);
    EXPECT_EQ(state.selectedColumn, 9);
    EXPECT_EQ(click(pixelOf(12, 11), BUTTON_LEFT, false, pixelOf(12, 11) + glm::ivec2(20, 0)), PointerAction::NONE);
    EXPECT_EQ(state.selectedRow, 8);  // a drag only looks around
    EXPECT_EQ(session.history.undoSteps(), 0u);  // selecting is no change
}

TEST_F(MouseTest, APlacingClickIsEnterOnThatCellWithTheGhostsTurn) {
    // The reference: ENTER on (9, 11) after turning the ghost once with k.
    select(9, 11);
    handleKey(ctx, 'k');
    handleKey(ctx, KEY_ENTER);
    const std::string byKeys = sceneText();
    ASSERT_TRUE(undoStep(ctx));
    ASSERT_EQ(model.placedCount(), 0);

    select(10, 10);
    EXPECT_EQ(click(pixelOf(9, 11), BUTTON_LEFT, true), PointerAction::PLACED);
    EXPECT_EQ(sceneText(), byKeys);
    EXPECT_NEAR(model.placedPoses()[0][2], -1.0f, 1e-6f);  // x turned to -z: +90 about y

    // The right button places too, on top of the stack it points at.
    EXPECT_EQ(click(pixelOf(9, 11, 1), BUTTON_RIGHT), PointerAction::PLACED);
    EXPECT_EQ(stackAt(9, 11).size(), 2u);
    ASSERT_TRUE(undoStep(ctx));  // one undo step per placing click
    EXPECT_EQ(stackAt(9, 11).size(), 1u);
    expectConsistent();
}

TEST_F(MouseTest, NothingHappensDuringARunOrWithAKlotzSelected) {
    select(10, 10);
    handleKey(ctx, KEY_ENTER);
    handleKey(ctx, KEY_SPACE);
    ASSERT_TRUE(state.klotzSelected);
    click(pixelOf(10, 10, 1));  // its own cell: still selected
    EXPECT_TRUE(state.klotzSelected);
    click(pixelOf(9, 12));  // another cell: the selection moves, the klotz stays
    EXPECT_EQ(state.selectedRow, 9);
    EXPECT_EQ(state.selectedColumn, 12);
    EXPECT_FALSE(state.klotzSelected);
    EXPECT_EQ(stackAt(10, 10).size(), 1u);

    handleKey(ctx, 'l');
    EXPECT_EQ(click(pixelOf(9, 11), BUTTON_RIGHT), PointerAction::NONE);
    EXPECT_EQ(pointerButton(ctx, pointer, WHEEL_UP, BUTTON_DOWN, 10, 10, false, W, H), PointerAction::NONE);
    EXPECT_EQ(model.placedCount(), 1);
    EXPECT_EQ(palette.turn, 0);
}

TEST_F(MouseTest, MessagesSayWhatUndoCopyAndPasteDid) {
    select(10, 11);
    handleKey(ctx, KEY_ENTER);
    BeforeCommand before = noteBefore(ctx);
    handleKey(ctx, KEY_CTRL_Z);
    EXPECT_EQ(keyMessage(ctx, before, KEY_CTRL_Z), "undo: insert cube0 at 10,11");
    before = noteBefore(ctx);
    handleKey(ctx, KEY_CTRL_Z);
    EXPECT_EQ(keyMessage(ctx, before, KEY_CTRL_Z), "nothing to undo");
    before = noteBefore(ctx);
    handleKey(ctx, KEY_CTRL_Y);
    EXPECT_EQ(keyMessage(ctx, before, KEY_CTRL_Y), "redo: insert cube0 at 10,11");

    palette.selectedType = 1;
    handleKey(ctx, KEY_ENTER);
    handleKey(ctx, KEY_ENTER);
    before = noteBefore(ctx);
    handleKey(ctx, KEY_CTRL_C);
    EXPECT_EQ(keyMessage(ctx, before, KEY_CTRL_C), "copied stack of 3");
    select(2, 3);
    before = noteBefore(ctx);
    handleKey(ctx, KEY_CTRL_V);
    EXPECT_EQ(keyMessage(ctx, before, KEY_CTRL_V), "pasted stack of 3");

    before = noteBefore(ctx);
    handleKey(ctx, KEY_SPACE);
    recordStep(ctx, [&] { moveTopKlotz(ctx, KEY_RIGHT); });
    EXPECT_EQ(describeChange(before.scene.scene, captureScene(model, state).scene, catalogue).substr(0, 10),
              "move cube1");
}

}  // namespace
}  // namespace scenetest
