// Private to physics/: all placed klotz triangles merged into one static
// Bullet mesh in world space, with welded vertices. A sphere touching a
// triangle edge or corner gets a contact normal from that feature to its
// centre; where the feature lies inside a flat surface (the seam between two
// floor triangles, also between two kloetze) that tilted normal makes a
// rolling ball brake and hop. Each edge and corner therefore records the
// flat surface it lies in, and the narrow phase turns such contacts to
// that surface's normal. Convex edges keep their true normal. Edges in a
// valley of the mesh, and contacts a nearer one of the same surface covers,
// do not reach the solver of a moving ball (MeshContacts.h).
#pragma once

#include <array>
#include <memory>
#include <vector>

#include <btBulletCollisionCommon.h>

#include "physics/Physics.h"
#include "physics/RayCast.h"

namespace physics {

struct MeshData;

struct PlacedMesh {
    const MeshData* mesh;
    btTransform pose;
    ActorHandle actor;
};

class StaticGeometry {
public:
    StaticGeometry();
    ~StaticGeometry();
    StaticGeometry(const StaticGeometry&) = delete;
    StaticGeometry& operator=(const StaticGeometry&) = delete;

    // Replaces the merged mesh with the triangles of placed, each at its
    // pose. The collision object is nullptr when there are no triangles;
    // the caller sets its material and adds it to the world.
    void rebuild(const std::vector<PlacedMesh>& placed);
    btCollisionObject* object() const { return object_.get(); }
    int triangleCount() const { return static_cast<int>(indices_.size() / 3); }
    // The klotz actor a triangle of the merged mesh came from.
    ActorHandle ownerOf(int triangle) const {
        return triangle >= 0 && triangle < triangleCount() ? owner_[triangle] : NO_ACTOR;
    }

    // Lowers hit to the closest triangle the segment crosses, by Bullet's
    // own triangle test, found through the mesh's bounding-volume tree.
    void raycast(const btVector3& from, const btVector3& to, ClosestHit& hit) const;

private:
    std::vector<btVector3> vertices_;
    std::vector<int> indices_;
    std::vector<ActorHandle> owner_;  // per triangle
    // Per triangle: for edges 0..2 (vertex k to k+1) and corners 0..2, the
    // index of a triangle whose plane is the flat surface the feature lies
    // in, or -1.
    std::vector<std::array<int, 6>> flatSurface_;
    // Per triangle: for edges 0..2, the far corner of the one other
    // triangle on that edge, or -1 (a border, or more than two triangles).
    std::vector<std::array<int, 3>> acrossApex_;
    friend struct EdgeContactFixer;
    std::unique_ptr<btTriangleIndexVertexArray> array_;
    std::unique_ptr<btBvhTriangleMeshShape> shape_;
    std::unique_ptr<btCollisionObject> object_;
};

// Makes the dispatcher apply the edge map to every contact of a ball with
// the merged mesh.
void correctMeshContacts(btCollisionDispatcher& dispatcher);

}  // namespace physics
