// Reads a klotz mesh from a Wavefront OBJ file: vertex positions moved into
// the klotz's local frame, triangles, face normals and smoothed corner
// normals.
#pragma once

#include <iosfwd>
#include <string>

#include "klotz/Mesh.h"

namespace klotz {

// Added to every vertex read: the model box x 0..50, y 0..50, z -50..0
// becomes the box -25..25 on every axis (world units).
constexpr float OBJ_OFFSET_X = -25.0f;
constexpr float OBJ_OFFSET_Y = -25.0f;
constexpr float OBJ_OFFSET_Z = 25.0f;

// Builds the mesh from OBJ text. Reads "v" (three numbers), "f" (vertex
// indices, 1-based or negative from the end; slash forms use the vertex
// part; polygons are fanned), "g" and "#" comment lines; every other word is
// skipped. Statements that cannot give a usable mesh are reported on out
// with path and line and skipped. Prints the counts line, then computes the
// normals.
Mesh parseObj(const std::string& text, const std::string& path, std::ostream& out);

// Loads name + ".obj" into mesh. If the file cannot be opened, says so on
// out, leaves mesh untouched and returns false.
bool loadObj(const std::string& name, Mesh& mesh, std::ostream& out);

// The console line both mesh readers print after reading.
void printMeshCounts(const Mesh& mesh, std::ostream& out);

}  // namespace klotz
