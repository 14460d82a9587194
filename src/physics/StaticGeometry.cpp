#include "physics/StaticGeometry.h"

#include <cmath>
#include <cstdint>
#include <unordered_map>

#include <BulletCollision/CollisionDispatch/btCollisionObjectWrapper.h>
#include <BulletCollision/CollisionDispatch/btManifoldResult.h>
#include <BulletCollision/CollisionShapes/btTriangleShape.h>

#include "physics/WorldImpl.h"

namespace physics {

namespace {

// Vertices closer than this (world units) are one vertex: piece coordinates
// are whole or simple fractions, rotated poses add float noise of ~1e-4.
constexpr float WELD_QUANTUM = 1.0f / 64.0f;
// Two triangle planes count as one flat surface within this normal deviation.
constexpr btScalar FLAT_COS = btScalar(0.99995);
// Contacts at most this far (about 25 degrees) off the flat surface's
// normal are turned to it.
constexpr btScalar SNAP_COS = btScalar(0.9);
// A contact this close (world units) to an edge or corner is on that feature.
constexpr btScalar FEATURE_TOLERANCE = btScalar(0.02);

std::uint64_t cellKey(const btVector3& v) {
    auto q = [](btScalar c) { return static_cast<std::uint64_t>(static_cast<std::int64_t>(std::lround(c / WELD_QUANTUM)) & 0x1FFFFF); };
    return (q(v.x()) << 42) | (q(v.y()) << 21) | q(v.z());
}

std::uint64_t edgeKey(int a, int b) {
    if (a > b) std::swap(a, b);
    return (static_cast<std::uint64_t>(a) << 32) | static_cast<std::uint32_t>(b);
}

}  // namespace

StaticGeometry::StaticGeometry() = default;
StaticGeometry::~StaticGeometry() = default;

void StaticGeometry::rebuild(const std::vector<PlacedMesh>& placed, btScalar friction, btScalar restitution) {
    object_.reset();
    shape_.reset();
    array_.reset();
    vertices_.clear();
    indices_.clear();
    flatSurface_.clear();

    std::unordered_map<std::uint64_t, int> weld;
    std::vector<btVector3> normals;
    for (const PlacedMesh& p : placed) {
        const MeshData& m = *p.mesh;
        std::vector<int> local(m.vertices.size() / 3);
        for (std::size_t v = 0; v < local.size(); ++v) {
            btVector3 w = p.pose * btVector3(m.vertices[3 * v], m.vertices[3 * v + 1], m.vertices[3 * v + 2]);
            auto [it, inserted] = weld.emplace(cellKey(w), static_cast<int>(vertices_.size()));
            if (inserted) vertices_.push_back(w);
            local[v] = it->second;
        }
        for (std::size_t f = 0; f + 2 < m.faces.size(); f += 3) {
            int a = local[m.faces[f]], b = local[m.faces[f + 1]], c = local[m.faces[f + 2]];
            btVector3 n = (vertices_[b] - vertices_[a]).cross(vertices_[c] - vertices_[a]);
            if (a == b || b == c || a == c || n.length2() < btScalar(1e-8)) continue;
            indices_.insert(indices_.end(), {a, b, c});
            normals.push_back(n.normalized());
        }
    }
    const int triangles = triangleCount();
    if (triangles == 0) return;

    // Flat surfaces through edges: two triangles on one edge facing the same
    // way in one plane.
    std::unordered_map<std::uint64_t, std::vector<int>> edgeTriangles;
    std::vector<std::vector<int>> vertexTriangles(vertices_.size());
    for (int t = 0; t < triangles; ++t)
        for (int k = 0; k < 3; ++k) {
            edgeTriangles[edgeKey(indices_[3 * t + k], indices_[3 * t + (k + 1) % 3])].push_back(t);
            vertexTriangles[indices_[3 * t + k]].push_back(t);
        }
    auto flatPair = [&](const std::vector<int>& ts) {
        for (std::size_t i = 0; i < ts.size(); ++i)
            for (std::size_t j = i + 1; j < ts.size(); ++j)
                if (normals[ts[i]].dot(normals[ts[j]]) > FLAT_COS) return ts[i];
        return -1;
    };
    // Flat surfaces through corners: coplanar same-facing triangles whose
    // corner angles there close the full circle.
    auto flatFan = [&](int v) {
        const std::vector<int>& ts = vertexTriangles[v];
        for (int seed : ts) {
            btScalar sum = 0;
            for (int t : ts) {
                if (normals[t].dot(normals[seed]) <= FLAT_COS) continue;
                int k = indices_[3 * t] == v ? 0 : indices_[3 * t + 1] == v ? 1 : 2;
                btVector3 e1 = vertices_[indices_[3 * t + (k + 1) % 3]] - vertices_[v];
                btVector3 e2 = vertices_[indices_[3 * t + (k + 2) % 3]] - vertices_[v];
                sum += e1.angle(e2);
            }
            if (sum > SIMD_2_PI - btScalar(0.01)) return seed;
        }
        return -1;
    };
    std::vector<int> vertexFlat(vertices_.size(), -2);
    flatSurface_.resize(triangles);
    for (int t = 0; t < triangles; ++t)
        for (int k = 0; k < 3; ++k) {
            int v = indices_[3 * t + k];
            flatSurface_[t][k] = flatPair(edgeTriangles[edgeKey(v, indices_[3 * t + (k + 1) % 3])]);
            if (vertexFlat[v] == -2) vertexFlat[v] = flatFan(v);
            flatSurface_[t][3 + k] = vertexFlat[v];
        }

    array_ = std::make_unique<btTriangleIndexVertexArray>(triangles, indices_.data(), 3 * sizeof(int),
                                                          static_cast<int>(vertices_.size()), &vertices_[0][0],
                                                          sizeof(btVector3));
    shape_ = std::make_unique<btBvhTriangleMeshShape>(array_.get(), true);
    object_ = std::make_unique<btCollisionObject>();
    object_->setCollisionShape(shape_.get());
    object_->setFriction(friction);
    object_->setRestitution(restitution);
    object_->setUserPointer(this);
    object_->setCollisionFlags(object_->getCollisionFlags() | btCollisionObject::CF_STATIC_OBJECT |
                               btCollisionObject::CF_CUSTOM_MATERIAL_CALLBACK);
}

struct EdgeContactFixer {
    // Turns a contact on an edge or corner that lies in a flat surface to
    // that surface's normal; the sphere then rolls over it as over the face.
    static void fix(btManifoldPoint& cp, const btCollisionObjectWrapper* meshWrap,
                    const btCollisionObjectWrapper* otherWrap, int triangle, bool meshIsB) {
        const btCollisionObject* meshObject = meshWrap->getCollisionObject();
        if (!(meshObject->getCollisionFlags() & btCollisionObject::CF_CUSTOM_MATERIAL_CALLBACK)) return;
        auto* geometry = static_cast<const StaticGeometry*>(meshObject->getUserPointer());
        if (!geometry || triangle < 0 || triangle >= geometry->triangleCount()) return;
        if (otherWrap->getCollisionShape()->getShapeType() != SPHERE_SHAPE_PROXYTYPE) return;

        const btVector3* v[3];
        for (int k = 0; k < 3; ++k) v[k] = &geometry->vertices_[geometry->indices_[3 * triangle + k]];
        const btVector3 p = meshIsB ? cp.m_positionWorldOnB : cp.m_positionWorldOnA;
        int feature = -1;
        for (int k = 0; k < 3 && feature < 0; ++k)
            if ((p - *v[k]).length2() < FEATURE_TOLERANCE * FEATURE_TOLERANCE) feature = 3 + k;
        for (int k = 0; k < 3 && feature < 0; ++k) {
            btVector3 e = *v[(k + 1) % 3] - *v[k];
            btVector3 d = p - *v[k];
            btScalar s = d.dot(e) / e.length2();
            if ((d - e * s).length2() < FEATURE_TOLERANCE * FEATURE_TOLERANCE) feature = k;
        }
        if (feature < 0) return;  // inside the face: the normal is already the face's
        int flat = geometry->flatSurface_[triangle][feature];
        if (flat < 0) return;

        const int* f = &geometry->indices_[3 * flat];
        const std::vector<btVector3>& vs = geometry->vertices_;
        btVector3 n = (vs[f[1]] - vs[f[0]]).cross(vs[f[2]] - vs[f[0]]).normalized();
        const btVector3 centre = otherWrap->getWorldTransform().getOrigin();
        if (n.dot(centre - p) < 0) n = -n;
        // A seam contact leans only a few degrees off the surface; a steeper
        // one means the ball is beyond the flat surface's border (over the
        // top of a wall, say), where the feature's own normal is right.
        const btVector3 original = meshIsB ? cp.m_normalWorldOnB : -cp.m_normalWorldOnB;
        if (original.dot(n) < SNAP_COS) return;
        const btScalar radius = static_cast<const btSphereShape*>(otherWrap->getCollisionShape())->getRadius();
        const btVector3 onSphere = centre - n * radius;
        cp.m_distance1 = (centre - p).dot(n) - radius;
        if (meshIsB) {
            cp.m_normalWorldOnB = n;
            cp.m_positionWorldOnA = onSphere;
            cp.m_localPointA = otherWrap->getWorldTransform().invXform(onSphere);
        } else {
            cp.m_normalWorldOnB = -n;
            cp.m_positionWorldOnB = onSphere;
            cp.m_localPointB = otherWrap->getWorldTransform().invXform(onSphere);
        }
    }
};

namespace {

bool contactAdded(btManifoldPoint& cp, const btCollisionObjectWrapper* wrap0, int, int index0,
                  const btCollisionObjectWrapper* wrap1, int, int index1) {
    if (wrap1->getCollisionShape()->getShapeType() == TRIANGLE_SHAPE_PROXYTYPE)
        EdgeContactFixer::fix(cp, wrap1, wrap0, index1, true);
    else if (wrap0->getCollisionShape()->getShapeType() == TRIANGLE_SHAPE_PROXYTYPE)
        EdgeContactFixer::fix(cp, wrap0, wrap1, index0, false);
    return true;
}

}  // namespace

void installInternalEdgeCallback() { gContactAddedCallback = contactAdded; }

}  // namespace physics
