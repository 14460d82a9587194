#include "klotz/MeshNormals.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <ostream>
#include <utility>
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

// The rule as stated, for the corners of one vertex (increasing corner
// numbers): quadratic in their number, and bit for bit the all-pairs result.
void smoothDirect(Mesh& mesh, const int* corners, int count) {
    for (int i = 0; i < count; ++i) {
        const int q = corners[i];
        const int f = q / 3;
        const Vec3 nf = faceNormalAt(mesh, f);
        Vec3 sum = nf;
        for (int j = 0; j < count; ++j) {
            const int g = corners[j] / 3;
            if (g == f) continue;
            const Vec3 ng = faceNormalAt(mesh, g);
            if (withinSmoothingAngle(ng, nf)) addTo(sum, ng);
        }
        storeNormalised(mesh, q, sum);
    }
}

// A vertex with more corners than this goes through smoothByDirections.
// Below it the direct loop is cheap, and ordinary meshes keep the exact
// sums of the all-pairs rule.
constexpr int DIRECT_CORNERS = 64;

// Face normal q joins nf exactly when their float dot product exceeds
// about cos(45 degrees). A double dot product clearly above or below that
// decides the same way; within TIE_MARGIN of it withinSmoothingAngle
// decides. The margin is fifty times the float rounding for unit normals.
constexpr double TIE_MARGIN = 1e-5;

double smoothingCosine() { return std::cos(SMOOTHING_ANGLE / (180 * RADIANS_TO_DEGREES_FACTOR)); }

// One distinct face normal at a vertex, weighted by its corners there.
struct Direction {
    Vec3 normal;
    double n[3];
    double weighted[3];
    std::size_t group;  // index into the corners grouped by normal
};

double dot(const double* a, const double* b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }

// A k-d tree of unit directions with each subtree's weighted sum, so that
// the sum over a 45-degree cap visits only the subtrees its rim crosses.
class DirectionTree {
public:
    explicit DirectionTree(std::vector<Direction> directions) : directions_(std::move(directions)) {
        nodes_.reserve(2 * directions_.size() / LEAF_SIZE + 2);
        build(0, static_cast<int>(directions_.size()));
    }

    // The directions in tree order: neighbours in the list are near on the
    // sphere, so querying them in this order keeps the visited nodes cached.
    const std::vector<Direction>& directions() const { return directions_; }

    // The weighted sum of the directions within the smoothing angle of `a`.
    void sumWithin(const Vec3& a, double* sum) const {
        const double ad[3] = {a.x, a.y, a.z};
        sum[0] = sum[1] = sum[2] = 0;
        visit(0, a, ad, smoothingCosine(), sum);
    }

private:
    static constexpr int LEAF_SIZE = 16;

    struct Node {
        double lo[3], hi[3], sum[3];
        int begin, end;
        int left = -1, right = -1;  // children; -1 in a leaf
    };

    int build(int begin, int end) {
        const int index = static_cast<int>(nodes_.size());
        nodes_.push_back(Node{});
        Node node{};
        node.begin = begin;
        node.end = end;
        for (int k = 0; k < 3; ++k) {
            node.lo[k] = node.hi[k] = directions_[begin].n[k];
            node.sum[k] = 0;
        }
        for (int i = begin; i < end; ++i)
            for (int k = 0; k < 3; ++k) {
                node.lo[k] = std::min(node.lo[k], directions_[i].n[k]);
                node.hi[k] = std::max(node.hi[k], directions_[i].n[k]);
                node.sum[k] += directions_[i].weighted[k];
            }
        if (end - begin > LEAF_SIZE) {
            int axis = 0;
            for (int k = 1; k < 3; ++k)
                if (node.hi[k] - node.lo[k] > node.hi[axis] - node.lo[axis]) axis = k;
            const int middle = begin + (end - begin) / 2;
            std::nth_element(directions_.begin() + begin, directions_.begin() + middle, directions_.begin() + end,
                             [axis](const Direction& a, const Direction& b) { return a.n[axis] < b.n[axis]; });
            node.left = build(begin, middle);
            node.right = build(middle, end);
        }
        nodes_[index] = node;
        return index;
    }

    void visit(int index, const Vec3& a, const double* ad, double cosine, double* sum) const {
        const Node& node = nodes_[index];
        double lowest = 0, highest = 0;
        for (int k = 0; k < 3; ++k) {
            lowest += std::min(ad[k] * node.lo[k], ad[k] * node.hi[k]);
            highest += std::max(ad[k] * node.lo[k], ad[k] * node.hi[k]);
        }
        if (highest < cosine - TIE_MARGIN) return;
        if (lowest > cosine + TIE_MARGIN) {
            for (int k = 0; k < 3; ++k) sum[k] += node.sum[k];
            return;
        }
        if (node.left >= 0) {
            visit(node.left, a, ad, cosine, sum);
            visit(node.right, a, ad, cosine, sum);
            return;
        }
        for (int i = node.begin; i < node.end; ++i) {
            const Direction& d = directions_[i];
            const double c = dot(ad, d.n);
            const bool joins = c > cosine + TIE_MARGIN ||
                               (c >= cosine - TIE_MARGIN && withinSmoothingAngle(d.normal, a));
            if (joins)
                for (int k = 0; k < 3; ++k) sum[k] += d.weighted[k];
        }
    }

    std::vector<Direction> directions_;
    std::vector<Node> nodes_;
};

std::array<std::uint32_t, 3> bitsOf(const Vec3& v) {
    std::array<std::uint32_t, 3> bits;
    std::memcpy(&bits[0], &v.x, 4);
    std::memcpy(&bits[1], &v.y, 4);
    std::memcpy(&bits[2], &v.z, 4);
    return bits;
}

// The rule for the corners of vertex v without comparing every pair: corners
// with equal face normals are grouped, and each distinct normal a gets the
// sum S of all corners' normals within the smoothing angle from the tree.
// A corner of face f then has a + S minus a once for each of f's own
// corners on v. Sums run in double in another order than the all-pairs
// rule, so results agree with it to float rounding, not bit for bit.
// False (nothing written) when some normal is not of unit length, which the
// tie margin needs.
bool smoothByDirections(Mesh& mesh, int v, const int* corners, int count) {
    std::vector<std::pair<std::array<std::uint32_t, 3>, int>> keyed;
    keyed.reserve(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) keyed.emplace_back(bitsOf(faceNormalAt(mesh, corners[i] / 3)), corners[i]);
    std::sort(keyed.begin(), keyed.end());

    std::vector<Direction> directions;
    std::vector<std::size_t> groupStart;
    for (std::size_t i = 0; i < keyed.size(); ++i) {
        if (i > 0 && keyed[i].first == keyed[i - 1].first) continue;
        const Vec3 n = faceNormalAt(mesh, keyed[i].second / 3);
        const double lengthSquared = double(n.x) * n.x + double(n.y) * n.y + double(n.z) * n.z;
        if (!(std::fabs(lengthSquared - 1) < 1e-3)) return false;
        directions.push_back({n, {n.x, n.y, n.z}, {0, 0, 0}, groupStart.size()});
        groupStart.push_back(i);
    }
    groupStart.push_back(keyed.size());
    for (std::size_t g = 0; g < directions.size(); ++g) {
        const double corners = static_cast<double>(groupStart[g + 1] - groupStart[g]);
        for (int k = 0; k < 3; ++k) directions[g].weighted[k] = corners * directions[g].n[k];
    }
    const DirectionTree tree(std::move(directions));

    for (const Direction& a : tree.directions()) {
        const std::size_t g = a.group;
        double within[3];
        tree.sumWithin(a.normal, within);
        const bool joinsItself = withinSmoothingAngle(a.normal, a.normal);
        for (std::size_t i = groupStart[g]; i < groupStart[g + 1]; ++i) {
            const int q = keyed[i].second;
            const std::int32_t* face = &mesh.faces[3 * static_cast<std::size_t>(q / 3)];
            const int own = joinsItself ? (face[0] == v) + (face[1] == v) + (face[2] == v) : 0;
            const Vec3 sum{static_cast<float>(a.n[0] + within[0] - own * a.n[0]),
                           static_cast<float>(a.n[1] + within[1] - own * a.n[1]),
                           static_cast<float>(a.n[2] + within[2] - own * a.n[2])};
            storeNormalised(mesh, q, sum);
        }
    }
    return true;
}

}  // namespace

void computeFaceNormals(Mesh& mesh, std::ostream& out) {
    mesh.faceNormalCount = mesh.faceCount;
    mesh.faceNormals.assign(3 * static_cast<std::size_t>(mesh.faceCount), 0.0f);
    int degenerate = 0;
    for (int f = 0; f < mesh.faceCount; ++f) {
        const std::int32_t* corner = &mesh.faces[3 * static_cast<std::size_t>(f)];
        Vec3 p0 = vertexAt(mesh, corner[0]), p1 = vertexAt(mesh, corner[1]), p2 = vertexAt(mesh, corner[2]);
        Vec3 e1{p1.x - p0.x, p1.y - p0.y, p1.z - p0.z};
        Vec3 e2{p2.x - p0.x, p2.y - p0.y, p2.z - p0.z};
        Vec3 n{e1.y * e2.z - e1.z * e2.y, e1.z * e2.x - e1.x * e2.z, e1.x * e2.y - e1.y * e2.x};
        float len = std::sqrt(n.x * n.x + n.y * n.y + n.z * n.z);
        // An overflowing cross product has no usable direction either.
        if (static_cast<double>(len) < 1e-10 || !std::isfinite(len)) {
            ++degenerate;
            n = {1.0f, 0.0f, 0.0f};
            len = 1.0f;
        }
        float inv = 1.0f / len;
        float* dst = &mesh.faceNormals[3 * static_cast<std::size_t>(f)];
        dst[0] = n.x * inv;
        dst[1] = n.y * inv;
        dst[2] = n.z * inv;
    }
    // One line for the whole mesh: a degenerate model has thousands.
    if (degenerate == 1) out << "WARNING: zero-normal encountered!!\n";
    if (degenerate > 1) out << "WARNING: zero-normal encountered!! (" << degenerate << " faces)\n";
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

    for (int v = 0; v < mesh.vertexCount; ++v) {
        const int* first = cornersOfVertex.data() + firstCorner[v];
        const int count = firstCorner[v + 1] - firstCorner[v];
        if (count <= DIRECT_CORNERS || !smoothByDirections(mesh, v, first, count)) smoothDirect(mesh, first, count);
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
