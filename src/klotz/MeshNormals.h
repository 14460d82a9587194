// Face and corner normals of a triangle mesh. Corner normals smooth across
// triangles that share a vertex index and meet at less than 45 degrees.
#pragma once

#include <iosfwd>

#include "klotz/Mesh.h"

namespace klotz {

constexpr float SMOOTHING_ANGLE = 45.0f;  // degrees

// Fills faceNormals (unit length) and faceNormalCount from vertices and
// faces. A triangle whose cross product is shorter than 1e-10 gets
// (1, 0, 0); such triangles are counted in one warning line on out. Every face index must lie in the vertex list.
void computeFaceNormals(Mesh& mesh, std::ostream& out);

// Fills cornerNormals and cornerNormalCount from faces and faceNormals:
// corner q's normal is its face normal plus, for each other corner m using
// the same vertex (in increasing m), that corner's face normal when it lies
// within SMOOTHING_ANGLE of q's own face normal; normalised. A vertex with
// up to 64 corners compares them pairwise, bit for bit the all-pairs
// result. At a busier vertex (a fan of thousands of triangles) corners with
// equal face normals are grouped and the distinct normals within the angle
// summed through a tree, far below quadratic time (n log n for a fan): the
// same smoothing decisions, but sums in another order, so equal to the
// all-pairs result only to float rounding. Such a vertex falls back to the
// pairwise loop if a face normal is not of unit length (computeFaceNormals
// makes them unit).
void computeCornerNormals(Mesh& mesh);

// The same rule, comparing every corner with every corner. Quadratic; kept
// as the reference the fast version is tested against.
void computeCornerNormalsAllPairs(Mesh& mesh);

}  // namespace klotz
