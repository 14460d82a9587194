#include <gtest/gtest.h>

#include "render/InsightPanel.h"

namespace {

TEST(InsightPanel, ListsTheBallsThatFitAndCountsTheRest) {
    run::RunInsight insight;
    EXPECT_EQ(render::insightPanelLines(insight, false, 10), std::vector<std::string>{"no run yet: l starts one"});

    scene::SceneModel model;
    for (int i = 0; i < 5; ++i) model.addBallStart(0, i, physics::NO_ACTOR);
    insight.start(model, klotz::KlotzCatalogue{});
    insight.observe(1.5, std::vector<run::BallSample>(5, run::BallSample{physics::NO_ACTOR, true, {}, 0.8f}));

    std::vector<std::string> lines = render::insightPanelLines(insight, true, 6);
    ASSERT_EQ(lines.size(), 6u);
    EXPECT_EQ(lines[0], "run time 1.50 s, 0 of 5 balls home");
    EXPECT_EQ(lines[5], "ball 4: floor, at rest from 0.00 s, top 1 units/s");

    lines = render::insightPanelLines(insight, false, 4);
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[0], "last run 1.50 s, 0 of 5 balls home");
    EXPECT_EQ(lines[2], "ball 1: floor, at rest from 0.00 s, top 1 units/s");
    EXPECT_EQ(lines[3], "+3 more");
    EXPECT_EQ(render::insightPanelLines(insight, false, 1).size(), 1u);
}

}  // namespace
