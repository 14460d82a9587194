#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "klotz/MeshNormals.h"
#include "klotz/ObjLoader.h"

namespace {

using klotz::Mesh;

Mesh meshOf(const std::vector<float>& vertices, const std::vector<int>& faces) {
    Mesh m;
    m.vertices = vertices;
    m.faces.assign(faces.begin(), faces.end());
    m.vertexCount = static_cast<int>(vertices.size() / 3);
    m.faceCount = static_cast<int>(faces.size() / 3);
    std::ostringstream quiet;
    klotz::computeFaceNormals(m, quiet);
    klotz::computeCornerNormals(m);
    return m;
}

std::vector<float> corner(const Mesh& m, int q) {
    return {m.cornerNormals[3 * q], m.cornerNormals[3 * q + 1], m.cornerNormals[3 * q + 2]};
}
std::vector<float> face(const Mesh& m, int f) {
    return {m.faceNormals[3 * f], m.faceNormals[3 * f + 1], m.faceNormals[3 * f + 2]};
}
std::vector<float> normalisedSum(const std::vector<float>& a, const std::vector<float>& b, float bWeight = 1) {
    float x = a[0] + bWeight * b[0], y = a[1] + bWeight * b[1], z = a[2] + bWeight * b[2];
    float len = std::sqrt(x * x + y * y + z * z);
    return {x / len, y / len, z / len};
}

void expectNear(const std::vector<float>& actual, const std::vector<float>& expected) {
    for (int i = 0; i < 3; ++i) EXPECT_NEAR(actual[i], expected[i], 1e-6f) << "component " << i;
}

// Triangle A = (0, 1, 2) in the plane z = 0 and triangle B = (1, 0, 3)
// sharing the edge 0-1, folded up by foldDegrees about that edge.
Mesh fold(double foldDegrees) {
    const double a = foldDegrees * 3.14159265358979 / 180.0;
    return meshOf({0, 0, 0, 50, 0, 0, 0, 50, 0, 0, static_cast<float>(-50 * std::cos(a)), static_cast<float>(50 * std::sin(a))},
                  {0, 1, 2, 1, 0, 3});
}

TEST(CornerNormals, RightAngleFoldKeepsFaceNormals) {
    Mesh m = fold(90);
    expectNear(face(m, 0), {0, 0, 1});
    expectNear(face(m, 1), {0, 1, 0});
    for (int q = 0; q < 3; ++q) expectNear(corner(m, q), face(m, 0));
    for (int q = 3; q < 6; ++q) expectNear(corner(m, q), face(m, 1));
}

TEST(CornerNormals, ShallowFoldAveragesTheSharedCorners) {
    Mesh m = fold(30);
    const std::vector<float> both = normalisedSum(face(m, 0), face(m, 1));
    // Shared vertices 0 and 1: corners 0, 1 of A and 3, 4 of B.
    for (int q : {0, 1}) expectNear(corner(m, q), both);
    for (int q : {3, 4}) expectNear(corner(m, q), normalisedSum(face(m, 1), face(m, 0)));
    expectNear(corner(m, 2), face(m, 0));
    expectNear(corner(m, 5), face(m, 1));
}

TEST(CornerNormals, FoldsJustInsideOrOutsideTheSmoothingAngle) {
    Mesh inside = fold(44);
    expectNear(corner(inside, 0), normalisedSum(face(inside, 0), face(inside, 1)));
    Mesh outside = fold(46);
    expectNear(corner(outside, 0), face(outside, 0));
}

TEST(CornerNormals, SharingIsByIndexNotPosition) {
    // Same shallow fold, but B has its own copies of the edge's vertices.
    Mesh m = meshOf({0, 0, 0, 50, 0, 0, 0, 50, 0, 0, -43.3f, 25, 0, 0, 0, 50, 0, 0}, {0, 1, 2, 5, 4, 3});
    for (int q = 0; q < 3; ++q) expectNear(corner(m, q), face(m, 0));
    for (int q = 3; q < 6; ++q) expectNear(corner(m, q), face(m, 1));
}

TEST(CornerNormals, NeighbourCountsOncePerCornerOnTheVertex) {
    // A leans about 11 degrees off +x; the degenerate B = (0, 0, 3) has the
    // normal (1, 0, 0) and touches vertex 0 with two corners.
    std::ostringstream warnings;
    Mesh m;
    m.vertices = {0, 0, 0, -10, 50, 0, 0, 0, 50, 5, 5, 5};
    m.faces = {0, 1, 2, 0, 0, 3};
    m.vertexCount = 4;
    m.faceCount = 2;
    klotz::computeFaceNormals(m, warnings);
    klotz::computeCornerNormals(m);
    EXPECT_EQ(warnings.str(), "WARNING: zero-normal encountered!!\n");
    expectNear(corner(m, 0), normalisedSum(face(m, 0), {1, 0, 0}, 2));
    expectNear(corner(m, 3), normalisedSum({1, 0, 0}, face(m, 0)));
}

// Random meshes over few vertices on a coarse grid: many shared vertices,
// coplanar neighbours, folds of every angle and degenerate triangles.
Mesh randomMesh(std::mt19937& rng, int vertexCount, int faceCount) {
    std::uniform_int_distribution<int> coordinate(-2, 2);
    std::uniform_int_distribution<int> vertex(0, vertexCount - 1);
    Mesh m;
    for (int i = 0; i < 3 * vertexCount; ++i) m.vertices.push_back(12.5f * coordinate(rng));
    for (int i = 0; i < 3 * faceCount; ++i) m.faces.push_back(vertex(rng));
    m.vertexCount = vertexCount;
    m.faceCount = faceCount;
    std::ostringstream quiet;
    klotz::computeFaceNormals(m, quiet);
    return m;
}

// A fan of n triangles around vertex 0 at height `apex` (0: a flat disc),
// its rim of radius 25 jittered up and down by `jitter`; every
// `degenerateEvery`-th triangle collapses onto the centre.
Mesh fan(std::mt19937& rng, int n, float apex, float jitter, int degenerateEvery) {
    std::uniform_real_distribution<float> wobble(-jitter, jitter);
    Mesh m;
    m.vertices = {0, apex, 0};
    for (int i = 0; i < n; ++i) {
        const double a = 6.283185307179586 * i / n;
        m.vertices.insert(m.vertices.end(), {float(25 * std::cos(a)), wobble(rng), float(-25 * std::sin(a))});
    }
    for (int i = 0; i < n; ++i) {
        if (i % degenerateEvery == 0) m.faces.insert(m.faces.end(), {0, 0, 1 + i});
        else m.faces.insert(m.faces.end(), {0, 1 + i, 1 + (i + 1) % n});
    }
    m.vertexCount = n + 1;
    m.faceCount = n;
    std::ostringstream quiet;
    klotz::computeFaceNormals(m, quiet);
    return m;
}

// A vertex with many corners sums in another order than the all-pairs rule:
// equal to float rounding. The smoothing decisions themselves are exact.
void expectLikeAllPairs(Mesh fast, const std::string& what) {
    Mesh reference = fast;
    klotz::computeCornerNormals(fast);
    klotz::computeCornerNormalsAllPairs(reference);
    ASSERT_EQ(fast.cornerNormalCount, reference.cornerNormalCount) << what;
    ASSERT_EQ(fast.cornerNormals.size(), reference.cornerNormals.size()) << what;
    for (std::size_t i = 0; i < fast.cornerNormals.size(); ++i)
        ASSERT_NEAR(fast.cornerNormals[i], reference.cornerNormals[i], 2e-6f) << what << ", value " << i;
}

TEST(CornerNormals, MatchesAllPairsOnRandomMeshesAndFans) {
    std::mt19937 rng(20240611);
    for (int round = 0; round < 300; ++round) {
        const int vertexCount = 1 + round % 17;
        expectLikeAllPairs(randomMesh(rng, vertexCount, 1 + round % 41), "round " + std::to_string(round));
    }
    // Few vertices, many triangles: hundreds of corners per vertex, normals
    // exactly 45 degrees apart among them.
    for (int round = 0; round < 20; ++round)
        expectLikeAllPairs(randomMesh(rng, 3 + round % 5, 100 + 10 * round), "crowded " + std::to_string(round));
    // Flat, shallow and steep fans, jittered or not, with degenerate triangles.
    for (float apex : {0.0f, 5.0f, 60.0f})
        for (float jitter : {0.0f, 3.0f})
            for (int degenerateEvery : {1000, 7})
                expectLikeAllPairs(fan(rng, 400, apex, jitter, degenerateEvery),
                                   "fan " + std::to_string(apex) + " " + std::to_string(jitter) + " " +
                                       std::to_string(degenerateEvery));
}

TEST(CornerNormals, TableVersionMatchesOnALoadedSmoothSurface) {
    // A bumpy height field: every inner vertex has six corners.
    std::string obj;
    const int n = 12;
    for (int i = 0; i <= n; ++i)
        for (int j = 0; j <= n; ++j)
            obj += "v " + std::to_string(i * 4) + " " + std::to_string((i * j) % 7) + " " + std::to_string(-j * 4) + "\n";
    for (int i = 0; i < n; ++i)
        for (int j = 0; j < n; ++j) {
            int a = i * (n + 1) + j + 1, b = a + 1, c = a + n + 1, d = c + 1;
            obj += "f " + std::to_string(a) + " " + std::to_string(c) + " " + std::to_string(d) + " " + std::to_string(b) + "\n";
        }
    std::ostringstream quiet;
    Mesh fast = klotz::parseObj(obj, "field.obj", quiet);
    Mesh reference = fast;
    klotz::computeCornerNormalsAllPairs(reference);
    ASSERT_EQ(fast.faceCount, 2 * n * n);
    EXPECT_EQ(0, std::memcmp(fast.cornerNormals.data(), reference.cornerNormals.data(),
                             fast.cornerNormals.size() * sizeof(float)));
}

}  // namespace
