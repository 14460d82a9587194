#include "support/SceneModelAccess.h"
#include <cmath>

#include <gtest/gtest.h>

#include "render/Colours.h"
#include "render/SceneLayout.h"
#include "render/SubWindow.h"

namespace {

TEST(SceneLayout, RingOverThreeKloetzeLiesAt175) {
    glm::vec3 c = scene::levelCentre(2, 5, 3);
    EXPECT_EQ(c, glm::vec3(125.0f, 175.0f, -275.0f));
}

TEST(SceneLayout, EmissionPointsLieOnTheRing) {
    glm::vec3 centre = scene::levelCentre(0, 0, 0);
    glm::vec3 first = render::ringEmissionPoint(centre, 0);
    EXPECT_EQ(first, centre + glm::vec3(15.625f, 0.0f, 0.0f));
    // A quarter turn (r = 32767 / 4) goes to -z: (15.625 cos t, 0, -15.625 sin t).
    glm::vec3 quarter = render::ringEmissionPoint(centre, 8192) - centre;
    EXPECT_NEAR(quarter.x, 0.0f, 0.01f);
    EXPECT_NEAR(quarter.z, -15.625f, 1e-3f);
    for (int r = 0; r <= 32767; r += 1111) {
        glm::vec3 d = render::ringEmissionPoint(centre, r) - centre;
        EXPECT_EQ(d.y, 0.0f);
        EXPECT_NEAR(std::hypot(d.x, d.z), 15.625f, 1e-4f);
    }
}

TEST(SceneLayout, HighlightIsTheTopOfTheSelectedStackOnly) {
    scene::SceneModel model;
    scene::SceneState state;
    scene::SceneModelAccess::cellStack(model)[scene::cellIndex(10, 10)] = {3, 0, 5};
    EXPECT_EQ(render::highlightedKlotz(state, model), -1);
    state.klotzSelected = true;
    EXPECT_EQ(render::highlightedKlotz(state, model), 5);
    EXPECT_EQ(render::stackHeight(model, 10, 10), 3);
    // A selection flag without a stack highlights nothing (the marker shows).
    state.selectedRow = 3;
    EXPECT_EQ(render::highlightedKlotz(state, model), -1);
    state.selectedRow = 25;
    EXPECT_EQ(render::highlightedKlotz(state, model), -1);
    EXPECT_EQ(render::stackHeight(model, 25, 0), 0);
}

TEST(SceneLayout, RidingCameraHidesItsBallAndTheParticlesItSitsIn) {
    scene::SceneState state;
    state.simulationRunning = true;
    state.particlesOn = true;
    state.followedBall = 2;
    state.particleBall = 2;
    EXPECT_FALSE(render::ballHidden(state, 2));
    EXPECT_TRUE(render::particlesDrawn(state));
    state.followBall = true;
    EXPECT_TRUE(render::ballHidden(state, 2));
    EXPECT_FALSE(render::ballHidden(state, 1));
    EXPECT_FALSE(render::particlesDrawn(state));
    state.particleBall = 1;
    EXPECT_TRUE(render::particlesDrawn(state));
    state.particleBall = 2;
    state.simulationRunning = false;  // building mode: the camera rides nothing
    EXPECT_TRUE(render::particlesDrawn(state));
    state.particlesOn = false;
    EXPECT_FALSE(render::particlesDrawn(state));
}

TEST(Colours, ByteValuesAreSinglePrecisionQuotients) {
    render::RenderColours colours;
    EXPECT_NEAR(colours.klotzColour[0], 0.627451f, 1e-6f);
    EXPECT_EQ(colours.klotzColour[1], 100.0f / 255.0f);
    EXPECT_EQ(colours.markerColour, (render::Rgba{132 / 255.0f, 238 / 255.0f, 232 / 255.0f, 1.0f}));
    EXPECT_EQ(colours.selectedKlotzColour, colours.markerColour);
    EXPECT_EQ(colours.followedStartColour, (render::Rgba{1.0f, 0.0f, 0.0f, 1.0f}));
    EXPECT_EQ(colours.particleStartColour, (render::Rgba{166 / 255.0f, 22 / 255.0f, 0.0f, 1.0f}));
    EXPECT_EQ(colours.particleEndColour, (render::Rgba{0.0f, 50 / 255.0f, 50 / 255.0f, 0.0f}));
}

TEST(SubWindowSpin, TurnsAt120DegreesPerSecondAndStaysBounded) {
    view::Palette palette;
    render::SubWindowState state(palette);
    state.spinClock = 10.0;
    render::advanceSpin(state, 10.5);
    EXPECT_FLOAT_EQ(state.spinAngle, 60.0f);
    render::advanceSpin(state, 13.5);  // one more full turn
    EXPECT_NEAR(state.spinAngle, 60.0f, 1e-3f);
    render::advanceSpin(state, 1e7);  // days later still a precise angle
    EXPECT_GE(state.spinAngle, 0.0f);
    EXPECT_LT(state.spinAngle, 360.0f);
    EXPECT_EQ(render::typeLabel(17), "17");
}

}  // namespace
