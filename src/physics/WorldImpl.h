// Private to physics/: the Bullet objects behind PhysicsWorld and the
// constants they share.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
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

// A handle is generation << SLOT_BITS | slot: a million actors alive at
// once, and a slot's handle repeats only after 2048 reuses.
constexpr int SLOT_BITS = 20;
constexpr ActorHandle SLOT_MASK = (ActorHandle(1) << SLOT_BITS) - 1;
constexpr std::uint32_t GENERATIONS = std::uint32_t(1) << (31 - SLOT_BITS);

// A klotz's moving part: its body's origin is the pivot, its shape the
// part's mesh moved there.
struct MovingPart {
    MovingPartSpec setup;
    btTransform rest;  // the body at rest, in the klotz's frame
    std::vector<btScalar> vertices;
    std::vector<int> indices;
    std::vector<std::unique_ptr<btConvexHullShape>> hulls;  // one per separate piece of its mesh
    std::unique_ptr<btCollisionShape> shape;                 // the hulls together
    btVector3 inertia{0, 0, 0};
    std::unique_ptr<btRigidBody> body;
    std::unique_ptr<btTypedConstraint> joint;  // hinge or slider
    double clock = 0;
};

inline int slotOf(ActorHandle actor) { return static_cast<int>(actor & SLOT_MASK); }

struct ActorRecord {
    ActorKind kind = ActorKind::PLANE;
    bool alive = false;
    int slot = 0;                  // its place in PhysicsWorld::Impl::actors
    std::uint32_t generation = 0;  // the slot's, counted on when it is released
    std::uint64_t made = 0;        // how many actors the world had made before this one
    ActorHandle handle() const { return static_cast<ActorHandle>(generation << SLOT_BITS) | slot; }
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
    float density = 0;                                        // ball only, to make its body anew
    BallContacts contacts;                                    // ball only, while reported
    std::vector<MovingPart> parts;                            // klotz only
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
    std::vector<ActorRecord> actors;  // indexed by slot
    std::vector<int> freeSlots;       // released slots, the last released reused first
    std::vector<ActorHandle> planes;  // live ones, as created
    std::vector<RayPlane> rayPlanes;  // the live planes' equations, for ray casts
    bool rayPlanesStale = true;
    std::vector<ActorHandle> balls;  // live ones
    StaticGeometry statics;
    std::uint64_t madeCount = 0;  // actors made so far
    // Scratch kept between calls: rebuilding statics, gathering touches.
    std::vector<const ActorRecord*> klotzScratch;
    std::vector<PlacedMesh> placedScratch;
    std::vector<btScalar> touchDepth;
    bool staticsDirty = false;
    bool staticsInWorld = false;
    BallGrid ballGrid;  // for ray casts
    bool ballGridStale = true;
    double carried = 0;  // s, below one step
    bool reportContacts = false;
    StepContacts contactReport;
    WorldStats counts;  // kept up to date as actors come and go

    void fail(const char* file, int line, const std::string& what) {
        reporter->reportError(ERROR_INVALID_PARAMETER, what, file, line);
    }

    // The live actor a handle names, or nullptr for a released or made-up one.
    ActorRecord* live(ActorHandle actor) {
        if (actor < 0) return nullptr;
        const int slot = slotOf(actor);
        if (slot >= static_cast<int>(actors.size())) return nullptr;
        ActorRecord& a = actors[slot];
        return a.alive && a.generation == static_cast<std::uint32_t>(actor >> SLOT_BITS) ? &a : nullptr;
    }

    // A handle known to be live (from balls or planes).
    ActorRecord& at(ActorHandle actor) { return actors[slotOf(actor)]; }

    ActorRecord* find(ActorHandle actor, const char* operation, const char* file, int line) {
        ActorRecord* a = live(actor);
        if (!a) {
            std::ostringstream text;
            text << operation << ": no actor " << actor;
            fail(file, line, text.str());
        }
        return a;
    }

    // The transform of a ball or plane, or of a klotz (kept here, its
    // triangles live in the merged mesh).
    btTransform& transformOf(ActorRecord& a) { return a.kind == ActorKind::BALL ? a.body->getWorldTransform() : a.staticPose; }

    void teleported(ActorRecord& a) {
        if (a.kind == ActorKind::KLOTZ) {
            staticsDirty = true;
            if (!a.parts.empty()) partsAtRest(a);
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
        for (ActorHandle b : balls) at(b).body->activate(true);
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
        klotzScratch.clear();
        for (const ActorRecord& a : actors)
            if (a.alive && a.kind == ActorKind::KLOTZ) klotzScratch.push_back(&a);
        // In the order the kloetze were made, whatever slots they got: the
        // order of the triangles decides which vertex a weld keeps and the
        // order of contacts, and so the last bits of a run. The scene makes
        // them in the order of its list, as a scene file holds them.
        std::sort(klotzScratch.begin(), klotzScratch.end(),
                  [](const ActorRecord* a, const ActorRecord* b) { return a->made < b->made; });
        placedScratch.clear();
        for (const ActorRecord* a : klotzScratch) placedScratch.push_back({&meshes[a->mesh], a->staticPose, a->handle()});
        statics.rebuild(placedScratch);
        addStatics();
        wakeBalls();
    }

    void addStatics() {
        if (!statics.object()) return;
        addStaticObject(*world, *statics.object());
        staticsInWorld = true;
    }

    void syncRayPlanes() {
        if (!rayPlanesStale) return;
        rayPlanesStale = false;
        rayPlanes.clear();
        for (ActorHandle p : planes)
            rayPlanes.push_back({at(p).worldNormal, at(p).worldDistance});
    }

    void syncBallGrid() {
        if (!ballGridStale) return;
        ballGridStale = false;
        ballGrid.clear();
        for (ActorHandle b : balls) {
            const btRigidBody& body = *at(b).body;
            ballGrid.add(body.getWorldTransform().getOrigin(),
                         static_cast<const btSphereShape*>(body.getCollisionShape())->getRadius());
        }
        ballGrid.finish();
    }

    void clampSpin() {
        for (ActorHandle b : balls) {
            ActorRecord& a = at(b);
            btVector3 spin = a.body->getAngularVelocity();
            btScalar len = spin.length();
            if (len > a.maxSpin) a.body->setAngularVelocity(spin * (a.maxSpin / len));
        }
    }

    // Moving parts (MovingParts.cpp). Kloetze with parts, in the order
    // they were made.
    std::vector<ActorRecord*> partOwners();
    std::vector<int> ownerSlots;  // partOwners' slots, while not stale
    bool ownersStale = true;
    void partsAtRest(ActorRecord& klotz);
    void addPartBodies(ActorRecord& klotz);    // bodies and joints made anew, into the world
    void removePartBodies(ActorRecord& klotz);  // out of the world
    void driveParts();  // before each step: driven parts move on, springs pull

    // Contact reports (ContactReports.cpp): velocities before a step, and
    // what each ball met in it; touches after the last step of a call.
    void rememberVelocities();
    void gatherContacts(int step, bool lastStep);

    // The Bullet world with its dispatcher, broad phase and solver, empty.
    void makeWorld();
    // Takes every collider out and drops the world objects.
    void dropWorld();

    // Gives the record a slot and the actor its handle; NO_ACTOR when every
    // slot is taken.
    ActorHandle add(ActorRecord record);
    void remove(ActorRecord& a);
};

}  // namespace physics
