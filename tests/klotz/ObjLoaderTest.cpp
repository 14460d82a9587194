#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "klotz/ObjLoader.h"
#include "support/TestSupport.h"

namespace {

using klotz::Mesh;
using klotz::parseObj;

const char* const TRIANGLE = "v 0 0 0\nv 50 0 0\nv 0 50 0\nf 1 2 3\n";

Mesh parse(const std::string& text, std::string* console = nullptr) {
    std::ostringstream out;
    Mesh mesh = parseObj(text, "m.obj", out);
    if (console) *console = out.str();
    return mesh;
}

std::vector<int> facesOf(const Mesh& m) { return std::vector<int>(m.faces.begin(), m.faces.end()); }

std::vector<float> cornerNormal(const Mesh& m, int q) {
    return {m.cornerNormals[3 * q], m.cornerNormals[3 * q + 1], m.cornerNormals[3 * q + 2]};
}
std::vector<float> faceNormal(const Mesh& m, int f) {
    return {m.faceNormals[3 * f], m.faceNormals[3 * f + 1], m.faceNormals[3 * f + 2]};
}

TEST(ObjLoader, OneTriangleMovedIntoTheKlotzBox) {
    std::string console;
    Mesh m = parse(TRIANGLE, &console);
    EXPECT_EQ(console, "vertices: 3, vertex-normals: 3, faces: 1, face-normals: 1\n");
    EXPECT_EQ(m.vertexCount, 3);
    EXPECT_EQ(m.faceCount, 1);
    EXPECT_EQ(m.cornerNormalCount, 3);
    EXPECT_EQ(m.faceNormalCount, 1);
    EXPECT_EQ(m.vertices, (std::vector<float>{-25, -25, 25, 25, -25, 25, -25, 25, 25}));
    EXPECT_EQ(facesOf(m), (std::vector<int>{0, 1, 2}));
    EXPECT_EQ(faceNormal(m, 0), (std::vector<float>{0, 0, 1}));
    for (int q = 0; q < 3; ++q) EXPECT_EQ(cornerNormal(m, q), (std::vector<float>{0, 0, 1}));
}

TEST(ObjLoader, NumbersAreReadAsFloatAndIndicesTruncated) {
    Mesh m = parse("v 0.1 -0.2 1e1\nv 50 0 0\nv 0 50 0\nf 1.9 2.2 3.99\n");
    EXPECT_EQ(m.vertices[0], 0.1f - 25.0f);
    EXPECT_EQ(m.vertices[1], -0.2f - 25.0f);
    EXPECT_EQ(m.vertices[2], 35.0f);
    EXPECT_EQ(facesOf(m), (std::vector<int>{0, 1, 2}));
}

TEST(ObjLoader, NegativeIndicesCountBackFromTheWholeVertexList) {
    Mesh m = parse("v 0 0 0\nv 50 0 0\nv 0 50 0\nf -3 -2 -1\n");
    EXPECT_EQ(facesOf(m), (std::vector<int>{0, 1, 2}));
    // -1 is the file's last vertex, even one that follows the face.
    Mesh later = parse("v 0 0 0\nv 50 0 0\nf 1 2 -1\nv 0 50 0\nv 9 9 9\n");
    EXPECT_EQ(facesOf(later), (std::vector<int>{0, 1, 3}));
}

TEST(ObjLoader, DegenerateTriangleWarnsOnceAndPointsAlongX) {
    std::string console;
    Mesh m = parse("v 1 1 1\nf 1 1 1\n", &console);
    EXPECT_EQ(console,
              "vertices: 1, vertex-normals: 3, faces: 1, face-normals: 1\n"
              "WARNING: zero-normal encountered!!\n");
    EXPECT_EQ(faceNormal(m, 0), (std::vector<float>{1, 0, 0}));
    for (int q = 0; q < 3; ++q) EXPECT_EQ(cornerNormal(m, q), (std::vector<float>{1, 0, 0}));
}

TEST(ObjLoader, IgnoredStatementsLeaveTheMeshAlone) {
    Mesh plain = parse(TRIANGLE);
    Mesh decorated = parse(
        "mtllib box.mtl\no box\nvn 0 0 1\nvt 0.5 0.5\ns off\nusemtl red\n"
        "v 0 0 0\nvn 0 1 0\nv 50 0 0\nvt 1 1\nv 0 50 0\ng side\nusemtl blue\nf 1 2 3\n");
    EXPECT_EQ(decorated.vertices, plain.vertices);
    EXPECT_EQ(decorated.faces, plain.faces);
    EXPECT_EQ(decorated.cornerNormals, plain.cornerNormals);
}

TEST(ObjLoader, StatementWordsCountWhereverTheyStand) {
    // "v" as the argument of ignored statements is still a vertex.
    Mesh m = parse("usemtl v 10 20 30\nvt v 0 0 0\n");
    EXPECT_EQ(m.vertices, (std::vector<float>{-15, -5, 55, -25, -25, 25}));
    // "g" takes its group name, even a statement word.
    EXPECT_EQ(parse("g v 1 2 3\n").vertexCount, 0);
    // "#" ends the line wherever it stands, also inside a statement's line.
    Mesh c = parse("# v 1 2 3\nv 0 0 0 # f 1 1 1\nusemtl # v 5 5 5\n");
    EXPECT_EQ(c.vertexCount, 1);
    EXPECT_EQ(c.faceCount, 0);
}

TEST(ObjLoader, CommentLinesAreDroppedWhole) {
    std::string longComment = "# " + std::string(150, 'x') + " v 1 2 3 f 1 1 1\n";
    Mesh m = parse(longComment + "#v 9 9 9\n" + TRIANGLE);
    EXPECT_EQ(m.vertexCount, 3);
    EXPECT_EQ(m.faceCount, 1);
}

TEST(ObjLoader, BareGroupDoesNotSwallowTheNextLine) {
    Mesh m = parse("g\nv 0 0 0\nv 50 0 0\nv 0 50 0\ng\r\nf 1 2 3\n");
    EXPECT_EQ(m.vertexCount, 3);
    EXPECT_EQ(m.faceCount, 1);
}

TEST(ObjLoader, SlashFormsUseTheVertexIndex) {
    for (const char* face : {"f 1/4/7 2/5/8 3/6/9", "f 1//7 2//8 3//9", "f 1/4 2/5 3/6", "f -3/1 -2//2 -1/3/3"}) {
        Mesh m = parse(std::string("v 0 0 0\nv 50 0 0\nv 0 50 0\nvt 0 0\nvn 0 0 1\n") + face + "\n");
        EXPECT_EQ(facesOf(m), (std::vector<int>{0, 1, 2})) << face;
    }
}

TEST(ObjLoader, PolygonsAreFannedFromTheirFirstCorner) {
    const std::string square = "v 0 0 0\nv 50 0 0\nv 50 50 0\nv 0 50 0\nv 25 60 0\n";
    EXPECT_EQ(facesOf(parse(square + "f 1 2 3 4\n")), (std::vector<int>{0, 1, 2, 0, 2, 3}));
    EXPECT_EQ(facesOf(parse(square + "f 1/1/1 2/2/2 3/3/3 5/5/5 4/4/4\n")),
              (std::vector<int>{0, 1, 2, 0, 2, 4, 0, 4, 3}));
    // Only the face's own line adds corners; a number on the next line is an
    // ignored word.
    Mesh m = parse(square + "f 1 2 3\r\n4\n");
    EXPECT_EQ(facesOf(m), (std::vector<int>{0, 1, 2}));
    EXPECT_EQ(m.cornerNormalCount, 3);
}

TEST(ObjLoader, BadIndicesSkipTheFaceWithItsLine) {
    std::string console;
    Mesh m = parse("v 0 0 0\nv 50 0 0\nv 0 50 0\nf 0 1 2\nf 1 2 4\nf -4 1 2\nf 1 2 3 7\nf 1 2 3\n", &console);
    EXPECT_EQ(facesOf(m), (std::vector<int>{0, 1, 2}));
    EXPECT_NE(console.find("\"m.obj\" line 4: face index 0"), std::string::npos) << console;
    EXPECT_NE(console.find("\"m.obj\" line 5: face index 4 is outside the 3 vertices"), std::string::npos) << console;
    EXPECT_NE(console.find("\"m.obj\" line 6: face index -4 is outside"), std::string::npos) << console;
    EXPECT_NE(console.find("\"m.obj\" line 7: face index 7"), std::string::npos) << console;
    EXPECT_NE(console.find("vertices: 3, vertex-normals: 3, faces: 1, face-normals: 1\n"), std::string::npos);
    // Huge and fractional-below-one indices name no vertex either.
    EXPECT_EQ(parse("v 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 1e30\nf 0.5 1 2\n").faceCount, 0);
}

TEST(ObjLoader, ShortStatementsAreReported) {
    std::string console;
    Mesh m = parse("v 1 2\nv 50 0 0\nv 0 50 0\nf 1 2\nv 0 0 nan\nf 1 2 3\n", &console);
    // The short vertex keeps its place so later indices still match.
    EXPECT_EQ(m.vertexCount, 4);
    EXPECT_EQ((std::vector<float>(m.vertices.begin(), m.vertices.begin() + 3)), (std::vector<float>{-24, -23, 25}));
    EXPECT_EQ(facesOf(m), (std::vector<int>{0, 1, 2}));
    EXPECT_NE(console.find("\"m.obj\" line 1: vertex with 2 of 3 numbers"), std::string::npos) << console;
    EXPECT_NE(console.find("\"m.obj\" line 4: face with fewer than 3"), std::string::npos) << console;
    EXPECT_NE(console.find("\"m.obj\" line 5: vertex with 2 of 3"), std::string::npos) << console;
}

TEST(ObjLoader, FarVerticesAreRefusedWithTheirLine) {
    std::string console;
    Mesh m = parse("v 0 0 0\nv 1e6 -1e6 0\nv 0 50 1000001\nf 1 2 3\n", &console);
    EXPECT_EQ(m.vertexCount, 3);  // kept in place for the indices
    EXPECT_EQ((std::vector<float>(m.vertices.begin() + 3, m.vertices.end())),
              (std::vector<float>{1e6f - 25, -1e6f - 25, 25, -25, -25, 25}));
    EXPECT_NE(console.find("WARNING: \"m.obj\" line 3: vertex coordinate 1000001 lies beyond 1000000; vertex taken as 0 0 0"),
              std::string::npos)
        << console;
    EXPECT_EQ(console.find("line 2:"), std::string::npos) << console;
}

TEST(ObjLoader, LoadObjReadsTheFileOrSaysItCannot) {
    testsupport::TempDir dir;
    testsupport::ScopedChdir here(dir.path());
    dir.write("tri.obj", "v 0 0 0\r\nv 50 0 0\r\nv 0 50 0\r\nf 1 2 3\r\n");
    std::ostringstream out;
    io::Result<Mesh> m = klotz::loadObj("tri", out);
    ASSERT_TRUE(m.ok());
    EXPECT_EQ(out.str(), "\nloading .obj-file tri.obj\nvertices: 3, vertex-normals: 3, faces: 1, face-normals: 1\n");
    EXPECT_EQ(m->faceCount, 1);

    std::ostringstream missing;
    EXPECT_FALSE(klotz::loadObj("nope", missing).ok());
    EXPECT_EQ(missing.str(), "Can not open object File \"nope.obj\" !\n");
}

}  // namespace
