#include "render/Openings.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>

namespace render {

namespace {

constexpr float ON_SIDE = 0.5f;      // a vertex this near the side plane lies on it
constexpr float INSIDE = 1.0f;       // the surface is probed this far inside the side
constexpr float NOTCH_DEPTH = 4.0f;  // lower than the side's top by this: a groove floor

glm::vec3 vertex(const klotz::Mesh& mesh, int i) {
    const std::size_t o = 3 * static_cast<std::size_t>(i);
    return {mesh.vertices[o], mesh.vertices[o + 1], mesh.vertices[o + 2]};
}

// The highest point of the mesh's surface straight above (x, z), if any.
std::optional<float> surfaceHeight(const klotz::Mesh& mesh, float x, float z) {
    std::optional<float> best;
    const int vertexCount = static_cast<int>(mesh.vertices.size() / 3);
    for (int f = 0; f < mesh.faceCount && 3 * f + 2 < static_cast<int>(mesh.faces.size()); ++f) {
        const int ia = mesh.faces[3 * f], ib = mesh.faces[3 * f + 1], ic = mesh.faces[3 * f + 2];
        if (ia < 0 || ib < 0 || ic < 0 || ia >= vertexCount || ib >= vertexCount || ic >= vertexCount) continue;
        const glm::vec3 a = vertex(mesh, ia), b = vertex(mesh, ib), c = vertex(mesh, ic);
        // Barycentric coordinates in the x-z plane.
        const float d = (b.z - c.z) * (a.x - c.x) + (c.x - b.x) * (a.z - c.z);
        if (std::fabs(d) < 1e-9f) continue;  // a vertical face
        const float u = ((b.z - c.z) * (x - c.x) + (c.x - b.x) * (z - c.z)) / d;
        const float v = ((c.z - a.z) * (x - c.x) + (a.x - c.x) * (z - c.z)) / d;
        const float w = 1.0f - u - v;
        if (u < -1e-5f || v < -1e-5f || w < -1e-5f) continue;
        const float y = u * a.y + v * b.y + w * c.y;
        if (!best || y > *best) best = y;
    }
    return best;
}

}  // namespace

std::vector<Opening> findOpenings(const klotz::Mesh& mesh) {
    std::vector<Opening> openings;
    const int count = std::min(mesh.vertexCount, static_cast<int>(mesh.vertices.size() / 3));
    if (count == 0) return openings;
    glm::vec3 low(std::numeric_limits<float>::max());
    glm::vec3 high(-std::numeric_limits<float>::max());
    for (int v = 0; v < count; ++v) {
        low = glm::min(low, vertex(mesh, v));
        high = glm::max(high, vertex(mesh, v));
    }
    const glm::vec3 centre = (low + high) * 0.5f;
    const glm::vec3 sides[4] = {{1, 0, 0}, {-1, 0, 0}, {0, 0, 1}, {0, 0, -1}};
    for (const glm::vec3& side : sides) {
        const int axis = side.x != 0.0f ? 0 : 2;
        const float plane = side[axis] > 0.0f ? high[axis] : low[axis];
        float top = -std::numeric_limits<float>::max();
        for (int v = 0; v < count; ++v)
            if (std::fabs(vertex(mesh, v)[axis] - plane) <= ON_SIDE) top = std::max(top, vertex(mesh, v).y);
        glm::vec3 at = centre;
        at[axis] = plane - side[axis] * INSIDE;
        const std::optional<float> floor = surfaceHeight(mesh, at.x, at.z);
        // The middle of the side lies lower than its top: a groove ends here.
        if (!floor || !(*floor < top - NOTCH_DEPTH) || !(*floor > low.y + 0.5f)) continue;
        at[axis] = plane;
        at.y = *floor;
        openings.push_back({side, at});
    }
    return openings;
}

std::vector<std::vector<Opening>> findOpenings(const klotz::KlotzCatalogue& catalogue) {
    std::vector<std::vector<Opening>> all;
    all.reserve(catalogue.klotzTypes.size());
    for (const klotz::KlotzType& type : catalogue.klotzTypes) all.push_back(findOpenings(type.mesh));
    return all;
}

}  // namespace render
