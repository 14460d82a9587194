// Private to physics/: the Bullet objects behind PhysicsWorld and the
// constants they share.
#pragma once

#include <cmath>
#include <limits>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include <btBulletDynamicsCommon.h>

#include "physics/BulletGlue.h"
#include "physics/ErrorReporter.h"
#include "physics/Physics.h"
#include "physics/StaticGeometry.h"

namespace physics {

// A registered triangle mesh, copied in; indices checked against vertices.
struct MeshData {
    std::vector<float> vertices;
    std::vector<std::int32_t> faces;
};

enum class ActorKind { PLANE, KLOTZ, BALL };

struct ActorRecord {
    ActorKind kind = ActorKind::PLANE;
    bool alive = false;
    MeshHandle mesh = NO_MESH;  // klotz only
    // Klotz and plane: the actor's pose. A klotz's triangles live in the
    // merged static mesh, a plane is a slab placed from this pose and its
    // local plane.
    btTransform staticPose = btTransform::getIdentity();
    btVector3 planeNormal{0, 1, 0};  // plane only, local: normal . p = planeDistance
    btScalar planeDistance = 0;
    btVector3 worldNormal{0, 1, 0};  // plane only, the same at the actor's pose
    btScalar worldDistance = 0;
    float maxSpin = std::numeric_limits<float>::infinity();  // ball only, rad/s
    std::unique_ptr<btCollisionShape> shape;  // plane, ball
    std::unique_ptr<btRigidBody> body;        // plane, ball
};

// The material of every shape. The original tuning gives a dynamic friction
// of 0.5, a static friction of 0.00005 (so nearly no resistance before
// sliding starts) and no restitution; an anisotropic static friction of
// 0.00004 is not used. Bullet has one Coulomb coefficient per body and
// multiplies the two of a contact, so each body gets sqrt(0.5): every
// contact then has friction 0.5, enough for a steel ball to roll without
// sliding on the 45-degree slopes (needs tan(45)/3.5 = 0.29). Restitution 0
// on both sides: a ball does not bounce.
const btScalar BODY_FRICTION = btSqrt(btScalar(0.5));  // 0.7071
// A little rolling resistance on the balls (Bullet multiplies it by the
// other body's friction): a ball loses about 0.35 units/s per second on the
// level, well under 1 % of its speed along a run of straights, yet one
// circling in a goal basin comes to rest within seconds instead of rolling
// for ever.
constexpr btScalar BALL_ROLLING_FRICTION = btScalar(0.5);
constexpr btScalar RESTITUTION = 0;

// Mass unit: world units are millimetres, density is kg/m^3 and mass is in
// grams (1 kg/m^3 = 1e-6 g/mm^3), so a steel ball of radius 8 weighs 16 g.
// Taken literally (1.6e7) Bullet's single-precision solver lets the ball
// sink through meshes; as every ball has the same density, the unit changes
// no motion.
constexpr double DENSITY_TO_MASS = 1e-6;

// Collision group of the plane slabs: ray casts meet the planes exactly,
// by their equation, not through the slabs.
constexpr int PLANE_GROUP = 64;
// Half sizes of the slab that stands for a plane, world units.
constexpr btScalar PLANE_REACH = 100000;
constexpr btScalar PLANE_THICKNESS = 1000;

inline bool finite(glm::vec3 v) { return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z); }
inline btVector3 toBt(glm::vec3 v) { return btVector3(v.x, v.y, v.z); }
inline glm::vec3 toGlm(const btVector3& v) { return glm::vec3(v.x(), v.y(), v.z()); }

struct PhysicsWorld::Impl {
    std::unique_ptr<ErrorReporter> ownReporter;
    ErrorReporter* reporter = nullptr;
    std::unique_ptr<ReportingDrawer> drawer;
    std::unique_ptr<btDefaultCollisionConfiguration> configuration;
    std::unique_ptr<btCollisionDispatcher> dispatcher;
    std::unique_ptr<btDbvtBroadphase> broadphase;
    std::unique_ptr<btSequentialImpulseConstraintSolver> solver;
    std::unique_ptr<btDiscreteDynamicsWorld> world;

    std::vector<MeshData> meshes;
    std::vector<ActorRecord> actors;  // indexed by handle; handles never reused
    std::vector<ActorHandle> planes;
    std::vector<ActorHandle> balls;  // live ones
    StaticGeometry statics;
    bool staticsDirty = false;
    bool staticsInWorld = false;
    double carried = 0;  // s, below one step
    WorldStats counts;

    void fail(const char* file, int line, const std::string& what) {
        reporter->reportError(ERROR_INVALID_PARAMETER, what, file, line);
    }

    ActorRecord* find(ActorHandle actor, const char* operation, const char* file, int line) {
        if (actor < 0 || actor >= static_cast<ActorHandle>(actors.size()) || !actors[actor].alive) {
            std::ostringstream text;
            text << operation << ": no actor " << actor;
            fail(file, line, text.str());
            return nullptr;
        }
        return &actors[actor];
    }

    // The transform of a ball or plane, or of a klotz (kept here, its
    // triangles live in the merged mesh).
    btTransform& transformOf(ActorRecord& a) { return a.kind == ActorKind::BALL ? a.body->getWorldTransform() : a.staticPose; }

    void teleported(ActorRecord& a) {
        if (a.kind == ActorKind::KLOTZ) {
            staticsDirty = true;
        } else if (a.kind == ActorKind::PLANE) {
            placePlane(a);
        } else if (a.kind == ActorKind::BALL) {
            a.body->setInterpolationWorldTransform(a.body->getWorldTransform());
            a.body->activate(true);
            world->updateSingleAabb(a.body.get());
        }
    }

    // The slab behind a plane: local y along the normal (det +1), its top
    // face on the plane, both moved by the actor's pose.
    void placePlane(ActorRecord& a) {
        a.worldNormal = a.staticPose.getBasis() * a.planeNormal;
        a.worldDistance = a.planeDistance + a.worldNormal.dot(a.staticPose.getOrigin());
        btVector3 u, v;
        const btVector3& n = a.worldNormal;
        btPlaneSpace1(n, u, v);
        btMatrix3x3 basis(v.x(), n.x(), u.x(), v.y(), n.y(), u.y(), v.z(), n.z(), u.z());
        a.body->setWorldTransform(btTransform(basis, n * (a.worldDistance - PLANE_THICKNESS)));
        if (a.body->getBroadphaseHandle()) world->updateSingleAabb(a.body.get());
    }

    void syncStatics() {
        if (!staticsDirty) return;
        staticsDirty = false;
        if (staticsInWorld) world->removeCollisionObject(statics.object());
        staticsInWorld = false;
        std::vector<PlacedMesh> placed;
        for (const ActorRecord& a : actors)
            if (a.alive && a.kind == ActorKind::KLOTZ) placed.push_back({&meshes[a.mesh], a.staticPose});
        statics.rebuild(placed, BODY_FRICTION, RESTITUTION);
        if (statics.object()) {
            world->addCollisionObject(statics.object(), btBroadphaseProxy::StaticFilter,
                                      btBroadphaseProxy::AllFilter ^ btBroadphaseProxy::StaticFilter);
            staticsInWorld = true;
        }
        // Sleeping balls must notice the new ground.
        for (ActorHandle b : balls) actors[b].body->activate(true);
    }

    void clampSpin() {
        for (ActorHandle b : balls) {
            ActorRecord& a = actors[b];
            btVector3 spin = a.body->getAngularVelocity();
            btScalar len = spin.length();
            if (len > a.maxSpin) a.body->setAngularVelocity(spin * (a.maxSpin / len));
        }
    }

    ActorHandle add(ActorRecord record) {
        record.alive = true;
        actors.push_back(std::move(record));
        return static_cast<ActorHandle>(actors.size() - 1);
    }
};

}  // namespace physics
