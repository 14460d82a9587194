// The shipped klotz set, loaded through the real catalogue from a copy of
// the data folder (so no caches land in the repository): closed convex
// parts with outward normals, inside the cell, and openings that keep the
// track convention (groove 24 wide, floor at y = -21, walls beside it).
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include <glm/glm.hpp>

#include "klotz/Catalogue.h"
#include "support/TestSupport.h"

namespace fs = std::filesystem;

namespace {

struct Part {
    std::vector<int> faces;
    std::set<int> vertices;
};

glm::vec3 vertex(const klotz::Mesh& m, int i) { return {m.vertices[3 * i], m.vertices[3 * i + 1], m.vertices[3 * i + 2]}; }
glm::vec3 faceNormal(const klotz::Mesh& m, int f) {
    return {m.faceNormals[3 * f], m.faceNormals[3 * f + 1], m.faceNormals[3 * f + 2]};
}

// Faces joined by shared vertex indices form one part.
std::vector<Part> partsOf(const klotz::Mesh& m) {
    std::vector<int> root(m.vertexCount);
    for (int i = 0; i < m.vertexCount; ++i) root[i] = i;
    std::function<int(int)> find = [&](int i) { return root[i] == i ? i : root[i] = find(root[i]); };
    for (int f = 0; f < m.faceCount; ++f)
        for (int k = 1; k < 3; ++k) root[find(m.faces[3 * f + k])] = find(m.faces[3 * f]);
    std::map<int, Part> parts;
    for (int f = 0; f < m.faceCount; ++f) {
        Part& p = parts[find(m.faces[3 * f])];
        p.faces.push_back(f);
        for (int k = 0; k < 3; ++k) p.vertices.insert(m.faces[3 * f + k]);
    }
    std::vector<Part> out;
    for (auto& kv : parts) out.push_back(kv.second);
    return out;
}

class ShippedSet : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        dir = new testsupport::TempDir;
        for (const auto& entry : fs::directory_iterator(testsupport::dataDir())) {
            const std::string ext = entry.path().extension().string();
            if (ext == ".obj" || ext == ".parts" || entry.path().filename() == "tumbalon_all.cfg")
                fs::copy_file(entry.path(), fs::path(dir->path()) / entry.path().filename());
        }
        testsupport::ScopedChdir here(dir->path());
        std::ostringstream out;
        catalogue = new klotz::KlotzCatalogue;
        klotz::loadCatalogueList(*catalogue, out);
        klotz::loadKloetze(*catalogue, out);
        console = new std::string(out.str());
    }
    static void TearDownTestSuite() {
        delete catalogue;
        delete console;
        delete dir;
    }

    static const klotz::Mesh& mesh(const std::string& name) {
        for (const klotz::KlotzType& t : catalogue->klotzTypes)
            if (t.name == name) return t.mesh;
        ADD_FAILURE() << "no type " << name;
        static klotz::Mesh none;
        return none;
    }

    // Inside some convex part (its faces' planes all keep p behind them).
    static bool solidAt(const klotz::Mesh& m, glm::vec3 p) {
        for (const Part& part : partsOf(m)) {
            bool inside = true;
            for (int f : part.faces)
                inside = inside && glm::dot(faceNormal(m, f), p - vertex(m, m.faces[3 * f])) < 0;
            if (inside) return true;
        }
        return false;
    }

    // An opening in the face with outward direction `out` (local x or z axis):
    // free groove 24 wide just inside the face, floor at -21 under it and walls
    // beside it.
    static void expectOpening(const std::string& name, glm::vec3 out, bool flatFloor = true) {
        const float floorY = -21;
        const klotz::Mesh& m = mesh(name);
        const glm::vec3 side(out.z, 0, out.x);  // across the groove
        const glm::vec3 at = out * 24.5f;
        for (float s : {-11.0f, 0.0f, 11.0f}) {
            if (!flatFloor && s != 0) continue;
            for (float dy : {0.5f, 8.0f, 17.0f})
                EXPECT_FALSE(solidAt(m, at + side * s + glm::vec3(0, floorY + dy, 0)))
                    << name << ": groove blocked at side " << s << " height " << dy;
            EXPECT_TRUE(solidAt(m, at + side * s + glm::vec3(0, floorY - 0.5f, 0)))
                << name << ": no floor at side " << s;
        }
        if (!flatFloor) return;
        for (float s : {-13.0f, 13.0f})
            for (float dy : {1.0f, 10.0f})
                EXPECT_TRUE(solidAt(m, at + side * s + glm::vec3(0, floorY + dy, 0)))
                    << name << ": no wall at side " << s << " height " << dy;
    }

    static testsupport::TempDir* dir;
    static klotz::KlotzCatalogue* catalogue;
    static std::string* console;
};
testsupport::TempDir* ShippedSet::dir = nullptr;
klotz::KlotzCatalogue* ShippedSet::catalogue = nullptr;
std::string* ShippedSet::console = nullptr;

TEST_F(ShippedSet, LoadsAtLeastTwentySixTypesWithoutWarnings) {
    EXPECT_GE(catalogue->typeCount(), 26);
    EXPECT_EQ(console->find("WARNING"), std::string::npos) << *console;
    EXPECT_EQ(console->find("Can not open"), std::string::npos) << *console;
    for (const klotz::KlotzType& t : catalogue->klotzTypes) {
        EXPECT_GT(t.mesh.faceCount, 0) << t.name;
        EXPECT_LT(t.mesh.faceCount, 3000) << t.name << ": too detailed for a 50-unit block";
    }
}

// Every part is a closed shell (each edge used once in each direction), its
// face normals unit length and pointing out: the whole part lies behind
// every one of its faces.
TEST_F(ShippedSet, PartsAreClosedConvexAndWoundOutward) {
    for (const klotz::KlotzType& t : catalogue->klotzTypes) {
        const klotz::Mesh& m = t.mesh;
        for (int f = 0; f < m.faceCount; ++f) ASSERT_NEAR(glm::length(faceNormal(m, f)), 1.0f, 1e-4f) << t.name;
        for (const Part& part : partsOf(m)) {
            std::map<std::pair<int, int>, int> edges;
            float volume6 = 0;
            for (int f : part.faces) {
                const int* c = &m.faces[3 * f];
                for (int k = 0; k < 3; ++k) ++edges[{c[k], c[(k + 1) % 3]}];
                volume6 += glm::dot(vertex(m, c[0]), glm::cross(vertex(m, c[1]), vertex(m, c[2])));
                for (int v : part.vertices)
                    ASSERT_LT(glm::dot(faceNormal(m, f), vertex(m, v) - vertex(m, c[0])), 2e-3f)
                        << t.name << ": face " << f << " does not face out of its part";
            }
            for (const auto& e : edges) {
                ASSERT_EQ(e.second, 1) << t.name << ": edge used twice in one direction";
                ASSERT_EQ(edges.count({e.first.second, e.first.first}), 1u) << t.name << ": open edge";
            }
            EXPECT_GT(volume6, 0.0f) << t.name;
        }
    }
}

// Scene files store catalogue indices: the first sixteen types keep their
// names and places.
TEST_F(ShippedSet, FirstSixteenTypesKeepTheirPlaces) {
    const char* first[] = {"cube",  "straight", "curve", "slope",  "crossing", "tee",      "merge_right", "merge_left",
                           "stop",  "start",    "funnel", "drop",  "spiral",   "halfpipe", "jump",        "goal"};
    ASSERT_GE(catalogue->typeCount(), 16);
    for (int i = 0; i < 16; ++i) EXPECT_EQ(catalogue->klotzTypes[i].name, first[i]) << "type " << i;
}

// Inside the cell box; a few pieces reach a little above it, where they
// meet track one level up: the slope's entry lip (x <= -21) and the first
// concave part's, the convex bend's second and last parts, the goal basin's rim (up
// to that track's floor, y = 29), the bridge's deck with its kerbs and the
// lift's shaft, three levels up to the track it lets balls out on.
TEST_F(ShippedSet, EveryVertexInsideTheCell) {
    const std::map<std::string, float> above = {
        {"slope", 29}, {"sag_1", 29}, {"crest_2", 29}, {"crest_4", 29}, {"goal_basin", 29}, {"bridge", 33},
        {"lift", 150}};
    const float eps = 1e-3f;
    for (const klotz::KlotzType& t : catalogue->klotzTypes)
        for (int i = 0; i < t.mesh.vertexCount; ++i) {
            glm::vec3 v = vertex(t.mesh, i);
            float top = 25;
            if (above.count(t.name) && (t.name != "slope" || v.x <= -21 + eps)) top = above.at(t.name);
            ASSERT_TRUE(std::fabs(v.x) <= 25 + eps && std::fabs(v.z) <= 25 + eps && v.y >= -25 - eps &&
                        v.y <= top + eps)
                << t.name << " vertex " << i << " at " << v.x << " " << v.y << " " << v.z;
        }
}

const glm::vec3 XM(-1, 0, 0), XP(1, 0, 0), ZM(0, 0, -1), ZP(0, 0, 1);

TEST_F(ShippedSet, OpeningsKeepTheTrackConvention) {
    const std::vector<std::pair<std::string, std::vector<glm::vec3>>> openings = {
        {"straight", {XM, XP}},       {"curve", {XM, ZP}},         {"slope", {XP}},
        {"crossing", {XM, XP, ZM, ZP}}, {"tee", {XM, XP, ZP}},     {"merge_right", {XM, XP, ZP}},
        {"merge_left", {XM, XP, ZM}}, {"stop", {XM}},              {"start", {XP}},
        {"funnel", {XP}},             {"drop", {XM}},              {"jump", {XM}},
        {"goal", {XM}},               {"crest_1", {XM}},           {"sag_2", {XP}},
        {"tunnel", {XM, XP}},         {"bridge", {ZM, ZP}},        {"collector", {XM, XP, ZM, ZP}},
        {"splitter", {XM, ZP, ZM}},   {"catcher", {ZP}}};
    for (const auto& piece : openings)
        for (glm::vec3 out : piece.second) expectOpening(piece.first, out);
    expectOpening("halfpipe", XM, false);
    expectOpening("halfpipe", XP, false);
}

// The slope's floor is the one plane y = 4 - x (45 degrees, from y = +29 at
// x = -25, a flat floor one level up, to -21 at x = +25), so slopes in a row
// form one straight ramp; nothing stands over it across the groove, and
// walls beside it where it is below the cube top.
TEST_F(ShippedSet, SlopeIsOneStraightFortyFiveDegreeRamp) {
    const klotz::Mesh& m = mesh("slope");
    for (float x = -24.5f; x <= 24.5f; x += 1.0f) {
        const float floorY = 4 - x;
        for (float z : {-11.5f, 0.0f, 11.5f}) {
            EXPECT_TRUE(solidAt(m, {x, floorY - 0.05f, z})) << "no floor at " << x << " " << z;
            for (float dy : {0.05f, 8.0f, 18.0f})
                EXPECT_FALSE(solidAt(m, {x, floorY + dy, z})) << "groove blocked at " << x << " " << z << " +" << dy;
        }
        const float wallTop = std::min(floorY + 18, 24.9f);
        if (wallTop < floorY + 0.5f) continue;  // the lip, above the cube top
        for (float z : {-12.5f, 12.5f}) EXPECT_TRUE(solidAt(m, {x, wallTop, z})) << "no wall at " << x << " " << z;
    }
    // Every upward face over the groove lies in that plane: no crease.
    for (int f = 0; f < m.faceCount; ++f) {
        const glm::vec3 nrm = faceNormal(m, f);
        if (nrm.y < 0.1f) continue;
        for (int k = 0; k < 3; ++k) {
            const glm::vec3 v = vertex(m, m.faces[3 * f + k]);
            if (std::fabs(v.z) < 11.99f) {
                ASSERT_NEAR(v.x + v.y, 4.0f, 1e-3f) << "face " << f << " off the ramp";
            }
        }
    }
}

// The merges keep the straight lane free for a ball along its centre; the
// side lane's outer wall bends toward the exit and the straight groove's
// wall is cut where the side lane crosses it.
TEST_F(ShippedSet, MergesTurnTheSideLaneIntoTheStraightOne) {
    for (const char* name : {"merge_right", "merge_left"}) {
        const klotz::Mesh& m = mesh(name);
        const float side = std::string(name) == "merge_right" ? 1.0f : -1.0f;  // the side entry's z
        for (float x = -24.5f; x <= 24.5f; x += 1.0f)
            for (float z : {-9.0f, 0.0f, 9.0f})
                for (float y : {-20.5f, -13.0f, -4.0f})
                    ASSERT_FALSE(solidAt(m, {x, y, z * side})) << name << ": straight lane blocked at " << x << " " << z;
        EXPECT_TRUE(solidAt(m, {-10, -13, 20 * side})) << name << ": no outer wall bending the side lane";
        EXPECT_TRUE(solidAt(m, {-20, -13, 13 * side})) << name << ": no wall beside the straight entry";
        for (float x : {0.0f, 5.0f, 10.0f})
            EXPECT_FALSE(solidAt(m, {x, -13, 13 * side})) << name << ": wall not cut at " << x;
        EXPECT_TRUE(solidAt(m, {0, -13, -13 * side})) << name << ": no far wall";
    }
}

TEST_F(ShippedSet, ClosedSidesAndWaysOut) {
    EXPECT_TRUE(solidAt(mesh("curve"), {24.5f, -13, 0})) << "curve open at x=+25";
    EXPECT_TRUE(solidAt(mesh("stop"), {24.5f, -13, 0}));
    EXPECT_TRUE(solidAt(mesh("goal"), {24.5f, -13, 0}));
    EXPECT_TRUE(solidAt(mesh("tee"), {0, -13, -24.5f}));
    EXPECT_TRUE(solidAt(mesh("cube"), {0, 0, 0}));
    // Ways down through the floor.
    EXPECT_FALSE(solidAt(mesh("drop"), {-2, -23, 0}));
    EXPECT_FALSE(solidAt(mesh("spiral"), {15, -23, 0}));
    // A ball dropped onto the centre from above lands in these, on a floor
    // that falls toward the exit.
    for (const char* name : {"start", "funnel"}) {
        EXPECT_FALSE(solidAt(mesh(name), {0, 20, 0})) << name;
        EXPECT_TRUE(solidAt(mesh(name), {-5, -17, 0}) && !solidAt(mesh(name), {10, -18.5f, 0})) << name;
    }
    EXPECT_TRUE(solidAt(mesh("spiral"), {0, 10, 0})) << "spiral post";
    // Something can stand on the tunnel; the bridge's deck lies level with
    // flat track one level up, over a free passage.
    EXPECT_TRUE(solidAt(mesh("tunnel"), {0, 20, 0}));
    EXPECT_FALSE(solidAt(mesh("tunnel"), {0, -5, 0}));
    EXPECT_TRUE(solidAt(mesh("bridge"), {0, 28.5f, 0}) && !solidAt(mesh("bridge"), {0, 29.5f, 0}));
    EXPECT_FALSE(solidAt(mesh("bridge"), {0, 20, 0}));
    // The goal basin is open from its floor to the rim, 50 deep.
    for (float y : {-20.0f, 0.0f, 28.0f}) EXPECT_FALSE(solidAt(mesh("goal_basin"), {0, y, 0})) << y;
    for (glm::vec3 side : {XM, XP, ZM, ZP}) EXPECT_TRUE(solidAt(mesh("goal_basin"), side * 24.0f + glm::vec3(0, 28.5f, 0)));
    // The catcher's back wall stops a flying ball; its entry side is open.
    EXPECT_TRUE(solidAt(mesh("catcher"), {24, 20, 0}));
    EXPECT_FALSE(solidAt(mesh("catcher"), {-24, -10, 0}));
}

// The concave and convex bends: floors that join each other and the track
// around them without a step, at the heights their levels put them.
TEST_F(ShippedSet, BendsJoinWithoutSteps) {
    // Floor height under (x, z = 0) of a piece, from above.
    auto floorAt = [&](const std::string& name, float x) {
        float y = 40;
        while (y > -25 && !solidAt(mesh(name), {x, y, 0})) y -= 0.01f;
        return y;
    };
    struct Seam {
        const char* before;
        const char* after;
        float drop;  // levels between their cells
        float y;     // floor at the seam, in the first piece's frame
    };
    const Seam seams[] = {{"sag_1", "sag_2", 0, -10.15f},  {"sag_2", "straight", 0, -21},
                          {"straight", "crest_1", 0, -21}, {"crest_1", "crest_2", 1, -24.17f},
                          {"crest_2", "crest_3", 0, 9.35f}, {"crest_3", "crest_4", 1, -23.93f},
                          {"crest_4", "slope", 1, -21}};
    for (const Seam& s : seams) {
        EXPECT_NEAR(floorAt(s.before, 24.9f), s.y, 0.15f) << s.before;
        EXPECT_NEAR(floorAt(s.after, -24.9f) - 50 * s.drop, s.y, 0.15f) << s.after;
    }
}

}  // namespace
