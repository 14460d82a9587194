// The triangle mesh of a klotz type, in the klotz's local frame (the box
// -25..25 on every axis, centred on the klotz's origin; world units).
#pragma once

#include <cstdint>
#include <vector>

namespace klotz {

struct Mesh {
    std::vector<float> vertices;       // 3 per vertex
    std::vector<float> cornerNormals;  // 3 per triangle corner; corner 3f+k is corner k of triangle f
    std::vector<float> faceNormals;    // 3 per triangle, unit length
    std::vector<std::int32_t> faces;   // 3 vertex indices per triangle, 0-based
    int vertexCount = 0;
    int cornerNormalCount = 0;  // 3 * faceCount for meshes made by the loader
    int faceNormalCount = 0;    // faceCount for meshes made by the loader
    int faceCount = 0;

    bool empty() const { return faceCount == 0; }
};

}  // namespace klotz
