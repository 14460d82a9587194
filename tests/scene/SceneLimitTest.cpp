// A scene file may hold at most 20,000 kloetze: far above any real run,
// and well below what takes minutes and gigabytes to build.
#include <gtest/gtest.h>

#include <string>

#include "scene/SceneFile.h"

namespace {

// count kloetze of type 0, stacked evenly over the grid, unturned.
std::string sceneWith(int count) {
    std::string text;
    for (int cell = 0; cell < scene::CELL_COUNT; ++cell) text += "-1 ";
    text += "\n0 \n";
    for (int cell = 0; cell < scene::CELL_COUNT; ++cell) {
        const int first = count * cell / scene::CELL_COUNT;
        const int last = count * (cell + 1) / scene::CELL_COUNT;
        text += std::to_string(last - first) + " ";
        for (int i = first; i < last; ++i) text += std::to_string(i) + " ";
    }
    text += "\n" + std::to_string(count) + " ";
    for (int i = 0; i < count; ++i) text += "0 ";
    text += "\n";
    for (int i = 0; i < count; ++i) text += "1 0 0 0 0 1 0 0 0 0 1 0 25 25 -25 1 ";
    return text + "\n10 10 \n";
}

TEST(SceneLimit, TwentyThousandKloetzeLoadOneMoreIsRefusedByCount) {
    const io::Result<scene::SceneFileData> most = scene::parseScene(sceneWith(20000), 1);
    ASSERT_TRUE(most) << most.error().text;
    EXPECT_EQ(most->klotzTypes.size(), 20000u);

    const io::Result<scene::SceneFileData> over = scene::parseScene(sceneWith(20001), 1);
    ASSERT_FALSE(over);
    EXPECT_NE(over.error().text.find("20001 kloetze, more than the 20000 a scene may hold"), std::string::npos)
        << over.error().text;
}

}  // namespace
