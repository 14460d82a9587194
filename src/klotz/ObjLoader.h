// Reads a klotz mesh from a Wavefront OBJ file: vertex positions moved into
// the klotz's local frame, triangles, face normals and smoothed corner
// normals.
#pragma once

#include <iosfwd>
#include <string>

#include "io/Result.h"
#include "klotz/Mesh.h"

namespace klotz {

// Added to every vertex read: the model box x 0..50, y 0..50, z -50..0
// becomes the box -25..25 on every axis (world units).
constexpr float OBJ_OFFSET_X = -25.0f;
constexpr float OBJ_OFFSET_Y = -25.0f;
constexpr float OBJ_OFFSET_Z = 25.0f;

// World units. A klotz spans 50; a vertex farther out in any coordinate is
// hostile or broken input and would upset the physics.
constexpr float MAX_VERTEX_COORDINATE = 1e6f;

// Builds the mesh from OBJ text. Reads "v" (three numbers), "f" (vertex
// indices, 1-based or negative from the end; slash forms use the vertex
// part; polygons are fanned), "g" and "#" comment lines; every other word is
// skipped. Statements that cannot give a usable mesh are reported on out
// with path and line and skipped; a vertex with a coordinate beyond
// MAX_VERTEX_COORDINATE is reported and kept as 0 0 0 (so later indices
// still match). Prints the counts line, then computes the normals.
Mesh parseObj(const std::string& text, const std::string& path, std::ostream& out);

// Loads the mesh of name + ".obj". A file that cannot be opened gives
// "Can not open object File \"NAME.obj\" !\n" on out, one refused unread
// (not a regular file, too large) the reader's message; either way the
// error is returned.
io::Result<Mesh> loadObj(const std::string& name, std::ostream& out);

// The console line both mesh readers print after reading.
void printMeshCounts(const Mesh& mesh, std::ostream& out);

}  // namespace klotz
