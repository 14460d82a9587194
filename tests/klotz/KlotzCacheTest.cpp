#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <random>
#include <sstream>
#include <string>

#include "klotz/Catalogue.h"
#include "klotz/KlotzCache.h"
#include "klotz/ObjLoader.h"
#include "support/TestSupport.h"

#include <sys/stat.h>

namespace {

using klotz::Mesh;

const char* const TRIANGLE_OBJ = "v 0 0 0\nv 50 0 0\nv 0 50 0\nf 1 2 3\n";
const char* const SQUARE_OBJ = "v 0 0 0\nv 50 0 0\nv 50 50 0\nv 0 50 0\nf 1 2 3 4\n";

const char* const TRIANGLE_CACHE =
    "3 -2.5000000000000e+01 -2.5000000000000e+01 2.5000000000000e+01 2.5000000000000e+01 -2.5000000000000e+01 "
    "2.5000000000000e+01 -2.5000000000000e+01 2.5000000000000e+01 2.5000000000000e+01 \n"
    "3 0.0000000000000e+00 0.0000000000000e+00 1.0000000000000e+00 0.0000000000000e+00 0.0000000000000e+00 "
    "1.0000000000000e+00 0.0000000000000e+00 0.0000000000000e+00 1.0000000000000e+00 \n"
    "1 0 1 2 \n"
    "1 0.0000000000000e+00 0.0000000000000e+00 1.0000000000000e+00 \n";

const char* const TRIANGLE_COUNTS = "vertices: 3, vertex-normals: 3, faces: 1, face-normals: 1\n";

Mesh objMesh(const std::string& text) {
    std::ostringstream quiet;
    return klotz::parseObj(text, "m.obj", quiet);
}

template <typename T>
bool sameBits(const std::vector<T>& a, const std::vector<T>& b) {
    return a.size() == b.size() && std::memcmp(a.data(), b.data(), a.size() * sizeof(T)) == 0;
}

void expectSameMesh(const Mesh& a, const Mesh& b) {
    EXPECT_EQ(a.vertexCount, b.vertexCount);
    EXPECT_EQ(a.cornerNormalCount, b.cornerNormalCount);
    EXPECT_EQ(a.faceCount, b.faceCount);
    EXPECT_EQ(a.faceNormalCount, b.faceNormalCount);
    EXPECT_TRUE(sameBits(a.vertices, b.vertices));
    EXPECT_TRUE(sameBits(a.cornerNormals, b.cornerNormals));
    EXPECT_TRUE(sameBits(a.faceNormals, b.faceNormals));
    EXPECT_EQ(a.faces, b.faces);
}

TEST(KlotzCacheFormat, OneTriangleIsWrittenExactly) {
    EXPECT_EQ(klotz::formatKlotzCache(objMesh(TRIANGLE_OBJ)), TRIANGLE_CACHE);
    EXPECT_EQ(klotz::formatKlotzCache(Mesh()), "0 \n0 \n0 \n0 \n");
}

TEST(KlotzCacheFormat, RoundTripIsBitExact) {
    Mesh square = objMesh(SQUARE_OBJ);
    io::Result<Mesh> back = klotz::parseKlotzCache(klotz::formatKlotzCache(square));
    ASSERT_TRUE(back.ok()) << back.error().text;
    expectSameMesh(*back, square);

    // Awkward floats: tiny, subnormal, huge, negative zero, odd mantissas.
    std::mt19937 rng(7);
    std::uniform_int_distribution<std::uint32_t> bits;
    Mesh odd;
    odd.vertexCount = 40;
    for (int i = 0; i < 3 * odd.vertexCount; ++i) {
        std::uint32_t b = bits(rng);
        float f;
        std::memcpy(&f, &b, sizeof f);
        odd.vertices.push_back(std::fabs(f) <= klotz::MAX_VERTEX_COORDINATE ? f : 1.0f);
    }
    odd.vertices[0] = 1e-45f;
    odd.vertices[1] = -0.0f;
    odd.vertices[2] = -klotz::MAX_VERTEX_COORDINATE;
    back = klotz::parseKlotzCache(klotz::formatKlotzCache(odd));
    ASSERT_TRUE(back.ok()) << back.error().text;
    EXPECT_TRUE(sameBits(back->vertices, odd.vertices));
}

TEST(KlotzCacheFormat, ReaderTakesAnyWhiteSpaceAndLongExponents) {
    io::Result<Mesh> r = klotz::parseKlotzCache(
        "1\r\n-2.5e+001\t2.5E+01 1.0000000000000e+000\r\n0\n0 \n\n0");
    ASSERT_TRUE(r.ok()) << r.error().text;
    EXPECT_EQ(r->vertices, (std::vector<float>{-25, 25, 1}));
}

TEST(KlotzCacheFormat, MalformedFilesAreRefusedWithAReason) {
    const struct {
        const char* text;
        const char* reason;
    } cases[] = {
        {"", "ends before the vertex count"},
        {"3 1 2 3 4 5 6 7 8", "more than the file can hold"},
        {"1 1 2", "more than the file can hold"},
        {"1 1 2 3\n0\n", "ends before the face count"},
        {"-1 \n0 \n0 \n0 \n", "negative"},
        {"999999999 0 0 0", "more than the file can hold"},
        {"99999999999999999999999 \n0 \n0 \n0 \n", "more than the file can hold"},
        {"1.0 0 0 0\n0 \n0 \n0 \n", "not a whole number"},
        {"x \n0 \n0 \n0 \n", "not a whole number"},
        {"1 0 abc 0\n0 \n0 \n0 \n", "\"abc\" in the vertices is not a finite number"},
        {"1 0 nan 0\n0 \n0 \n0 \n", "not a finite number"},
        {"1 0 inf 0\n0 \n0 \n0 \n", "not a finite number"},
        {"1 0 1e39 0\n0 \n0 \n0 \n", "not a finite number"},
        {"1\n0 -1.5e6 0\n0 \n0 \n0 \n", "coordinate -1500000 in the vertices on line 2 lies beyond 1000000"},
        {"1 0 \x1b[2J 0\n0 \n0 \n0 \n", "\"\\x1b[2J\" in the vertices"},
        {"1 0 0 0\n0 \n1 0 0 0 \n1 0 0 1 \n", "corner-normal count 0 is not 3 times the face count 1"},
        {"3 0 0 0 1 0 0 0 1 0\n3 0 0 1 0 0 1 0 0 1\n1 0 1 2\n0 \n", "face-normal count 0 differs"},
        {"3 0 0 0 1 0 0 0 1 0\n3 0 0 1 0 0 1 0 0 1\n1 0 1 3\n1 0 0 1\n", "face index 3 is outside the 3 vertices"},
        {"3 0 0 0 1 0 0 0 1 0\n3 0 0 1 0 0 1 0 0 1\n1 0 -1 2\n1 0 0 1\n", "face index -1 is outside"},
        {"3 0 0 0 1 0 0 0 1 0\n3 0 0 1 0 0 1 0 0 1\n1 0 1.5 2\n1 0 0 1\n", "not a whole number"},
        {"0 \n0 \n0 \n0 \n7", "unexpected \"7\" after the face normals"},
    };
    for (const auto& c : cases) {
        io::Result<Mesh> r = klotz::parseKlotzCache(c.text);
        ASSERT_FALSE(r.ok()) << c.text;
        EXPECT_NE(r.error().text.find(c.reason), std::string::npos) << c.text << " -> " << r.error().text;
    }
}

TEST(KlotzCacheFormat, EveryTruncationIsRefusedOrComplete) {
    const std::string full = TRIANGLE_CACHE;
    const std::size_t lastNumber = full.rfind("1.0000000000000e+00");
    for (std::size_t n = 0; n < full.size(); ++n) {
        io::Result<Mesh> r = klotz::parseKlotzCache(full.substr(0, n));
        if (n <= lastNumber) {
            EXPECT_FALSE(r.ok()) << n;
        }
    }
}

class KlotzCacheFiles : public ::testing::Test {
protected:
    testsupport::TempDir dir;
    testsupport::ScopedChdir here{dir.path()};

    std::string construct(const std::string& name, Mesh* mesh = nullptr) {
        std::ostringstream out;
        klotz::KlotzType type = klotz::constructKlotzType(name, out);
        EXPECT_EQ(type.name, name);
        if (mesh) *mesh = type.mesh;
        return out.str();
    }
};

TEST_F(KlotzCacheFiles, FirstLoadWritesTheCacheAndLaterLoadsUseIt) {
    dir.write("tri.obj", TRIANGLE_OBJ);
    Mesh fromObj, fromCache;
    EXPECT_EQ(construct("tri", &fromObj),
              std::string("\nloading .obj-file tri.obj\n") + TRIANGLE_COUNTS + "\ngenerating .klotz-file tri.klotz\n");
    EXPECT_EQ(dir.read("tri.klotz"), TRIANGLE_CACHE);
    EXPECT_EQ(construct("tri", &fromCache), std::string("\nloading .klotz-file tri.klotz\n") + TRIANGLE_COUNTS);
    expectSameMesh(fromCache, fromObj);
}

TEST_F(KlotzCacheFiles, CacheWinsOverAChangedOrMissingObj) {
    dir.write("tri.obj", TRIANGLE_OBJ);
    Mesh original, afterEdit, afterDelete;
    construct("tri", &original);
    dir.write("tri.obj", SQUARE_OBJ);
    construct("tri", &afterEdit);
    expectSameMesh(afterEdit, original);
    std::remove(dir.file("tri.obj").c_str());
    EXPECT_EQ(construct("tri", &afterDelete), std::string("\nloading .klotz-file tri.klotz\n") + TRIANGLE_COUNTS);
    expectSameMesh(afterDelete, original);
}

TEST_F(KlotzCacheFiles, MissingObjWritesNoCache) {
    Mesh mesh;
    EXPECT_EQ(construct("gone", &mesh), "Can not open object File \"gone.obj\" !\n");
    EXPECT_TRUE(mesh.empty());
    EXPECT_FALSE(std::ifstream(dir.file("gone.klotz")));
    // So the OBJ appearing later is read.
    dir.write("gone.obj", TRIANGLE_OBJ);
    EXPECT_EQ(construct("gone", &mesh),
              std::string("\nloading .obj-file gone.obj\n") + TRIANGLE_COUNTS + "\ngenerating .klotz-file gone.klotz\n");
    EXPECT_EQ(mesh.faceCount, 1);
}

TEST_F(KlotzCacheFiles, UnwritableCacheIsReportedAndTheMeshKept) {
    ::mkdir(dir.file("sub").c_str(), 0755);
    dir.write("sub/tri.obj", TRIANGLE_OBJ);
    ::mkdir(dir.file("sub/tri.klotz").c_str(), 0755);  // a folder where the cache should go
    Mesh mesh;
    const std::string console = construct("sub/tri", &mesh);
    EXPECT_EQ(console, std::string("\nloading .obj-file sub/tri.obj\n") + TRIANGLE_COUNTS +
                           "can not save to .klotz file \"sub/tri.klotz\" !\n");
    EXPECT_EQ(mesh.faceCount, 1);
    EXPECT_EQ(construct("nodir/x"), "Can not open object File \"nodir/x.obj\" !\n");
}

TEST_F(KlotzCacheFiles, DamagedCacheFallsBackToTheObjAndIsRewritten) {
    const std::string damaged[] = {
        "3 -2.5e+01 -2.5e+01",                      // truncated
        "-3 \n0 \n0 \n0 \n",                        // negative count
        "2000000000 \n0 \n0 \n0 \n",                // absurd count
        "0 \n3 0 0 1 0 0 1 0 0 1\n0 \n0 \n",        // counts disagree
        "1 0 0 0\n3 0 0 1 0 0 1 0 0 1\n1 0 5 0\n1 0 0 1\n",  // index outside
        "1 0 zero 0\n0 \n0 \n0 \n",                 // not a number
        "1 0 nan 0\n0 \n0 \n0 \n",                  // not finite
        "1 0 2e6 0\n0 \n0 \n0 \n",                  // far out
    };
    for (const std::string& text : damaged) {
        dir.write("tri.obj", TRIANGLE_OBJ);
        dir.write("tri.klotz", text);
        Mesh mesh;
        const std::string console = construct("tri", &mesh);
        EXPECT_EQ(console.rfind("\nloading .klotz-file tri.klotz\n\nWARNING: .klotz-file \"tri.klotz\" is damaged (", 0), 0u)
            << console;
        EXPECT_NE(console.find("); reading \"tri.obj\" instead\n\nloading .obj-file tri.obj\n" + std::string(TRIANGLE_COUNTS) +
                               "\ngenerating .klotz-file tri.klotz\n"),
                  std::string::npos)
            << console;
        EXPECT_EQ(mesh.faceCount, 1) << text;
        EXPECT_EQ(dir.read("tri.klotz"), TRIANGLE_CACHE) << text;
    }
}

TEST_F(KlotzCacheFiles, DamagedCacheWithoutObjIsKept) {
    dir.write("lost.klotz", "3 1 2 3\n");
    Mesh mesh;
    const std::string console = construct("lost", &mesh);
    EXPECT_NE(console.find("Can not open object File \"lost.obj\" !\n\nWARNING: keeping the damaged .klotz-file \"lost.klotz\""),
              std::string::npos)
        << console;
    EXPECT_TRUE(mesh.empty());
    EXPECT_EQ(dir.read("lost.klotz"), "3 1 2 3\n");
}

TEST_F(KlotzCacheFiles, NoCacheFileIsSilent) {
    std::ostringstream out;
    io::Result<Mesh> mesh = klotz::readKlotzCache("absent", out);
    ASSERT_FALSE(mesh.ok());
    EXPECT_EQ(mesh.error().failure, io::Failure::CannotOpen);
    EXPECT_EQ(out.str(), "");
}

}  // namespace
