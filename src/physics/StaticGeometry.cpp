#include "physics/StaticGeometry.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <unordered_map>

#include <BulletCollision/CollisionDispatch/btCollisionObjectWrapper.h>
#include <BulletCollision/CollisionDispatch/btManifoldResult.h>
#include <BulletCollision/CollisionShapes/btTriangleShape.h>
#include <BulletCollision/NarrowPhaseCollision/btRaycastCallback.h>

#include "physics/MeshContacts.h"
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
// A face rising toward the ball by less than this fraction of the edge's
// length does not make a valley: the seam correction's flat surfaces.
constexpr btScalar VALLEY_RISE = btScalar(1e-4);
// Below this speed (units/s) a ball's contacts with the mesh are left to
// Bullet: curves cost it no speed worth keeping, and a pile comes to rest.
constexpr btScalar SETTLING_SPEED = 10;
// A contact this close (world units) to an edge or corner is on that feature.
constexpr btScalar FEATURE_TOLERANCE = btScalar(0.02);
// Ray casts up to this long (world units) look for triangles by their box.
constexpr btScalar SHORT_RAY = 25;

struct Cell {
    std::int64_t x, y, z;
    bool operator==(const Cell& o) const { return x == o.x && y == o.y && z == o.z; }
};

struct CellHash {
    std::size_t operator()(const Cell& c) const {
        std::uint64_t h = static_cast<std::uint64_t>(c.x) * 0x9E3779B97F4A7C15ull;
        h ^= static_cast<std::uint64_t>(c.y) * 0xC2B2AE3D27D4EB4Full + (h << 6) + (h >> 2);
        h ^= static_cast<std::uint64_t>(c.z) * 0x165667B19E3779F9ull + (h << 6) + (h >> 2);
        return static_cast<std::size_t>(h);
    }
};

Cell cellOf(const btVector3& v) {
    // Clamped so that any finite pose stays a defined integer.
    auto q = [](btScalar c) {
        return static_cast<std::int64_t>(std::llround(std::clamp(double(c) / WELD_QUANTUM, -1e15, 1e15)));
    };
    return {q(v.x()), q(v.y()), q(v.z())};
}

std::uint64_t edgeKey(int a, int b) {
    if (a > b) std::swap(a, b);
    return (static_cast<std::uint64_t>(a) << 32) | static_cast<std::uint32_t>(b);
}

}  // namespace

StaticGeometry::StaticGeometry() = default;
StaticGeometry::~StaticGeometry() = default;

void StaticGeometry::rebuild(const std::vector<PlacedMesh>& placed) {
    object_.reset();
    shape_.reset();
    array_.reset();
    vertices_.clear();
    indices_.clear();
    owner_.clear();
    flatSurface_.clear();
    acrossApex_.clear();

    std::unordered_map<Cell, int, CellHash> weld;
    std::size_t vertexTotal = 0, faceTotal = 0;
    for (const PlacedMesh& p : placed) {
        vertexTotal += p.mesh->vertices.size() / 3;
        faceTotal += p.mesh->faces.size() / 3;
    }
    weld.reserve(vertexTotal);
    vertices_.reserve(vertexTotal);
    indices_.reserve(3 * faceTotal);
    std::vector<btVector3> normals;
    normals.reserve(faceTotal);
    for (const PlacedMesh& p : placed) {
        const MeshData& m = *p.mesh;
        std::vector<int> local(m.vertices.size() / 3);
        for (std::size_t v = 0; v < local.size(); ++v) {
            btVector3 w = p.pose * btVector3(m.vertices[3 * v], m.vertices[3 * v + 1], m.vertices[3 * v + 2]);
            auto [it, inserted] = weld.emplace(cellOf(w), static_cast<int>(vertices_.size()));
            if (inserted) vertices_.push_back(w);
            local[v] = it->second;
        }
        for (std::size_t f = 0; f + 2 < m.faces.size(); f += 3) {
            int a = local[m.faces[f]], b = local[m.faces[f + 1]], c = local[m.faces[f + 2]];
            btVector3 n = (vertices_[b] - vertices_[a]).cross(vertices_[c] - vertices_[a]);
            if (a == b || b == c || a == c || n.length2() < btScalar(1e-8)) continue;
            indices_.insert(indices_.end(), {a, b, c});
            owner_.push_back(p.actor);
            normals.push_back(n.normalized());
        }
    }
    const int triangles = triangleCount();
    if (triangles == 0) return;

    // Flat surfaces through edges: two triangles on one edge facing the same
    // way in one plane. Edges sorted by their welded vertex pair.
    flatSurface_.assign(triangles, {-1, -1, -1, -1, -1, -1});
    acrossApex_.assign(triangles, {-1, -1, -1});
    struct EdgeUse {
        std::uint64_t key;
        int triangle, edge;
    };
    std::vector<EdgeUse> edges;
    edges.reserve(3 * static_cast<std::size_t>(triangles));
    for (int t = 0; t < triangles; ++t)
        for (int k = 0; k < 3; ++k) edges.push_back({edgeKey(indices_[3 * t + k], indices_[3 * t + (k + 1) % 3]), t, k});
    std::sort(edges.begin(), edges.end(), [](const EdgeUse& a, const EdgeUse& b) { return a.key < b.key; });
    for (std::size_t first = 0, last; first < edges.size(); first = last) {
        for (last = first + 1; last < edges.size() && edges[last].key == edges[first].key; ++last) {}
        int flat = -1;
        for (std::size_t i = first; i < last && flat < 0; ++i)
            for (std::size_t j = i + 1; j < last; ++j)
                if (normals[edges[i].triangle].dot(normals[edges[j].triangle]) > FLAT_COS) {
                    flat = edges[i].triangle;
                    break;
                }
        for (std::size_t i = first; i < last; ++i) flatSurface_[edges[i].triangle][edges[i].edge] = flat;
        if (last - first == 2)
            for (std::size_t i = first; i < last; ++i) {
                const EdgeUse& other = edges[i == first ? first + 1 : first];
                acrossApex_[edges[i].triangle][edges[i].edge] = indices_[3 * other.triangle + (other.edge + 2) % 3];
            }
    }

    // Flat surfaces through corners: coplanar same-facing triangles whose
    // corner angles there close the full circle. Corners grouped by vertex.
    std::vector<int> cornerStart(vertices_.size() + 1, 0);
    for (int c : indices_) ++cornerStart[c + 1];
    for (std::size_t v = 0; v < vertices_.size(); ++v) cornerStart[v + 1] += cornerStart[v];
    std::vector<int> corners(indices_.size());
    {
        std::vector<int> fill(cornerStart.begin(), cornerStart.end() - 1);
        for (std::size_t c = 0; c < indices_.size(); ++c) corners[fill[indices_[c]]++] = static_cast<int>(c);
    }
    for (std::size_t v = 0; v < vertices_.size(); ++v) {
        const int begin = cornerStart[v], end = cornerStart[v + 1];
        int flat = -1;
        for (int s = begin; s < end && flat < 0; ++s) {
            const int seed = corners[s] / 3;
            btScalar sum = 0;
            for (int c = begin; c < end; ++c) {
                const int t = corners[c] / 3, k = corners[c] % 3;
                if (normals[t].dot(normals[seed]) <= FLAT_COS) continue;
                btVector3 e1 = vertices_[indices_[3 * t + (k + 1) % 3]] - vertices_[v];
                btVector3 e2 = vertices_[indices_[3 * t + (k + 2) % 3]] - vertices_[v];
                sum += e1.angle(e2);
            }
            if (sum > SIMD_2_PI - btScalar(0.01)) flat = seed;
        }
        for (int c = begin; c < end; ++c) flatSurface_[corners[c] / 3][3 + corners[c] % 3] = flat;
    }

    array_ = std::make_unique<btTriangleIndexVertexArray>(triangles, indices_.data(), 3 * sizeof(int),
                                                          static_cast<int>(vertices_.size()), &vertices_[0][0],
                                                          sizeof(btVector3));
    shape_ = std::make_unique<btBvhTriangleMeshShape>(array_.get(), true);
    object_ = std::make_unique<btCollisionObject>();
    object_->setCollisionShape(shape_.get());
    object_->setUserPointer(this);  // marks the merged mesh for the contact correction
}

namespace {

struct MeshRayCallback : btTriangleRaycastCallback {
    btVector3 normal{0, 0, 0};
    MeshRayCallback(const btVector3& from, const btVector3& to, btScalar closest) : btTriangleRaycastCallback(from, to) {
        m_hitFraction = closest;
    }
    btScalar reportHit(const btVector3& hitNormal, btScalar hitFraction, int, int) override {
        normal = hitNormal;
        return hitFraction;
    }
};

}  // namespace

void StaticGeometry::raycast(const btVector3& from, const btVector3& to, ClosestHit& hit) const {
    if (!shape_) return;
    MeshRayCallback callback(from, to, hit.fraction);
    // Only up to the closest hit so far. A short segment's box meets few
    // tree nodes, and the plain box walk is cheaper than the tree's own ray
    // walk, which tests the ray against every box it visits; a long one
    // would bring in many triangles off the ray.
    const btVector3 end = from.lerp(to, hit.fraction);
    if ((end - from).length2() < SHORT_RAY * SHORT_RAY) {
        btVector3 lo = from, hi = from;
        lo.setMin(end);
        hi.setMax(end);
        shape_->processAllTriangles(&callback, lo, hi);
    } else {
        shape_->performRaycast(&callback, from, to);
    }
    if (callback.m_hitFraction < hit.fraction) {
        hit.fraction = callback.m_hitFraction;
        hit.normal = callback.normal;
    }
}

struct EdgeContactFixer {
    enum Outcome { KEPT, FIXED, DROPPED };

    // A sphere at centre touching the merged mesh's triangle at onMesh, the
    // normal pointing from the mesh toward the sphere. On an edge or corner
    // in a valley of the mesh (both faces rising toward the sphere) the
    // contact is dropped: a sphere cannot touch a valley's floor line
    // without touching one of its faces nearer, and the face's contact is
    // the true one; the edge's own normal leans against the ball's motion
    // on a curved floor. On an edge or corner that lies in a flat surface
    // the contact becomes the face contact under the centre, and the
    // sphere rolls over the seam as over the face.
    // `surface` becomes the normal of the flat surface the contact lies in,
    // when it lies in one.
    static Outcome fix(const StaticGeometry& geometry, int triangle, const btVector3& centre, btVector3& onMesh,
                       btVector3& normal, btScalar& distance, btScalar radius, btVector3& surface) {
        if (triangle < 0 || triangle >= geometry.triangleCount()) return KEPT;
        const btVector3* v[3];
        for (int k = 0; k < 3; ++k) v[k] = &geometry.vertices_[geometry.indices_[3 * triangle + k]];
        const btVector3 p = onMesh;
        int feature = -1;
        for (int k = 0; k < 3 && feature < 0; ++k)
            if ((p - *v[k]).length2() < FEATURE_TOLERANCE * FEATURE_TOLERANCE) feature = 3 + k;
        for (int k = 0; k < 3 && feature < 0; ++k) {
            btVector3 e = *v[(k + 1) % 3] - *v[k];
            btVector3 d = p - *v[k];
            btScalar s = d.dot(e) / e.length2();
            if ((d - e * s).length2() < FEATURE_TOLERANCE * FEATURE_TOLERANCE) feature = k;
        }
        if (feature < 0) {  // inside the face: the normal is already the face's
            surface = normal;
            return KEPT;
        }
        if (feature < 3 ? inValley(geometry, triangle, feature, centre)
                        : inValley(geometry, triangle, feature - 3, centre) &&
                              inValley(geometry, triangle, (feature - 3 + 2) % 3, centre))
            return DROPPED;
        int flat = geometry.flatSurface_[triangle][feature];
        if (flat < 0) return KEPT;

        const int* f = &geometry.indices_[3 * flat];
        const std::vector<btVector3>& vs = geometry.vertices_;
        btVector3 n = (vs[f[1]] - vs[f[0]]).cross(vs[f[2]] - vs[f[0]]).normalized();
        if (n.dot(centre - p) < 0) n = -n;
        surface = n;
        // A seam contact leans only a few degrees off the surface; a steeper
        // one means the ball is beyond the flat surface's border (over the
        // top of a wall, say), where the feature's own normal is right.
        if (normal.dot(n) < SNAP_COS) return KEPT;
        const btScalar height = (centre - p).dot(n);
        normal = n;
        onMesh = centre - n * height;
        distance = height - radius;
        return FIXED;
    }

    // Whether edge k of the triangle is the floor line of a valley seen
    // from centre: each face's far corner lies on the centre's side of the
    // other's plane. Only edges of exactly two triangles are judged.
    static bool inValley(const StaticGeometry& geometry, int triangle, int k, const btVector3& centre) {
        const int apexB = geometry.acrossApex_[triangle][k];
        if (apexB < 0) return false;
        const std::vector<btVector3>& vs = geometry.vertices_;
        const int* f = &geometry.indices_[3 * triangle];
        const btVector3 &a = vs[f[k]], &b = vs[f[(k + 1) % 3]], &apexA = vs[f[(k + 2) % 3]];
        auto facing = [&](const btVector3& third) {
            btVector3 n = (b - a).cross(third - a);
            return n.dot(centre - a) < 0 ? -n : n;
        };
        const btVector3 nA = facing(apexA), nB = facing(vs[apexB]);
        const btScalar edge = (b - a).length();
        return (vs[apexB] - a).dot(nA) > VALLEY_RISE * edge * nA.length() &&
               (apexA - a).dot(nB) > VALLEY_RISE * edge * nB.length();
    }
};

namespace {

// The narrow phase's result for every pair. Contacts of a ball with the
// merged mesh are corrected at seams, then held back until all triangles
// near the ball have given theirs: only the nearest of each surface goes
// into the manifold (MeshContacts.h), and a grazing one turns the ball's
// velocity along the surface.
class CorrectedResult : public btManifoldResult {
public:
    using btManifoldResult::btManifoldResult;

    void addContactPoint(const btVector3& normalOnB, const btVector3& pointOnB, btScalar depth) override {
        const bool meshIsB = isMesh(getBody1Wrap());
        const btCollisionObjectWrapper* sphere = meshIsB ? getBody0Wrap() : getBody1Wrap();
        if ((!meshIsB && !isMesh(getBody0Wrap())) || sphere->getCollisionShape()->getShapeType() != SPHERE_SHAPE_PROXYTYPE)
            return btManifoldResult::addContactPoint(normalOnB, pointOnB, depth);
        if (depth > m_manifoldPtr->getContactBreakingThreshold()) return;
        const auto& geometry = *static_cast<const StaticGeometry*>((meshIsB ? getBody1Wrap() : getBody0Wrap())
                                                                       ->getCollisionObject()
                                                                       ->getUserPointer());
        // Bullet's contact: normalOnB points from B to A, the point on A is
        // pointOnB + normalOnB * depth. Which of ball and triangle the
        // numbers take as B follows the order Bullet met the pair in (the
        // ball or the merged mesh made first), not the wrappers: the normal
        // pointing at the ball's centre tells.
        const btVector3 centre = sphere->getWorldTransform().getOrigin();
        const bool pointOnMesh = normalOnB.dot(centre - pointOnB) > 0;
        btVector3 onMesh = pointOnMesh ? pointOnB : pointOnB + normalOnB * depth;
        btVector3 normal = pointOnMesh ? normalOnB : -normalOnB;
        btScalar distance = depth;
        const btScalar radius = static_cast<const btSphereShape*>(sphere->getCollisionShape())->getRadius();
        btVector3 surface(0, 0, 0);
        Held held{normalOnB, pointOnB, depth, m_partId0, m_index0, m_partId1, m_index1, {normal, distance, surface}};
        const auto outcome = EdgeContactFixer::fix(geometry, meshIsB ? m_index1 : m_index0, centre, onMesh, normal,
                                                   distance, radius, surface);
        held.inValley = outcome == EdgeContactFixer::DROPPED;
        held.contact.surface = surface;
        if (outcome == EdgeContactFixer::FIXED) {
            held.normalOnB = pointOnMesh ? normal : -normal;
            held.pointOnB = pointOnMesh ? onMesh : centre - normal * radius;
            held.depth = distance;
            held.contact = {normal, distance, surface};
        }
        held_.push_back(held);
    }

    // Before the pair's narrow phase: what the solver had of each surface
    // last step. Bullet's refresh after the narrow phase drops a point whose
    // two ends drifted apart, and a fast rolling ball's end of it turns
    // away with the ball: at 250 units/s none would be left to tell how the
    // surface turned under the ball.
    void rememberLast(const btPersistentManifold& manifold) {
        oldCount_ = manifold.getNumContacts();
        for (int i = 0; i < oldCount_; ++i) old_[i] = manifold.getContactPoint(i);
    }

    // After the pair's narrow phase: the manifold gets the nearest contact
    // of each surface, each with what the solver had kept of the contact
    // it replaces, and grazing contacts turn the ball.
    void passNearest(btScalar step) {
        btPersistentManifold* manifold = m_manifoldPtr;
        if (!manifold || !isMesh(getBody0Wrap(), getBody1Wrap())) return;
        const btCollisionObjectWrapper* sphere =
            getBody0Wrap()->getCollisionShape()->getShapeType() == SPHERE_SHAPE_PROXYTYPE ? getBody0Wrap() : getBody1Wrap();
        btRigidBody* ball = btRigidBody::upcast(const_cast<btCollisionObject*>(sphere->getCollisionObject()));
        const bool moving = ball && ball->isActive();
        btVector3 velocity(0, 0, 0);
        if (moving) velocity = ball->getLinearVelocity();
        if (velocity.length2() < SETTLING_SPEED * SETTLING_SPEED) {
            // A ball coming to rest keeps Bullet's own manifold: its points
            // of the last steps form a patch that stills it.
            for (const Held& h : held_) add(h);
            return;
        }
        const btManifoldPoint* old = old_;
        const int oldCount = oldCount_;
        manifold->clearManifold();
        if (held_.empty()) return;
        std::vector<MeshContact> contacts;
        contacts.reserve(held_.size());
        std::vector<int> faceIndex;  // the held contacts the choice sees
        for (int i = 0; i < static_cast<int>(held_.size()); ++i)
            if (!held_[i].inValley) contacts.push_back(held_[i].contact), faceIndex.push_back(i);
        // The same surface one step before: the old contact nearest in normal.
        const btVector3 centre = sphere->getWorldTransform().getOrigin();
        auto towardBall = [&](const btManifoldPoint& p) {
            const btVector3 n = p.m_normalWorldOnB;
            return n.dot(centre - p.m_positionWorldOnB) < 0 ? -n : n;
        };
        auto previous = [&](const btVector3& normal) -> const btManifoldPoint* {
            const btManifoldPoint* best = nullptr;
            btScalar bestCos = ONE_SURFACE_COS;
            for (int j = 0; j < oldCount; ++j)
                if (towardBall(old[j]).dot(normal) > bestCos) bestCos = towardBall(old[j]).dot(normal), best = &old[j];
            return best;
        };
        // The solver gives rolling and spinning resistance to the first
        // contact of a manifold only: the one that carried the ball last
        // step comes first, or a ball in a corner would get it from floor
        // and wall by turns and never come to rest.
        struct Pass {
            int held;
            const btManifoldPoint* was;
        };
        std::vector<Pass> passes;
        for (int k : nearestPerSurface(contacts)) passes.push_back({faceIndex[k], previous(contacts[k].normal)});
        auto carried = [](const Pass& p) { return p.was ? p.was->m_appliedImpulse : btScalar(-1); };
        std::stable_sort(passes.begin(), passes.end(), [&](const Pass& a, const Pass& b) { return carried(a) > carried(b); });
        bool turned = false;
        for (const Pass& pass : passes) {
            const Held& h = held_[pass.held];
            const int before = manifold->getNumContacts();
            add(h);
            const btManifoldPoint* was = pass.was;
            if (!was) continue;
            if (manifold->getNumContacts() > before) {
                // The solver starts from what it found for the surface last step.
                btManifoldPoint& p = manifold->getContactPoint(before);
                p.m_appliedImpulse = was->m_appliedImpulse;
                p.m_appliedImpulseLateral1 = was->m_appliedImpulseLateral1;
                p.m_appliedImpulseLateral2 = was->m_appliedImpulseLateral2;
                p.m_prevRHS = was->m_prevRHS;
                p.m_lifeTime = was->m_lifeTime;
            }
            if (!moving || !keepGrazingSpeed(h.contact, towardBall(*was), step, ball->getGravity(), velocity)) continue;
            // The spin turns with the surface that carries the ball most,
            // once: two sides of a groove turn about the same axis.
            if (!turned && velocity.length2() > SPIN_TURN_SPEED * SPIN_TURN_SPEED)
                ball->setAngularVelocity(turnedSpin(towardBall(*was), h.contact.normal, ball->getAngularVelocity()));
            turned = true;
        }
        if (turned) ball->setLinearVelocity(velocity);
    }

private:
    struct Held {
        btVector3 normalOnB, pointOnB;
        btScalar depth;
        int part0, index0, part1, index1;
        MeshContact contact;
        bool inValley = false;  // an edge or corner contact a face contact covers
    };
    std::vector<Held> held_;
    btManifoldPoint old_[MANIFOLD_CACHE_SIZE];
    int oldCount_ = 0;

    void add(const Held& h) {
        m_partId0 = h.part0;
        m_index0 = h.index0;
        m_partId1 = h.part1;
        m_index1 = h.index1;
        btManifoldResult::addContactPoint(h.normalOnB, h.pointOnB, h.depth);
    }

    // A triangle of the merged mesh: the only object whose user pointer is
    // set is the merged mesh, pointing to its StaticGeometry.
    static bool isMesh(const btCollisionObjectWrapper* wrap) {
        return wrap->getCollisionShape()->getShapeType() == TRIANGLE_SHAPE_PROXYTYPE &&
               wrap->getCollisionObject()->getUserPointer();
    }
    // A ball and the merged mesh as a whole.
    static bool isMesh(const btCollisionObjectWrapper* a, const btCollisionObjectWrapper* b) {
        auto mesh = [](const btCollisionObjectWrapper* w) {
            return w->getCollisionShape()->getShapeType() == TRIANGLE_MESH_SHAPE_PROXYTYPE &&
                   w->getCollisionObject()->getUserPointer();
        };
        auto ball = [](const btCollisionObjectWrapper* w) {
            return w->getCollisionShape()->getShapeType() == SPHERE_SHAPE_PROXYTYPE;
        };
        return (mesh(a) && ball(b)) || (mesh(b) && ball(a));
    }
};

// Bullet's own near callback with the corrected result.
void nearCallback(btBroadphasePair& pair, btCollisionDispatcher& dispatcher, const btDispatcherInfo& info) {
    auto* object0 = static_cast<btCollisionObject*>(pair.m_pProxy0->m_clientObject);
    auto* object1 = static_cast<btCollisionObject*>(pair.m_pProxy1->m_clientObject);
    if (!dispatcher.needsCollision(object0, object1)) return;
    btCollisionObjectWrapper wrap0(nullptr, object0->getCollisionShape(), object0, object0->getWorldTransform(), -1, -1);
    btCollisionObjectWrapper wrap1(nullptr, object1->getCollisionShape(), object1, object1->getWorldTransform(), -1, -1);
    if (!pair.m_algorithm) pair.m_algorithm = dispatcher.findAlgorithm(&wrap0, &wrap1, nullptr, BT_CONTACT_POINT_ALGORITHMS);
    if (!pair.m_algorithm) return;
    CorrectedResult result(&wrap0, &wrap1);
    if (info.m_dispatchFunc == btDispatcherInfo::DISPATCH_DISCRETE) {
        btManifoldArray manifolds;
        pair.m_algorithm->getAllContactManifolds(manifolds);
        if (manifolds.size() == 1) result.rememberLast(*manifolds[0]);
        pair.m_algorithm->processCollision(&wrap0, &wrap1, info, &result);
        result.passNearest(info.m_timeStep);
    } else {
        const btScalar toi = pair.m_algorithm->calculateTimeOfImpact(object0, object1, info, &result);
        if (info.m_timeOfImpact > toi) info.m_timeOfImpact = toi;
    }
}

}  // namespace

void correctMeshContacts(btCollisionDispatcher& dispatcher) { dispatcher.setNearCallback(nearCallback); }

}  // namespace physics
