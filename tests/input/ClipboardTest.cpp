#include "SceneFixture.h"
#include "input/Editing.h"
#include "input/Keyboard.h"

using namespace scene;
using namespace input;
using namespace run;

namespace scenetest {
namespace {

class ClipboardTest : public SceneFixture {};

TEST_F(ClipboardTest, PasteStacksTheCopyWithItsTurnsOnTheSelectedCell) {
    camera.direction = {0.0f, 0.0f, -1.0f};
    handleKey(ctx, KEY_ENTER);
    palette.selectedType = 1;
    handleKey(ctx, KEY_ENTER);
    handleKey(ctx, KEY_SPACE);
    handleKey(ctx, 'h');
    handleKey(ctx, 'u');
    handleKey(ctx, KEY_SPACE);
    handleKey(ctx, KEY_CTRL_C);

    select(2, 3);
    handleKey(ctx, KEY_ENTER);  // one klotz there already
    handleKey(ctx, KEY_CTRL_V);
    ASSERT_EQ(stackAt(2, 3).size(), 3u);
    EXPECT_EQ(stackAt(10, 10).size(), 2u);
    for (int level = 1; level <= 2; ++level) {
        const int copy = stackAt(2, 3)[level];
        const int original = stackAt(10, 10)[level - 1];
        EXPECT_EQ(model.placedTypes()[copy], model.placedTypes()[original]);
        const PoseMatrix& p = model.placedPoses()[copy];
        const PoseMatrix& o = model.placedPoses()[original];
        for (int e : {0, 1, 2, 4, 5, 6, 8, 9, 10}) EXPECT_EQ(p[e], o[e]) << "level " << level << " element " << e;
        EXPECT_EQ(glm::vec3(p[12], p[13], p[14]), levelCentre(2, 3, level));
    }
    EXPECT_NE(model.placedPoses()[stackAt(2, 3)[2]][0], 1.0f);  // really turned
    EXPECT_EQ(klotzActors(), 5);
    expectConsistent();
}

TEST_F(ClipboardTest, NothingHappensWithAnEmptyClipboard) {
    handleKey(ctx, KEY_CTRL_V);
    select(0, 0);
    handleKey(ctx, KEY_CTRL_C);  // an empty cell copies nothing
    handleKey(ctx, KEY_CTRL_V);
    EXPECT_TRUE(model.empty());
    EXPECT_EQ(session.history.undoSteps(), 0u);
    EXPECT_EQ(out.str(), "");
}

}  // namespace
}  // namespace scenetest
