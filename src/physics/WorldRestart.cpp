// The Bullet world objects, made at creation and made anew when a run
// restarts, so that a run depends on the actors alone and not on what the
// world went through before (pairs and contact caches, the broad phase's
// tree and proxy numbering, sleeping timers, the solver).
#include "physics/Physics.h"
#include "physics/WorldImpl.h"

namespace physics {

namespace {

constexpr const char* THIS_FILE = "WorldRestart.cpp";

// A body as createSphereActor makes it, with the old one's pose, velocities
// and damping and none of its history.
std::unique_ptr<btRigidBody> freshBallBody(const ActorRecord& a) {
    const btRigidBody& old = *a.body;
    auto body = makeBallBody(static_cast<btSphereShape&>(*a.shape), a.density);
    body->setWorldTransform(old.getWorldTransform());
    body->setInterpolationWorldTransform(old.getWorldTransform());
    body->setLinearVelocity(old.getLinearVelocity());
    body->setAngularVelocity(old.getAngularVelocity());
    body->setDamping(old.getLinearDamping(), old.getAngularDamping());
    return body;
}

}  // namespace

void PhysicsWorld::Impl::makeWorld() {
    configuration = std::make_unique<btDefaultCollisionConfiguration>();
    dispatcher = std::make_unique<btCollisionDispatcher>(configuration.get());
    dispatcher->registerCollisionCreateFunc(SPHERE_SHAPE_PROXYTYPE, SPHERE_SHAPE_PROXYTYPE, &sphereContact);
    correctMeshContacts(*dispatcher);
    broadphase = std::make_unique<btDbvtBroadphase>();
    solver = std::make_unique<btSequentialImpulseConstraintSolver>();
    world = std::make_unique<btDiscreteDynamicsWorld>(dispatcher.get(), broadphase.get(), solver.get(),
                                                     configuration.get());
    world->setDebugDrawer(drawer.get());
    configureWorld(*world);
}

void PhysicsWorld::Impl::dropWorld() {
    if (!world) return;
    if (staticsInWorld) world->removeCollisionObject(statics.object());
    staticsInWorld = false;
    for (ActorRecord& a : actors) {
        if (a.alive && a.body) world->removeRigidBody(a.body.get());
        if (a.alive && !a.parts.empty()) removePartBodies(a);
    }
    world.reset();
    solver.reset();
    broadphase.reset();
    dispatcher.reset();
    configuration.reset();
}

void PhysicsWorld::restartRun(const std::vector<ActorHandle>& ballOrder) {
    Impl& w = *impl_;
    std::vector<ActorHandle> order;
    order.reserve(w.balls.size());
    for (ActorHandle b : ballOrder) {
        const ActorRecord* a = w.find(b, "restartRun", THIS_FILE, __LINE__);
        if (!a) continue;
        if (a->kind != ActorKind::BALL || std::find(order.begin(), order.end(), b) != order.end()) {
            w.fail(THIS_FILE, __LINE__, "restartRun: actor " + std::to_string(b) + " is no ball or named twice");
            continue;
        }
        order.push_back(b);
    }
    const std::size_t given = order.size();
    for (const ActorRecord& a : w.actors)
        if (a.alive && a.kind == ActorKind::BALL &&
            std::find(order.begin(), order.begin() + static_cast<std::ptrdiff_t>(given), a.handle()) ==
                order.begin() + static_cast<std::ptrdiff_t>(given))
            order.push_back(a.handle());

    w.dropWorld();
    w.makeWorld();
    for (ActorHandle p : w.planes) {
        ActorRecord& a = w.at(p);
        a.body = makePlaneBody(static_cast<HalfSpaceShape&>(*a.shape));
        a.body->setUserIndex(p);
        addPlaneBody(*w.world, *a.body);
    }
    if (w.staticsDirty)
        w.syncStatics();
    else
        w.addStatics();
    // Every run starts with the parts at rest.
    for (ActorRecord* klotz : w.partOwners()) w.partsAtRest(*klotz);
    for (ActorHandle b : order) {
        ActorRecord& a = w.at(b);
        a.body = freshBallBody(a);
        a.body->setUserIndex(b);
        a.contacts.clear();
        w.world->addRigidBody(a.body.get());
    }
    w.balls = std::move(order);
    w.ballGridStale = true;
    w.rayPlanesStale = true;
    w.carried = 0;
    w.contactReport = StepContacts();
}

}  // namespace physics
