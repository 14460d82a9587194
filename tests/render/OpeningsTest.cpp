#include <gtest/gtest.h>

#include <map>

#include "render/Openings.h"
#include "support/ShippedCatalogue.h"

namespace {

// The shipped pieces as a user sees them: a straight runs through, a curve
// turns a corner, a cube and a pillar have no groove.
TEST(Openings, ShippedPiecesShowWhereTheBallGoesInAndOut) {
    const klotz::KlotzCatalogue catalogue = testsupport::loadShippedCatalogue();
    std::map<std::string, std::vector<render::Opening>> byName;
    for (const klotz::KlotzType& type : catalogue.klotzTypes) byName[type.name] = render::findOpenings(type.mesh);
    ASSERT_EQ(byName.at("straight").size(), 2u);
    EXPECT_EQ(byName.at("straight")[0].outward, -byName.at("straight")[1].outward);
    ASSERT_EQ(byName.at("curve").size(), 2u);
    EXPECT_EQ(glm::dot(byName.at("curve")[0].outward, byName.at("curve")[1].outward), 0.0f);
    EXPECT_TRUE(byName.at("cube").empty());
    EXPECT_EQ(byName.at("tee").size(), 3u);
    EXPECT_EQ(byName.at("crossing").size(), 4u);
    for (const auto& o : byName.at("straight")) EXPECT_NEAR(o.at.y, -21.0f, 0.01f);  // its groove floor, 4 over the bottom
}

}  // namespace
