#include "render/Outlines.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <tuple>
#include <utility>

#include <glm/glm.hpp>

namespace render {

namespace {

using Key = std::tuple<long, long, long>;

Key keyOf(const klotz::Mesh& mesh, int v) {
    auto q = [](float x) { return std::lround(static_cast<double>(x) * 100.0); };
    return {q(mesh.vertices[3 * v]), q(mesh.vertices[3 * v + 1]), q(mesh.vertices[3 * v + 2])};
}

}  // namespace

Outline meshOutline(const klotz::Mesh& mesh) {
    // Welded corner ids, then per edge (lower id first) its faces' normals.
    std::map<Key, int> ids;
    std::vector<int> welded(static_cast<std::size_t>(mesh.vertexCount));
    std::vector<int> firstVertex;
    for (int v = 0; v < mesh.vertexCount; ++v) {
        auto [it, added] = ids.emplace(keyOf(mesh, v), static_cast<int>(firstVertex.size()));
        if (added) firstVertex.push_back(v);
        welded[static_cast<std::size_t>(v)] = it->second;
    }
    std::map<std::pair<int, int>, std::vector<int>> edgeFaces;
    for (int f = 0; f < mesh.faceCount; ++f)
        for (int k = 0; k < 3; ++k) {
            int a = welded[static_cast<std::size_t>(mesh.faces[3 * f + k])];
            int b = welded[static_cast<std::size_t>(mesh.faces[3 * f + (k + 1) % 3])];
            if (a == b) continue;
            edgeFaces[{std::min(a, b), std::max(a, b)}].push_back(f);
        }
    const float foldCos = std::cos(glm::radians(CREASE_DEGREES));
    const float curveCos = std::cos(glm::radians(CURVE_DEGREES));
    auto normal = [&](int f) {
        if (3 * f + 2 >= static_cast<int>(mesh.faceNormals.size())) return glm::vec3(0.0f);
        return glm::vec3(mesh.faceNormals[3 * f], mesh.faceNormals[3 * f + 1], mesh.faceNormals[3 * f + 2]);
    };
    Outline outline;
    for (const auto& [edge, faces] : edgeFaces) {
        const float cosine = faces.size() == 2 ? glm::dot(normal(faces[0]), normal(faces[1])) : -1.0f;
        if (cosine >= foldCos) {
            if (cosine < curveCos) outline.curved = true;
            continue;
        }
        for (int id : {edge.first, edge.second}) {
            const int v = firstVertex[static_cast<std::size_t>(id)];
            outline.creases.insert(outline.creases.end(), mesh.vertices.begin() + 3 * v,
                                   mesh.vertices.begin() + 3 * v + 3);
        }
    }
    return outline;
}

}  // namespace render
