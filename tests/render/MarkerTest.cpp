#include <cmath>

#include <gtest/gtest.h>

#include "render/Marker.h"

namespace {

using render::MARKER_TRIANGLES;

glm::vec3 windingNormal(const render::MarkerTriangle& t) {
    return glm::cross(t.corners[1] - t.corners[0], t.corners[2] - t.corners[0]);
}

TEST(MarkerTable, OccupiesTheMiddleOfCellZeroWithItsTipOneAboveGround) {
    glm::vec3 low(1e9f), high(-1e9f);
    for (const auto& t : MARKER_TRIANGLES)
        for (const glm::vec3& c : t.corners) {
            low = glm::min(low, c);
            high = glm::max(high, c);
        }
    EXPECT_EQ(low, glm::vec3(12.5f, 1.0f, -29.0f));
    EXPECT_EQ(high, glm::vec3(37.5f, 31.0f, -21.0f));
}

TEST(MarkerTable, WindingIsCounterClockwiseFromOutsideAndAgreesWithTheNormals) {
    for (std::size_t i = 0; i < MARKER_TRIANGLES.size(); ++i) {
        const auto& t = MARKER_TRIANGLES[i];
        glm::vec3 n = windingNormal(t);
        ASSERT_GT(glm::length(n), 0.0f) << "triangle " << i + 1 << " is degenerate";
        EXPECT_GT(glm::dot(glm::normalize(n), t.normal), 0.999f) << "triangle " << i + 1;
        EXPECT_NEAR(glm::length(t.normal), 1.0f, 1e-6f) << "triangle " << i + 1;
    }
}

TEST(MarkerTable, IsAClosedSolidOfThePrismsVolume) {
    // A closed surface has no net vector area; with outward winding the
    // signed volume is the prism's: (head 25 x 9 / 2 + shaft 10 x 21) x 8 deep.
    glm::vec3 area(0.0f);
    float volume = 0.0f;
    for (const auto& t : MARKER_TRIANGLES) {
        area += windingNormal(t);
        volume += glm::dot(t.corners[0], glm::cross(t.corners[1], t.corners[2])) / 6.0f;
    }
    EXPECT_NEAR(glm::length(area), 0.0f, 1e-3f);
    EXPECT_NEAR(volume, (112.5f + 210.0f) * 8.0f, 1e-2f);
}

TEST(MarkerTable, SlantNormalsFollowTheHeadsRise) {
    float t = 1.0f / std::sqrt(1.0f + 0.72f * 0.72f);
    EXPECT_NEAR(MARKER_TRIANGLES[6].normal.x, -0.72f * t, 1e-7f);
    EXPECT_NEAR(MARKER_TRIANGLES[6].normal.y, -t, 1e-7f);
    EXPECT_NEAR(MARKER_TRIANGLES[10].normal.x, 0.72f * t, 1e-7f);
}

TEST(MarkerPhase, StartsAtMinus90AndBobsOncePerSecond) {
    render::MarkerAnimation animation;
    EXPECT_EQ(render::advanceMarkerPhase(animation, 100.0), -90.0);  // first draw: large step
    EXPECT_DOUBLE_EQ(render::advanceMarkerPhase(animation, 100.5), 0.0);
    EXPECT_DOUBLE_EQ(render::advanceMarkerPhase(animation, 101.0), 90.0);  // not past 90 yet
    EXPECT_EQ(render::advanceMarkerPhase(animation, 101.025), -90.0);
    EXPECT_DOUBLE_EQ(render::advanceMarkerPhase(animation, 101.525), 0.0);
}

TEST(MarkerPhase, AClockSteppingBackRestartsInsteadOfRunningAway) {
    render::MarkerAnimation animation{10.0, 50.0};
    EXPECT_EQ(render::advanceMarkerPhase(animation, 40.0), -90.0);
    EXPECT_DOUBLE_EQ(render::advanceMarkerPhase(animation, 40.25), -45.0);
}

TEST(MarkerOffset, HoversOneToSixAboveAStackOfThree) {
    for (double phase = -90.0; phase <= 90.0; phase += 7.5) {
        glm::vec3 offset = render::markerOffset(4, 7, 3, phase);
        float tip = offset.y + 1.0f;
        EXPECT_GE(tip, 151.0f - 1e-4f);
        EXPECT_LE(tip, 156.0f + 1e-4f);
        EXPECT_EQ(offset.x, 200.0f);
        EXPECT_EQ(offset.z, -350.0f);
    }
    EXPECT_FLOAT_EQ(render::markerOffset(0, 0, 0, 0.0).y, 5.0f);
}

}  // namespace
