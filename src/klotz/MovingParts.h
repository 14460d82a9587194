// The moving parts a klotz type declares in "NAME.parts" beside its OBJ
// file: one block per part, each opened by "part PARTNAME", whose mesh is
// "NAME_PARTNAME.obj" in the klotz's own frame at rest. Lines:
//   part PARTNAME
//   hinge PX PY PZ AX AY AZ LOWER UPPER   turns about axis A through P, limits in degrees
//   slider PX PY PZ AX AY AZ LOWER UPPER  slides along A, limits in units
//   driven SPEED PAUSE X Y Z [X Y Z ...]  carried along the offsets and back, units/s, s
//   mass M                                in the balls' unit (a ball is 16)
//   spring K REST                         pulls toward REST (degrees for a hinge)
//   bistable K                            pushes toward the nearer limit
//   damping D                             0..1, of its own motion per second
//   restitution E                         0..1, the bounce it gives a ball
// '#' starts a comment; blank lines are ignored.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "io/Result.h"

namespace klotz {

constexpr int MAX_PARTS = 8;
constexpr int MAX_PATH_POINTS = 16;

enum class PartJoint { HINGE, SLIDER, DRIVEN };

struct PartDecl {
    std::string name;
    PartJoint joint = PartJoint::HINGE;
    std::array<float, 3> pivot{0, 0, 0};
    std::array<float, 3> axis{0, 0, 1};
    float lower = 0, upper = 0;  // radians for a hinge
    float mass = 10;
    float spring = 0;
    float rest = 0;  // radians for a hinge
    bool bistable = false;
    float damping = 0.5f;
    float restitution = 0;
    float speed = 0;
    float pause = 0;
    std::vector<std::array<float, 3>> path;
};

// The parts of a ".parts" file's text; path only names the file in errors.
io::Result<std::vector<PartDecl>> parseMovingParts(const std::string& text, const std::string& path);

}  // namespace klotz
