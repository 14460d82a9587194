// The dark lines drawn along a klotz's creases, so neighbouring pieces and
// levels read apart: the mesh edges where the surface folds.
#pragma once

#include <vector>

#include "klotz/Mesh.h"

namespace render {

// An edge folds when the normals of its two faces part by more than this
// (degrees); an edge with one face, or more than two, is a rim and counts too.
constexpr float CREASE_DEGREES = 35.0f;

// The crease edges of mesh as line segments: 6 floats (two corners) each.
// Corners closer than a hundredth of a unit are one, so meshes whose
// triangles do not share vertex indices fold the same.
std::vector<float> creaseSegments(const klotz::Mesh& mesh);

}  // namespace render
