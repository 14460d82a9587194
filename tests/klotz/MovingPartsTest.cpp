// A type's moving parts from "NAME.parts" and "NAME_PART.obj" on disk.
#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "klotz/Catalogue.h"
#include "support/TestSupport.h"

namespace {

const char* PLATE_OBJ = "v 0 20 0\nv 50 20 0\nv 50 20 -50\nv 0 20 -50\nf 1 2 3\nf 1 3 4\n";

class TypeWithParts : public ::testing::Test {
protected:
    testsupport::TempDir dir;
    testsupport::ScopedChdir here{dir.path()};
    std::ostringstream out;

    TypeWithParts() {
        dir.write("tray.obj", PLATE_OBJ);
        dir.write("tray_pan.obj", PLATE_OBJ);
    }
};

TEST_F(TypeWithParts, ReadsEachPartWithItsMeshInDegreesAndUnits) {
    dir.write("tray.parts",
              "# tips and rights itself\npart pan\nhinge 0 -5 0  0 0 1  -30 45\nmass 12\nspring 900 10\n"
              "\npart lift\ndriven 40 1.5  0 0 0  0 150 0\n");
    dir.write("tray_lift.obj", PLATE_OBJ);
    const klotz::KlotzType type = klotz::constructKlotzType("tray", out);
    EXPECT_EQ(out.str().find("WARNING"), std::string::npos) << out.str();
    ASSERT_EQ(type.parts.size(), 2u);
    const klotz::PartDecl& pan = type.parts[0].decl;
    EXPECT_EQ(pan.joint, klotz::PartJoint::HINGE);
    EXPECT_NEAR(pan.lower, -0.5236f, 1e-4);
    EXPECT_NEAR(pan.upper, 0.7854f, 1e-4);
    EXPECT_NEAR(pan.rest, 0.1745f, 1e-4);
    EXPECT_EQ(pan.pivot[1], -5.0f);
    EXPECT_EQ(type.parts[0].mesh.faceCount, 2);
    const klotz::PartDecl& lift = type.parts[1].decl;
    EXPECT_EQ(lift.joint, klotz::PartJoint::DRIVEN);
    ASSERT_EQ(lift.path.size(), 2u);
    EXPECT_EQ(lift.path[1][1], 150.0f);
    EXPECT_EQ(klotz::meshAtRest(type).faceCount, 6) << "the palette shows the parts with the klotz";
}

TEST_F(TypeWithParts, ABadFileOrAMissingMeshLeavesThePartsOutAndSaysWhere) {
    const struct {
        const char* text;
        const char* message;
    } cases[] = {
        {"part pan\nhinge 0 0 0 0 0 1 30 -30\n", "\"tray.parts\" line 2: the limits must be in order"},
        {"part pan\nmass 3\n", "\"tray.parts\" line 3: part \"pan\" has no hinge, slider or driven line"},
        {"hinge 0 0 0 0 0 1 -30 30\n", "line 1: \"hinge\" before the first \"part\" line"},
        {"part pan\nhinge 0 0 0 0 0 0 -30 30\n", "line 2: the axis is zero"},
        {"part pan\nhinge 0 0 0 0 0 1 -30 30\nwobble 3\n", "line 3: unknown word \"wobble\""},
        {"part pan\nhinge 0 0 0 0 0 1 -30 30\nmass nan\n", "line 3: \"mass\" takes numbers"},
        {"part ../pan\nhinge 0 0 0 0 0 1 -30 30\n", "line 1: \"part\" takes one name"},
        {"part lid\nhinge 0 0 0 0 0 1 -30 30\n", "the moving part \"lid\" of \"tray\" has no mesh"},
    };
    for (const auto& c : cases) {
        dir.write("tray.parts", c.text);
        out.str("");
        const klotz::KlotzType type = klotz::constructKlotzType("tray", out);
        EXPECT_TRUE(type.parts.empty()) << c.text;
        EXPECT_EQ(type.mesh.faceCount, 2) << "the klotz itself stays";
        EXPECT_NE(out.str().find(c.message), std::string::npos) << out.str();
    }
}

}  // namespace
