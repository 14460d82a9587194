// Large or broken meshes stay bounded: no cache the reader would refuse,
// and warnings summarised instead of one line per face.
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <string>

#include "io/FileReader.h"
#include "klotz/KlotzCache.h"
#include "klotz/MeshNormals.h"
#include "klotz/ObjLoader.h"
#include "support/TestSupport.h"

namespace {

std::size_t countOf(const std::string& text, const std::string& what) {
    std::size_t n = 0;
    for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
    return n;
}

TEST(LargeMesh, NoCacheIsWrittenThatTheReaderWouldRefuse) {
    testsupport::TempDir dir;
    klotz::Mesh mesh;
    // About 63 bytes a vertex in the cache: just over the reader's limit.
    mesh.vertexCount = static_cast<int>(io::MAX_FILE_BYTES / 63 + 1000);
    mesh.vertices.assign(3 * static_cast<std::size_t>(mesh.vertexCount), -12.5f);
    std::ostringstream out;
    EXPECT_FALSE(klotz::writeKlotzCache(dir.file("huge"), mesh, out));
    EXPECT_FALSE(std::filesystem::exists(dir.file("huge.klotz")));
    EXPECT_NE(out.str().find("\nWARNING: the .klotz-file \"" + dir.file("huge") + ".klotz\" would be "),
              std::string::npos)
        << out.str();

    // A smaller one is written and reads back.
    mesh.vertexCount = 1000;
    mesh.vertices.resize(3000);
    std::ostringstream small;
    EXPECT_TRUE(klotz::writeKlotzCache(dir.file("small"), mesh, small)) << small.str();
    EXPECT_TRUE(klotz::readKlotzCache(dir.file("small"), small)) << small.str();
}

TEST(LargeMesh, RepeatedWarningsAreSummarisedWithACount) {
    // 300 faces on one point: one warning line with the count.
    std::string obj = "v 0 0 0\n";
    for (int i = 0; i < 300; ++i) obj += "f 1 1 1\n";
    // 25 faces naming vertices that do not exist: ten lines, then a count.
    for (int i = 0; i < 25; ++i) obj += "f 7 8 9\n";
    std::ostringstream out;
    const klotz::Mesh mesh = klotz::parseObj(obj, "flat.obj", out);
    EXPECT_EQ(mesh.faceCount, 300);
    const std::string console = out.str();
    EXPECT_EQ(countOf(console, "zero-normal"), 1u) << console;
    EXPECT_NE(console.find("WARNING: zero-normal encountered!! (300 faces)\n"), std::string::npos) << console;
    EXPECT_EQ(countOf(console, "face skipped"), 10u) << console;
    EXPECT_NE(console.find("\nWARNING: \"flat.obj\": 15 more warnings like these\n"), std::string::npos) << console;
}

}  // namespace
