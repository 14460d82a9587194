// klotzgen: writes the shipped klotz set, one OBJ file per type and the
// catalogue list "tumbalon_all.cfg" naming them in palette order.
//
//     klotzgen OUTDIR
//
// TRACK CONVENTION (every piece keeps it, so any exit meets any entry):
// - Local frame: the box -25..25 on every axis, y up; the OBJ file holds
//   local + (25, 25, -25), i.e. the box x 0..50, y 0..50, z -50..0.
// - A groove is 24 wide, centred on the cell face it opens in; its flat
//   floor surface is at y = -21 (a 4-unit plate above the cell bottom);
//   walls rise to y = 0, 21 above the floor. A ball (radius 8) rolling in a
//   groove has its centre at y = -13.
// - Openings: "straight" runs along x, open on the faces x = -25 and
//   x = +25. Every opening of every piece meets its cell face at floor
//   height -21, 24 wide, centred, so pieces on neighbouring cells of the
//   same level line up in any of the four turns.
// - "slope" descends one level along +x on a straight 45-degree floor,
//   y = 4 - x: +29 at x = -25 (level with a flat piece one level up on the
//   neighbouring cell) down to -21 at x = +25. Slopes placed each one cell
//   on and one level down make one straight ramp without a step at the
//   seams, and the last one meets a flat piece of its own level. The drop
//   of 50 over 50 cannot fit under the cube top with a floor plate, so the
//   entry lip rises up to 4 above the top (y <= 29, x < -21 only). Its walls
//   stand 21 above the floor but are clipped at the cube top (y = 25), so
//   nothing else leaves the cell: they shrink to nothing at x = -21, and
//   where the floor is above the top they are level with it.
// - Balls that come from above (a ball-start cell drops its ball at local
//   y = +50, the centre of the level above; "drop" and "spiral" release
//   theirs through the floor) are caught by "start", "funnel" and "spiral".
// - Turning a piece by +90 degrees about y maps local +x to world -z.
//
// Each piece is a union of closed convex parts (see klotzgenGeom.h).

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <vector>

#include "klotzgenGeom.h"
#include "klotzgenTrack.h"
#include "klotzgenTransitions.h"
#include "klotzgenFeatures.h"
#include "klotzgenTurns.h"
#include "klotzgenLoop.h"
#include "klotzgenMoving.h"

using namespace klotzgen;

namespace {

Piece cube() {
    Piece p("cube", "support block, fills the cell");
    p.addBox(-25, 25, -25, 25, -25, 25);
    return p;
}

// Raised track stands on these rather than on cubes, so the run is not hidden
// behind blank faces.
Piece pillar() {
    Piece p("pillar", "slim post, one level high, to stand raised track on");
    p.addBox(-6, 6, -25, 25, -6, 6);
    return p;
}

Piece straight() {
    Piece p("straight", "flat groove along x, open at x=-25 and x=+25");
    p.addBox(-25, 25, BOTTOM, FLOOR, -HALF, HALF);
    sideWalls(p, -25, 25);
    return p;
}

Piece curve() {
    Piece p("curve", "90-degree turn, open at x=-25 and z=+25");
    quarterTurn(p, {-25, 25}, -90, 0, rect(-25, 25, -25, 25));
    return p;
}

Piece slope() {
    Piece p("slope", "45-degree ramp down one level along +x: floor y=+29 at x=-25 to y=-21 at x=+25");
    // The floor is one convex part, so its surface has no crease.
    std::vector<V3> floor;
    for (double x : {-25.0, 25.0})
        for (double z : {-HALF, HALF}) {
            floor.push_back({x, BOTTOM, z});
            floor.push_back({x, slopeFloor(x), z});
        }
    p.addHull(floor);
    // Walls 21 above the floor, clipped at the cube top; where the floor is
    // above the top (x < -21) they are level with the floor. Their tops bend
    // at x = -21 and x = 0, so one part per straight stretch.
    const double floorAtTop = LIP - 25 - TOP;                   // x = -21
    const double wallAtTop = LIP - 25 - (TOP - (WALL - FLOOR));  // x = 0
    profiledWalls(p, {-25, floorAtTop, wallAtTop, 25}, slopeFloor);
    return p;
}

Piece crossing() {
    Piece p("crossing", "two grooves crossing: open on all four faces");
    p.addBox(-25, 25, BOTTOM, FLOOR, -HALF, HALF);
    p.addBox(-HALF, HALF, BOTTOM, FLOOR, HALF, 25);
    p.addBox(-HALF, HALF, BOTTOM, FLOOR, -25, -HALF);
    for (double x0 : {-25.0, HALF})
        for (double z0 : {-25.0, HALF}) p.addBox(x0, x0 + 25 - HALF, BOTTOM, WALL, z0, z0 + 25 - HALF);
    return p;
}

Piece tee() {
    Piece p("tee", "T-junction: open at x=-25, x=+25 and z=+25");
    p.addBox(-25, 25, BOTTOM, FLOOR, -HALF, HALF);
    p.addBox(-HALF, HALF, BOTTOM, FLOOR, HALF, 25);
    p.addBox(-25, 25, BOTTOM, WALL, -25, -HALF);
    p.addBox(-25, -HALF, BOTTOM, WALL, HALF, 25);
    p.addBox(HALF, 25, BOTTOM, WALL, HALF, 25);
    return p;
}

Piece merge(bool left) {
    Piece p(left ? "merge_left" : "merge_right",
            left ? "entries x=-25 and z=-25 merge into exit x=+25" : "entries x=-25 and z=+25 merge into exit x=+25");
    p.setMirrorZ(left);
    p.addBox(-25, 25, BOTTOM, FLOOR, -25, 25);
    p.addBox(-25, 25, FLOOR, WALL, -25, -HALF);
    mergeSideLane(p);
    return p;
}

Piece stop() {
    Piece p("stop", "dead end: open at x=-25, closed at x=+25");
    p.addBox(-25, 17, BOTTOM, FLOOR, -HALF, HALF);
    p.addBox(17, 25, BOTTOM, WALL, -HALF, HALF);
    sideWalls(p, -25, 25);
    return p;
}

Piece start() {
    Piece p("start", "catches a ball dropped from above; exit x=+25");
    profiledFloor(p, samples(-HALF, 25, 8), [](double x) { return catchFloor(x, 0.008); });
    p.addBox(-25, -HALF, BOTTOM, WALL, -HALF, HALF);
    sideWalls(p, -25, 25);
    return p;
}

Piece funnel() {
    Piece p("funnel", "hopper catching a ball from above; exit x=+25");
    profiledFloor(p, samples(-HALF, 25, 8), [](double x) { return catchFloor(x, 0.005); });
    // Back and side walls: upright up to y=-10, then flaring out to the rim.
    std::vector<V3> back;
    for (double z : {-HALF, HALF})
        for (V3 q : {V3{-25, BOTTOM, z}, V3{-HALF, BOTTOM, z}, V3{-HALF, -10, z}, V3{-25, 10, z}}) back.push_back(q);
    p.addHull(back);
    for (double s : {1.0, -1.0}) {
        std::vector<V3> side;
        for (double x : {-25.0, 25.0})
            for (V3 q : {V3{x, BOTTOM, s * HALF}, V3{x, BOTTOM, s * 25}, V3{x, 10, s * 25}, V3{x, -10, s * HALF}})
                side.push_back(q);
        p.addHull(side);
    }
    return p;
}

Piece drop() {
    Piece p("drop", "open at x=-25; the ball falls through the floor at the centre");
    p.addBox(-25, -HALF, BOTTOM, FLOOR, -HALF, HALF);
    p.addBox(8, 25, BOTTOM, WALL, -HALF, HALF);
    sideWalls(p, -25, 25);
    return p;
}

// A helix ramp around a post inside a round wall: a ball dropped onto the
// post runs down 270 degrees and leaves through the open floor sector
// around +x.
Piece spiral() {
    Piece p("spiral", "catches a ball from above, spirals down, drops it out at +x");
    const P2 o{0, 0};
    const double post = 4, outer = 24;
    const double rampFrom = 45, rampTo = 315, step = 10;
    auto rampTop = [&](double a) { return 10 + (FLOOR - 10) * (a - rampFrom) / (rampTo - rampFrom); };
    for (double a = rampFrom; a < rampTo - 1e-9; a += step) {
        std::vector<V3> pts;
        for (double b : {a, a + step})
            for (double r : {post, outer}) {
                P2 q = arcPoint(o, r, b);
                pts.push_back({q.x, rampTop(b), q.z});
                pts.push_back({q.x, rampTop(b) - 4, q.z});
            }
        p.addHull(pts);
    }
    for (double a = 0; a < 360 - 1e-9; a += step)
        p.addPrism(outsideChord(rect(-25, 25, -25, 25), o, outer, a, a + step), BOTTOM, TOP);
    // The post's top leans toward 120 degrees, rolling the ball onto the ramp.
    const P2 lean = dirDeg(120);
    p.addPrism(pie(o, post, 0, 360, 8), [](P2) { return BOTTOM; },
               [&](P2 q) { return 17 - 0.8 * (q.x * lean.x + q.z * lean.z); });
    // Stops a ball that shoots off the ramp's end, under the ramp's start.
    std::vector<V3> stopper;
    for (double b : {rampFrom, rampFrom + 7})
        for (double r : {post, outer}) {
            P2 q = arcPoint(o, r, b);
            stopper.push_back({q.x, BOTTOM, q.z});
            stopper.push_back({q.x, rampTop(rampFrom + 7) - 4.5, q.z});
        }
    p.addHull(stopper);
    return p;
}

Piece halfpipe() {
    Piece p("halfpipe", "round-bottomed groove along x, open at x=-25 and x=+25");
    // Cross-section: chords of a circle of radius 25, the bottom chord
    // (angles -10..10 degrees) level at the floor height.
    const int n = 9;
    const double r = 25, yc = FLOOR + r * std::cos(PI / 18);
    for (int i = 0; i < n; ++i) {
        double a0 = -PI / 2 + PI * i / n, a1 = -PI / 2 + PI * (i + 1) / n;
        std::vector<V3> pts;
        for (double x : {-25.0, 25.0})
            for (double a : {a0, a1}) {
                pts.push_back({x, BOTTOM, r * std::sin(a)});
                pts.push_back({x, yc - r * std::cos(a), r * std::sin(a)});
            }
        p.addHull(pts);
    }
    return p;
}

Piece jump() {
    Piece p("jump", "kicker: open at x=-25, launches the ball over x=+25 at 30 degrees");
    const double r = 60, x0 = 25 - r * std::sin(PI / 6);
    std::vector<double> xs{-25};
    for (int i = 0; i <= 6; ++i) xs.push_back(x0 + (25 - x0) * i / 6.0);
    profiledFloor(p, xs, [&](double x) {
        if (x <= x0) return FLOOR;
        double dx = x - x0;
        return FLOOR + r - std::sqrt(r * r - dx * dx);
    });
    sideWalls(p, -25, 25);
    return p;
}

Piece goal() {
    Piece p("goal", "basin holding the balls arriving at x=-25");
    const double basin = -23;  // basin floor, 2 below the groove floor
    // Entry lip: a returning ball would have to climb 3 units.
    std::vector<V3> lip;
    for (double z : {-HALF, HALF})
        for (V3 q : {V3{-25, BOTTOM, z}, V3{-15, BOTTOM, z}, V3{-15, basin, z}, V3{-21, -20, z}, V3{-25, FLOOR, z}})
            lip.push_back(q);
    p.addHull(lip);
    p.addBox(-15, 22, BOTTOM, basin, -22, 22);
    p.addBox(-22, -15, BOTTOM, basin, HALF, 22);
    p.addBox(-22, -15, BOTTOM, basin, -22, -HALF);
    p.addBox(22, 25, BOTTOM, WALL, -25, 25);
    p.addBox(-25, 22, BOTTOM, WALL, 22, 25);
    p.addBox(-25, 22, BOTTOM, WALL, -25, -22);
    p.addBox(-25, -22, BOTTOM, WALL, HALF, 22);
    p.addBox(-25, -22, BOTTOM, WALL, -22, -HALF);
    return p;
}

// True when the file exists and holds exactly text.
bool sameContent(const std::filesystem::path& file, const std::string& text) {
    std::ifstream in(file, std::ios::binary);
    if (!in) return false;
    std::ostringstream held;
    held << in.rdbuf();
    return held.str() == text;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: klotzgen OUTDIR\n";
        return 2;
    }
    const std::filesystem::path dir = argv[1];
    std::error_code ec;
    std::filesystem::create_directories(dir, ec);

    // Palette order; scenes store these indices, so only append.
    std::vector<Piece> pieces = {cube(),       straight(),  curve(), slope(), crossing(), tee(),
                                 merge(false), merge(true), stop(),  start(), funnel(),   drop(),
                                 spiral(),     halfpipe(),  jump(),  goal()};
    for (std::vector<Piece> set : {sagPieces(), crestPieces()})
        pieces.insert(pieces.end(), set.begin(), set.end());
    for (Piece p : {splitter(), collector(), tunnel(), bridge(), catcher(), goalBasin(), pillar()})
        pieces.push_back(p);
    for (const Piece& p : wideTurnPieces()) pieces.push_back(p);
    for (const Piece& p : loopPieces()) pieces.push_back(p);
    // Moving pieces: their parts' meshes and how they move, beside them.
    std::vector<std::pair<Piece, std::string>> files;  // part meshes; parts texts by name
    std::vector<std::pair<std::string, std::string>> texts;
    for (const MovingPiece& m : movingPieces()) {
        pieces.push_back(m.body);
        for (const auto& [name, mesh] : m.parts) files.push_back({mesh, ""});
        texts.push_back({m.body.name() + ".parts", m.partsText});
    }
    std::string list;
    auto write = [&](const Piece& p) {
        const std::filesystem::path file = dir / (p.name() + ".obj");
        const std::string text = p.objText();
        const char* state = "unchanged";
        if (!sameContent(file, text)) {
            std::ofstream out(file, std::ios::binary);
            out << text;
            if (!out) {
                std::cerr << "klotzgen: can not write " << file.string() << "\n";
                return false;
            }
            // The program loads a type from its cache whenever one exists,
            // so a cache beside a rewritten mesh would hide the new shape.
            std::filesystem::path cache = file;
            cache.replace_extension(".klotz");
            state = std::filesystem::remove(cache, ec) ? "written, cache removed" : "written";
            if (ec) {
                std::cerr << "klotzgen: can not remove " << cache.string() << ": " << ec.message() << "\n";
                return false;
            }
        }
        std::printf("%-12s %3d parts %5d triangles  %s\n", p.name().c_str(), p.partCount(), p.faceCount(), state);
        return true;
    };
    for (const Piece& p : pieces) {
        if (!write(p)) return 1;
        list += p.name() + "\n";
    }
    for (const auto& f : files)
        if (!write(f.first)) return 1;
    for (const auto& [name, text] : texts) {
        if (sameContent(dir / name, text)) continue;
        std::ofstream out(dir / name, std::ios::binary);
        out << text;
        if (!out) {
            std::cerr << "klotzgen: can not write " << (dir / name).string() << "\n";
            return 1;
        }
    }
    std::ofstream cfg(dir / "tumbalon_all.cfg", std::ios::binary);
    cfg << list;
    if (!cfg) {
        std::cerr << "klotzgen: can not write " << (dir / "tumbalon_all.cfg").string() << "\n";
        return 1;
    }
    return 0;
}
