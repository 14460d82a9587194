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
#include "physics/BulletSettings.h"
#include "physics/ContactReports.h"
#include "physics/ErrorReporter.h"
#include "physics/Physics.h"
#include "physics/RayCast.h"
#include "physics/SphereContact.h"
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
    // merged static mesh; a plane's collider holds the plane moved by this
    // pose, its body stays at the identity.
    btTransform staticPose = btTransform::getIdentity();
    btVector3 planeNormal{0, 1, 0};  // plane only, local: normal . p = planeDistance
    btScalar planeDistance = 0;
    btVector3 worldNormal{0, 1, 0};  // plane only, the same at the actor's pose
    btScalar worldDistance = 0;
    float maxSpin = std::numeric_limits<float>::infinity();  // ball only, rad/s
    BallContacts contacts;                                    // ball only, while reported
    std::unique_ptr<btCollisionShape> shape;  // plane, ball
    std::unique_ptr<btRigidBody> body;        // plane, ball
};

inline bool finite(glm::vec3 v) { return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z); }
inline btVector3 toBt(glm::vec3 v) { return btVector3(v.x, v.y, v.z); }
inline glm::vec3 toGlm(const btVector3& v) { return glm::vec3(v.x(), v.y(), v.z()); }

struct PhysicsWorld::Impl {
    std::unique_ptr<ErrorReporter> ownReporter;
    ErrorReporter* reporter = nullptr;
    std::unique_ptr<ReportingDrawer> drawer;
    SphereContact::CreateFunc sphereContact;  // outlives the dispatcher
    std::unique_ptr<btDefaultCollisionConfiguration> configuration;
    std::unique_ptr<btCollisionDispatcher> dispatcher;
    std::unique_ptr<btDbvtBroadphase> broadphase;
    std::unique_ptr<btSequentialImpulseConstraintSolver> solver;
    std::unique_ptr<btDiscreteDynamicsWorld> world;

    std::vector<MeshData> meshes;
    std::vector<ActorRecord> actors;  // indexed by handle; handles never reused
    std::vector<ActorHandle> planes;
    std::vector<RayPlane> rayPlanes;  // the live planes' equations, for ray casts
    bool rayPlanesStale = true;
    std::vector<ActorHandle> balls;  // live ones
    StaticGeometry statics;
    bool staticsDirty = false;
    bool staticsInWorld = false;
    BallGrid ballGrid;  // for ray casts
    bool ballGridStale = true;
    double carried = 0;  // s, below one step
    bool reportContacts = false;
    StepContacts contactReport;
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
            ballGridStale = true;
            a.contacts.before.clear();  // what it touched there says nothing here
        }
    }

    // The plane's collider, moved by the actor's pose; contacts with the
    // old plane go.
    void placePlane(ActorRecord& a) {
        a.worldNormal = a.staticPose.getBasis() * a.planeNormal;
        a.worldDistance = a.planeDistance + a.worldNormal.dot(a.staticPose.getOrigin());
        static_cast<HalfSpaceShape&>(*a.shape).place(a.worldNormal, a.worldDistance);
        rayPlanesStale = true;
        if (!a.body->getBroadphaseHandle()) return;
        world->updateSingleAabb(a.body.get());
        forgetContacts(*a.body);
        wakeBalls();
    }

    // Sleeping balls must notice ground that changed under them.
    void wakeBalls() {
        for (ActorHandle b : balls) actors[b].body->activate(true);
    }

    void forgetContacts(btCollisionObject& object) {
        world->getBroadphase()->getOverlappingPairCache()->cleanProxyFromPairs(object.getBroadphaseHandle(),
                                                                             world->getDispatcher());
    }

    void syncStatics() {
        if (!staticsDirty) return;
        staticsDirty = false;
        if (staticsInWorld) world->removeCollisionObject(statics.object());
        staticsInWorld = false;
        std::vector<PlacedMesh> placed;
        for (std::size_t i = 0; i < actors.size(); ++i) {
            const ActorRecord& a = actors[i];
            if (a.alive && a.kind == ActorKind::KLOTZ)
                placed.push_back({&meshes[a.mesh], a.staticPose, static_cast<ActorHandle>(i)});
        }
        statics.rebuild(placed);
        if (statics.object()) {
            addStaticObject(*world, *statics.object());
            staticsInWorld = true;
        }
        wakeBalls();
    }

    void syncRayPlanes() {
        if (!rayPlanesStale) return;
        rayPlanesStale = false;
        rayPlanes.clear();
        for (ActorHandle p : planes)
            if (actors[p].alive) rayPlanes.push_back({actors[p].worldNormal, actors[p].worldDistance});
    }

    void syncBallGrid() {
        if (!ballGridStale) return;
        ballGridStale = false;
        ballGrid.clear();
        for (ActorHandle b : balls) {
            const btRigidBody& body = *actors[b].body;
            ballGrid.add(body.getWorldTransform().getOrigin(),
                         static_cast<const btSphereShape*>(body.getCollisionShape())->getRadius());
        }
        ballGrid.finish();
    }

    void clampSpin() {
        for (ActorHandle b : balls) {
            ActorRecord& a = actors[b];
            btVector3 spin = a.body->getAngularVelocity();
            btScalar len = spin.length();
            if (len > a.maxSpin) a.body->setAngularVelocity(spin * (a.maxSpin / len));
        }
    }

    // Contact reports (ContactReports.cpp): velocities before a step, and
    // what each ball met in it; touches after the last step of a call.
    void rememberVelocities();
    void gatherContacts(int step, bool lastStep);

    ActorHandle add(ActorRecord record) {
        record.alive = true;
        actors.push_back(std::move(record));
        return static_cast<ActorHandle>(actors.size() - 1);
    }
};

}  // namespace physics
