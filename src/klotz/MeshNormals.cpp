#include "klotz/MeshNormals.h"

#include <cmath>
#include <ostream>
#include <vector>

namespace klotz {

namespace {

// pi as 3.14159265; the factor keeps the historic degree conversion so the
// smoothing decision at the 45-degree boundary stays the same.
constexpr double RADIANS_TO_DEGREES_FACTOR = 0.31830988654751274;

struct Vec3 {
    float x, y, z;
};

Vec3 vertexAt(const Mesh& mesh, int v) {
    const float* p = &mesh.vertices[3 * static_cast<std::size_t>(v)];
    return {p[0], p[1], p[2]};
}

Vec3 faceNormalAt(const Mesh& mesh, int f) {
    const float* p = &mesh.faceNormals[3 * static_cast<std::size_t>(f)];
    return {p[0], p[1], p[2]};
}

// Whether face normal ng joins the corner whose own face normal is nf. Both
// implementations go through here so their decisions are identical.
bool withinSmoothingAngle(const Vec3& ng, const Vec3& nf) {
    float d = ng.x * nf.x + ng.y * nf.y + ng.z * nf.z;
    if (d > 1.0f) d = 1.0f;
    if (d < -1.0f) d = -1.0f;
    double angle = std::acos(static_cast<double>(d)) * 180 * RADIANS_TO_DEGREES_FACTOR;
    return angle < SMOOTHING_ANGLE;
}

void storeNormalised(Mesh& mesh, int q, const Vec3& sum) {
    float len = std::sqrt(sum.x * sum.x + sum.y * sum.y + sum.z * sum.z);
    float* p = &mesh.cornerNormals[3 * static_cast<std::size_t>(q)];
    p[0] = sum.x / len;
    p[1] = sum.y / len;
    p[2] = sum.z / len;
}

void addTo(Vec3& sum, const Vec3& n) {
    sum.x += n.x;
    sum.y += n.y;
    sum.z += n.z;
}

void prepareCornerNormals(Mesh& mesh) {
    mesh.cornerNormalCount = 3 * mesh.faceCount;
    mesh.cornerNormals.assign(3 * static_cast<std::size_t>(mesh.cornerNormalCount), 0.0f);
}

}  // namespace

void computeFaceNormals(Mesh& mesh, std::ostream& out) {
    mesh.faceNormalCount = mesh.faceCount;
    mesh.faceNormals.assign(3 * static_cast<std::size_t>(mesh.faceCount), 0.0f);
    for (int f = 0; f < mesh.faceCount; ++f) {
        const std::int32_t* corner = &mesh.faces[3 * static_cast<std::size_t>(f)];
        Vec3 p0 = vertexAt(mesh, corner[0]), p1 = vertexAt(mesh, corner[1]), p2 = vertexAt(mesh, corner[2]);
        Vec3 e1{p1.x - p0.x, p1.y - p0.y, p1.z - p0.z};
        Vec3 e2{p2.x - p0.x, p2.y - p0.y, p2.z - p0.z};
        Vec3 n{e1.y * e2.z - e1.z * e2.y, e1.z * e2.x - e1.x * e2.z, e1.x * e2.y - e1.y * e2.x};
        float len = std::sqrt(n.x * n.x + n.y * n.y + n.z * n.z);
        // An overflowing cross product has no usable direction either.
        if (static_cast<double>(len) < 1e-10 || !std::isfinite(len)) {
            out << "WARNING: zero-normal encountered!!\n";
            n = {1.0f, 0.0f, 0.0f};
            len = 1.0f;
        }
        float inv = 1.0f / len;
        float* dst = &mesh.faceNormals[3 * static_cast<std::size_t>(f)];
        dst[0] = n.x * inv;
        dst[1] = n.y * inv;
        dst[2] = n.z * inv;
    }
}

void computeCornerNormals(Mesh& mesh) {
    prepareCornerNormals(mesh);
    const int corners = 3 * mesh.faceCount;

    // Corners of each vertex in increasing corner number (counting sort),
    // the order in which the all-pairs rule adds them.
    std::vector<int> firstCorner(static_cast<std::size_t>(mesh.vertexCount) + 1, 0);
    for (int q = 0; q < corners; ++q) ++firstCorner[mesh.faces[q] + 1];
    for (int v = 0; v < mesh.vertexCount; ++v) firstCorner[v + 1] += firstCorner[v];
    std::vector<int> cornersOfVertex(static_cast<std::size_t>(corners));
    std::vector<int> fill(firstCorner.begin(), firstCorner.end() - 1);
    for (int q = 0; q < corners; ++q) cornersOfVertex[fill[mesh.faces[q]]++] = q;

    for (int q = 0; q < corners; ++q) {
        const int v = mesh.faces[q];
        const int f = q / 3;
        const Vec3 nf = faceNormalAt(mesh, f);
        Vec3 sum = nf;
        for (int i = firstCorner[v]; i < firstCorner[v + 1]; ++i) {
            const int g = cornersOfVertex[i] / 3;
            if (g == f) continue;
            const Vec3 ng = faceNormalAt(mesh, g);
            if (withinSmoothingAngle(ng, nf)) addTo(sum, ng);
        }
        storeNormalised(mesh, q, sum);
    }
}

void computeCornerNormalsAllPairs(Mesh& mesh) {
    prepareCornerNormals(mesh);
    const int corners = 3 * mesh.faceCount;
    for (int q = 0; q < corners; ++q) {
        const int v = mesh.faces[q];
        const int f = q / 3;
        const Vec3 nf = faceNormalAt(mesh, f);
        Vec3 sum = nf;
        for (int m = 0; m < corners; ++m) {
            if (mesh.faces[m] != v || m / 3 == f) continue;
            const Vec3 ng = faceNormalAt(mesh, m / 3);
            if (withinSmoothingAngle(ng, nf)) addTo(sum, ng);
        }
        storeNormalised(mesh, q, sum);
    }
}

}  // namespace klotz
