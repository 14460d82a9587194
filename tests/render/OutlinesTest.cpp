#include <array>
#include <cmath>

#include <glm/glm.hpp>
#include <gtest/gtest.h>

#include "render/Outlines.h"
#include "render/SceneLayout.h"

namespace {

// A mesh from triangles, each with its own three vertices (no index
// shared), face normals from the winding.
klotz::Mesh meshOf(const std::vector<std::array<glm::vec3, 3>>& triangles) {
    klotz::Mesh mesh;
    for (const auto& t : triangles) {
        const glm::vec3 n = glm::normalize(glm::cross(t[1] - t[0], t[2] - t[0]));
        for (const glm::vec3& v : t) {
            mesh.faces.push_back(mesh.vertexCount++);
            mesh.vertices.insert(mesh.vertices.end(), {v.x, v.y, v.z});
        }
        mesh.faceNormals.insert(mesh.faceNormals.end(), {n.x, n.y, n.z});
        ++mesh.faceCount;
    }
    mesh.faceNormalCount = mesh.faceCount;
    return mesh;
}

// An n-sided prism (radius 20, height 50) with its top and bottom caps.
klotz::Mesh prism(int n) {
    std::vector<std::array<glm::vec3, 3>> t;
    auto at = [&](int k, float y) {
        const float a = 6.2831853f * static_cast<float>(k % n) / static_cast<float>(n);
        return glm::vec3(20.0f * std::cos(a), y, -20.0f * std::sin(a));
    };
    for (int k = 0; k < n; ++k) {
        t.push_back({at(k, 0), at(k + 1, 0), at(k + 1, 50)});
        t.push_back({at(k, 0), at(k + 1, 50), at(k, 50)});
        t.push_back({glm::vec3(0, 50, 0), at(k, 50), at(k + 1, 50)});
        t.push_back({glm::vec3(0, 0, 0), at(k + 1, 0), at(k, 0)});
    }
    return meshOf(t);
}

TEST(Outlines, ABoxHasItsTwelveEdgesAndARoundTubeItsRimsAndASilhouettePass) {
    const render::Outline box = render::meshOutline(prism(4));
    EXPECT_EQ(box.creases.size(), 12u * 6u);  // the diagonals of its flat faces are no creases
    EXPECT_FALSE(box.curved);

    const render::Outline tube = render::meshOutline(prism(24));
    EXPECT_EQ(tube.creases.size(), 2u * 24u * 6u);  // top and bottom rims only
    EXPECT_TRUE(tube.curved);
    for (std::size_t i = 1; i < tube.creases.size(); i += 3)
        EXPECT_TRUE(tube.creases[i] == 0.0f || tube.creases[i] == 50.0f);
}

TEST(Outlines, ABallsShadowIsDarkerAndTighterTheNearerItIsAndGoneOutOfReach) {
    const render::ShadowDisc touching = render::shadowDisc(0.0f);
    const render::ShadowDisc high = render::shadowDisc(100.0f);
    EXPECT_GT(touching.alpha, high.alpha);
    EXPECT_LT(touching.radius, high.radius);
    EXPECT_GT(touching.radius, 8.0f);  // reaches past the ball seen from above
    EXPECT_EQ(render::shadowDisc(render::SHADOW_REACH).alpha, 0.0f);
}

}  // namespace
