// The pieces with moving parts: each a static Piece like the others, plus
// part meshes ("NAME_PART.obj", in the klotz's frame at rest) and the
// "NAME.parts" text that says how they move (klotz/MovingParts.h).
#pragma once

#include <cmath>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "klotzgenGeom.h"
#include "klotzgenTrack.h"

namespace klotzgen {

struct MovingPiece {
    Piece body;
    std::vector<std::pair<std::string, Piece>> parts;  // part name, mesh
    std::string partsText;
};

// The parts text of a piece: format filled in like printf.
template <typename... Numbers>
std::string partsText(const char* format, Numbers... numbers) {
    char text[400];
    std::snprintf(text, sizeof text, format, numbers...);
    return text;
}

// A box x0..x1, y0..y1, z0..z1 turned by degrees about the axis through
// pivot: about y for axis 'y', about z for 'z'.
inline void addTurnedBox(Piece& p, double x0, double x1, double y0, double y1, double z0, double z1, V3 pivot,
                         char axis, double degrees) {
    const double a = degrees * PI / 180, c = std::cos(a), s = std::sin(a);
    std::vector<V3> pts;
    for (double x : {x0, x1})
        for (double y : {y0, y1})
            for (double z : {z0, z1}) {
                const double dx = x - pivot.x, dy = y - pivot.y, dz = z - pivot.z;
                if (axis == 'z')
                    pts.push_back({pivot.x + c * dx - s * dy, pivot.y + s * dx + c * dy, z});
                else
                    pts.push_back({pivot.x + c * dx + s * dz, y, pivot.z - s * dx + c * dz});
            }
    p.addHull(pts);
}

// A tray on a hinge across the groove: at rest it tilts down toward the
// entry; a ball rolling past the hinge tips it the other way and rolls off
// at the far end, and a spring rights it again.
constexpr double SEESAW_TILT = 8;  // degrees either way
inline MovingPiece seesaw() {
    MovingPiece m{Piece("seesaw", "a tray on a hinge that tips under a ball and rights itself; x=-25 to x=+25"), {}, {}};
    Piece& p = m.body;
    p.addBox(-25, 25, BOTTOM, BOTTOM + 1, -HALF, HALF);
    sideWalls(p, -25, 25);
    const double pivotY = FLOOR + 25 * std::tan(SEESAW_TILT * PI / 180);
    Piece tray("seesaw_tray", "");
    addTurnedBox(tray, -24.5, 24.5, pivotY - 2, pivotY, -HALF + 0.5, HALF - 0.5, {0, pivotY, 0}, 'z', SEESAW_TILT);
    m.parts.push_back({"tray", tray});
    m.partsText = partsText("# the tray: tips under a ball past its hinge, a spring rights it\n"
                            "part tray\nhinge 0 %.4f 0  0 0 1  %.1f 0\nmass 12\nspring 30000 0\ndamping 0.8\n",
                            pivotY, -2 * SEESAW_TILT);
    return m;
}

// A sprung pad under a ball-start cell or a drop: it throws a ball falling
// on it up and on over its x=+25 face, to a catcher on the next cell.
constexpr double PAD_TILT = 20;  // degrees, toward +x
inline MovingPiece trampoline() {
    MovingPiece m{Piece("trampoline", "sprung pad: a ball falling on it bounces on over x=+25"), {}, {}};
    Piece& p = m.body;
    p.addBox(-25, 25, BOTTOM, BOTTOM + 3, -25, 25);
    Piece pad("trampoline_pad", "");
    addTurnedBox(pad, -16, 16, -21, -18, -16, 16, {0, -18, 0}, 'z', -PAD_TILT);
    m.parts.push_back({"pad", pad});
    m.partsText =
        "# the pad: sprung along its normal, gives a ball back most of its fall\n"
        "part pad\nslider 0 -18 0  0.3420 0.9397 0  -3 0\nmass 200\nspring 500000 0\ndamping 0.5\nrestitution 0.85\n";
    return m;
}

// A lift: a ball rolling in at x=-25 onto the platform is carried up three
// levels and rolls out at x=+25 onto the track there (floor y=+129, where
// a slope on the next cell one level lower begins). While the platform is
// up, a shield under its entry edge holds the next balls back.
constexpr double LIFT_RISE = 154.5;
inline MovingPiece lift() {
    MovingPiece m{Piece("lift", "carries a ball from x=-25 up three levels and lets it out at x=+25 there"), {}, {}};
    Piece& p = m.body;
    const double exitFloor = FLOOR + 150;
    // The way in falls toward the shaft, so a waiting ball rolls on.
    p.addPrism(rect(-25, -1, -HALF, HALF), [](P2) { return BOTTOM; }, [](P2 q) { return FLOOR - (q.x + 25) * 0.068; });
    // High walls by the way in: balls pile up there.
    sideWalls(p, -25, -3, TOP);
    // The shaft: a post the riding ball leans on, the way out at the top,
    // and latticed sides, too tight for a ball, that leave the ride in
    // sight.
    p.addBox(14, 18, BOTTOM, exitFloor, -5, 5);
    for (double z : {HALF, -HALF - 3}) {
        for (double x : {-3.0, 14.0}) p.addBox(x, x + 2, BOTTOM, exitFloor + 21, z, z + 3);
        p.addBox(-1, 14, BOTTOM, TOP, z, z + 3);  // solid by the way in, where balls crowd
        for (double y = TOP; y + 3 <= exitFloor + 21; y += 14) p.addBox(-1, 14, y, y + 3, z, z + 3);
    }
    p.addBox(14, 25, exitFloor - 4, exitFloor, -HALF, HALF);
    p.addBox(14, 25, exitFloor - 4, exitFloor + 21, HALF, HALF + 3);
    p.addBox(14, 25, exitFloor - 4, exitFloor + 21, -HALF - 3, -HALF);
    Piece platform("lift_platform", "");
    const double fall = std::tan(6 * PI / 180);
    // One ball long: the ball waiting behind the one that rides rests
    // clear of the shield, which rises past it without lifting it.
    const double x0 = 1, top0 = FLOOR - 2, top1 = top0 - (14 - x0) * fall;
    const double w = HALF - 0.5;
    platform.addHull({{x0, top0, -w}, {x0, top0, w}, {14, top1, -w}, {14, top1, w}, {x0, top0 - 2, -w},
                      {x0, top0 - 2, w}, {14, top1 - 2, -w}, {14, top1 - 2, w}});
    for (double z : {-w, w - 2})
        platform.addHull({{x0, top0 - 2, z}, {x0, top0 + 8, z}, {14, top1 - 2, z}, {14, top1 + 8, z},
                          {x0, top0 - 2, z + 2}, {x0, top0 + 8, z + 2}, {14, top1 - 2, z + 2}, {14, top1 + 8, z + 2}});
    // The shield under its entry edge holds the next balls back while it is up.
    platform.addHull({{x0, top0, -w}, {x0, top0, w}, {x0 - 2, top0 - 3, -w}, {x0 - 2, top0 - 3, w},
                      {x0, top0 - 160, -w}, {x0, top0 - 160, w}, {x0 - 2, top0 - 160, -w}, {x0 - 2, top0 - 160, w}});
    m.parts.push_back({"platform", platform});
    m.partsText = partsText("# the platform: up three levels and down again at a constant speed\n"
                            "part platform\ndriven 60 1.5  0 0 0  0 %.1f 0\n",
                            LIFT_RISE);
    return m;
}

// A switch: the two quarter turns of the splitter, and a bar on a vertical
// hinge across the way in. It leads a ball to one side, and the ball going
// past its far arm throws it over, so the next ball goes to the other side.
constexpr double SWITCH_ANGLE = 30;  // degrees either side of the way in
constexpr double SWITCH_PIVOT_X = -5;
inline MovingPiece switchPiece() {
    MovingPiece m{Piece("switch", "in x=-25; balls leave at z=-25 and z=+25 in turn, the first at z=-25"), {}, {}};
    Piece& p = m.body;
    p.addBox(-25, -HALF, BOTTOM, FLOOR, -HALF, HALF);
    quarterTurn(p, {-25, 25}, -90, 0, rect(-25, 25, 0, 25));
    p.setMirrorZ(true);
    quarterTurn(p, {-25, 25}, -90, 0, rect(-25, 25, 0, 25));
    p.setMirrorZ(false);
    Piece bar("switch_bar", "");
    // A straight bar, and a crosspiece at its far end that a ball going
    // past on either side meets.
    const double far = SWITCH_PIVOT_X + 8;
    addTurnedBox(bar, SWITCH_PIVOT_X - 18, far, FLOOR + 0.5, FLOOR + 14, -1, 1, {SWITCH_PIVOT_X, 0, 0}, 'y',
                 SWITCH_ANGLE);
    addTurnedBox(bar, far - 2, far, FLOOR + 0.5, FLOOR + 14, -6, 6, {SWITCH_PIVOT_X, 0, 0}, 'y', SWITCH_ANGLE);
    m.parts.push_back({"bar", bar});
    m.partsText = partsText("# the bar: stays where the last ball threw it\n"
                            "part bar\nhinge %.1f 0 0  0 1 0  %.1f 0\nmass 4\nbistable 150\ndamping 0.9\n",
                            SWITCH_PIVOT_X, -2 * SWITCH_ANGLE);
    return m;
}

inline std::vector<MovingPiece> movingPieces() { return {switchPiece(), lift(), seesaw(), trampoline()}; }

}  // namespace klotzgen
