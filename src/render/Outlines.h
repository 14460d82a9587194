// The dark lines drawn along a klotz's creases, so neighbouring pieces and
// levels read apart: the mesh edges where the surface folds.
#pragma once

#include <vector>

#include "klotz/Mesh.h"

namespace render {

// An edge folds when the normals of its two faces part by more than this
// (degrees); an edge with one face, or more than two, is a rim and counts too.
constexpr float CREASE_DEGREES = 35.0f;
// Faces meeting at a smaller angle than a crease, but more than this, are
// a curved surface.
constexpr float CURVE_DEGREES = 3.0f;

struct Outline {
    // The crease edges as line segments: 6 floats (two corners) each.
    std::vector<float> creases;
    // Some of the surface bends gently (a tube, a round groove): its
    // outline against what lies behind is no crease and is drawn apart.
    bool curved = false;
};

// Corners closer than a hundredth of a unit are one, so meshes whose
// triangles do not share vertex indices fold the same.
Outline meshOutline(const klotz::Mesh& mesh);

}  // namespace render
