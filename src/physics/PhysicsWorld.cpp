#include <algorithm>
#include <cmath>
#include <limits>
#include <sstream>

#include "physics/Physics.h"
#include "physics/WorldImpl.h"

namespace physics {

namespace {

constexpr float GRAVITY_Y = -400.0f;      // units / s^2
constexpr double STEP = 0.01;             // s, one fixed step
constexpr int MAX_STEPS_PER_CALL = 1000;
// Bullet integrates each fixed step in this many sub-steps (0.005 s): with
// the seam correction of StaticGeometry rolling is smooth already at one,
// the second halves the distance a fast ball moves between two contact
// checks (a ball dropped 20 levels moves 4.5 units per sub-step, against
// its radius of 8 and plates 4 thick) for a cost still within the frame
// budget at 400 balls.
constexpr int SUBSTEPS = 2;

// The material of every shape. The original tuning gives a dynamic friction
// of 0.5, a static friction of 0.00005 (so nearly no resistance before
// sliding starts) and no restitution; an anisotropic static friction of
// 0.00004 is not used. Bullet has one Coulomb coefficient per body and
// multiplies the two of a contact, so each body gets sqrt(0.5): every
// contact then has friction 0.5, enough for a steel ball to roll without
// sliding on the 45-degree slopes (needs tan(45)/3.5 = 0.29). Restitution 0
// on both sides: a ball does not bounce. No rolling friction: a rolling
// ball keeps its speed on the level.
const btScalar BODY_FRICTION = btSqrt(btScalar(0.5));
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

const char* THIS_FILE = "PhysicsWorld.cpp";

// Bullet reports warnings (such as an object removed after an AABB
// overflow) through the world's debug drawer; this one draws nothing and
// forwards them.
class ReportingDrawer : public btIDebugDraw {
public:
    explicit ReportingDrawer(ErrorReporter& reporter) : reporter_(reporter) {}
    void drawLine(const btVector3&, const btVector3&, const btVector3&) override {}
    void drawContactPoint(const btVector3&, const btVector3&, btScalar, int, const btVector3&) override {}
    void reportErrorWarning(const char* warningString) override {
        std::string text = warningString ? warningString : "";
        while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
        reporter_.reportError(ERROR_WARNING, text, "Bullet", 0);
    }
    void draw3dText(const btVector3&, const char*) override {}
    void setDebugMode(int) override {}
    int getDebugMode() const override { return DBG_NoDebug; }

private:
    ErrorReporter& reporter_;
};

// Closest hit where balls are met exactly by their sphere equation while
// the broad phase offers them, instead of Bullet's iterative convex cast
// (most of the cost of the particles' short rays). A ray starting inside a
// ball does not hit that ball.
struct ClosestRayCallback : btCollisionWorld::ClosestRayResultCallback {
    using ClosestRayResultCallback::ClosestRayResultCallback;
    bool needsCollision(btBroadphaseProxy* proxy) const override {
        if (!ClosestRayResultCallback::needsCollision(proxy)) return false;
        auto* object = static_cast<const btCollisionObject*>(proxy->m_clientObject);
        const btCollisionShape* shape = object->getCollisionShape();
        if (shape->getShapeType() != SPHERE_SHAPE_PROXYTYPE) return true;
        const btScalar r = static_cast<const btSphereShape*>(shape)->getRadius();
        const btVector3 d = m_rayToWorld - m_rayFromWorld;
        const btVector3 f = m_rayFromWorld - object->getWorldTransform().getOrigin();
        const btScalar a = d.length2(), b = f.dot(d), c = f.length2() - r * r;
        const btScalar disc = b * b - a * c;
        if (c < 0 || disc < 0 || a <= 0) return false;
        const btScalar t = (-b - btSqrt(disc)) / a;
        if (t < 0 || t > m_closestHitFraction) return false;
        auto* self = const_cast<ClosestRayCallback*>(this);
        self->m_closestHitFraction = t;
        self->m_collisionObject = object;
        self->m_hitPointWorld = m_rayFromWorld + d * t;
        self->m_hitNormalWorld = (f + d * t) / r;
        return false;
    }
};

bool finite(glm::vec3 v) { return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z); }
btVector3 toBt(glm::vec3 v) { return btVector3(v.x, v.y, v.z); }
glm::vec3 toGlm(const btVector3& v) { return glm::vec3(v.x(), v.y(), v.z()); }

}  // namespace

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
    StaticGeometry statics;
    bool staticsDirty = false;
    bool staticsInWorld = false;
    double carried = 0;  // s, below one step
    WorldStats counts;

    void fail(int line, const std::string& what) { reporter->reportError(ERROR_INVALID_PARAMETER, what, THIS_FILE, line); }

    ActorRecord* find(ActorHandle actor, const char* operation, int line) {
        if (actor < 0 || actor >= static_cast<ActorHandle>(actors.size()) || !actors[actor].alive) {
            std::ostringstream text;
            text << operation << ": no actor " << actor;
            fail(line, text.str());
            return nullptr;
        }
        return &actors[actor];
    }

    // The transform of a ball or plane, or of a klotz (kept here, its
    // triangles live in the merged mesh).
    btTransform& transformOf(ActorRecord& a) { return a.kind == ActorKind::KLOTZ ? a.klotzPose : a.body->getWorldTransform(); }

    void teleported(ActorRecord& a) {
        if (a.kind == ActorKind::KLOTZ) {
            staticsDirty = true;
        } else if (a.kind == ActorKind::BALL) {
            a.body->setInterpolationWorldTransform(a.body->getWorldTransform());
            a.body->activate(true);
            world->updateSingleAabb(a.body.get());
        }
    }

    void syncStatics() {
        if (!staticsDirty) return;
        staticsDirty = false;
        if (staticsInWorld) world->removeCollisionObject(statics.object());
        staticsInWorld = false;
        std::vector<PlacedMesh> placed;
        for (const ActorRecord& a : actors)
            if (a.alive && a.kind == ActorKind::KLOTZ) placed.push_back({&meshes[a.mesh], a.klotzPose});
        statics.rebuild(placed, BODY_FRICTION, RESTITUTION);
        if (statics.object()) {
            world->addCollisionObject(statics.object(), btBroadphaseProxy::StaticFilter,
                                      btBroadphaseProxy::AllFilter ^ btBroadphaseProxy::StaticFilter);
            staticsInWorld = true;
        }
        // Sleeping balls must notice the new ground.
        for (ActorRecord& a : actors)
            if (a.alive && a.kind == ActorKind::BALL) a.body->activate(true);
    }

    void clampSpin() {
        for (ActorRecord& a : actors) {
            if (!a.alive || a.kind != ActorKind::BALL) continue;
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

PhysicsWorld::PhysicsWorld(ErrorReporter* reporter) : impl_(std::make_unique<Impl>()) {
    Impl& w = *impl_;
    if (!reporter) {
        w.ownReporter = std::make_unique<ErrorReporter>();
        reporter = w.ownReporter.get();
    }
    w.reporter = reporter;
    installInternalEdgeCallback();
    w.configuration = std::make_unique<btDefaultCollisionConfiguration>();
    w.dispatcher = std::make_unique<btCollisionDispatcher>(w.configuration.get());
    w.broadphase = std::make_unique<btDbvtBroadphase>();
    w.solver = std::make_unique<btSequentialImpulseConstraintSolver>();
    w.world = std::make_unique<btDiscreteDynamicsWorld>(w.dispatcher.get(), w.broadphase.get(), w.solver.get(),
                                                       w.configuration.get());
    w.drawer = std::make_unique<ReportingDrawer>(*reporter);
    w.world->setDebugDrawer(w.drawer.get());
    w.world->setGravity(btVector3(0, GRAVITY_Y, 0));
    btContactSolverInfo& info = w.world->getSolverInfo();
    info.m_splitImpulse = 1;  // penetration recovery adds no velocity: no hops
    info.m_numIterations = 10;

    createPlaneActor({0, 1, 0}, 0);          // floor y = 0
    createPlaneActor({0, 0, -1}, 0);         // wall z = 0
    createPlaneActor({1, 0, 0}, 0);          // wall x = 0
    createPlaneActor({0, 0, 1}, -1000);      // wall z = -1000
    createPlaneActor({-1, 0, 0}, -1000);     // wall x = 1000
}

PhysicsWorld::~PhysicsWorld() {
    Impl& w = *impl_;
    if (w.staticsInWorld) w.world->removeCollisionObject(w.statics.object());
    for (ActorRecord& a : w.actors)
        if (a.alive && a.body) w.world->removeRigidBody(a.body.get());
}

ActorHandle PhysicsWorld::createPlaneActor(glm::vec3 normal, float distance) {
    Impl& w = *impl_;
    if (!finite(normal) || glm::length(normal) < 1e-6f || !std::isfinite(distance)) {
        w.fail(__LINE__, "createPlaneActor: the normal must be finite and non-zero, the distance finite");
        return NO_ACTOR;
    }
    // A thick slab behind the plane instead of Bullet's infinite plane: an
    // infinite plane overlaps every ball in the broad phase and costs a
    // narrow-phase test per ball and sub-step; the slab only meets balls
    // near it. Its faces reach far beyond anything a ball can reach.
    const btVector3 n = toBt(glm::normalize(normal));
    btVector3 u, v;
    btPlaneSpace1(n, u, v);
    btMatrix3x3 basis(v.x(), n.x(), u.x(), v.y(), n.y(), u.y(), v.z(), n.z(), u.z());  // local y along n, det +1
    ActorRecord a;
    a.kind = ActorKind::PLANE;
    a.shape = std::make_unique<btBoxShape>(btVector3(PLANE_REACH, PLANE_THICKNESS, PLANE_REACH));
    a.body = std::make_unique<btRigidBody>(0, nullptr, a.shape.get());
    a.body->setWorldTransform(btTransform(basis, n * (btScalar(distance) - PLANE_THICKNESS)));
    a.planeNormal = n;
    a.planeDistance = distance;
    a.body->setFriction(BODY_FRICTION);
    a.body->setRestitution(RESTITUTION);
    w.world->addRigidBody(a.body.get(), PLANE_GROUP, btBroadphaseProxy::AllFilter ^ (btBroadphaseProxy::StaticFilter | PLANE_GROUP));
    ActorHandle handle = w.add(std::move(a));
    w.planes.push_back(handle);
    return handle;
}

MeshHandle PhysicsWorld::createTriangleMesh(const float* vertices, int vertexCount, const std::int32_t* faces,
                                            int faceCount) {
    Impl& w = *impl_;
    if (vertexCount < 0 || faceCount < 0 || (vertexCount > 0 && !vertices) || (faceCount > 0 && !faces)) {
        w.fail(__LINE__, "createTriangleMesh: negative count or missing array");
        return NO_MESH;
    }
    MeshData m;
    m.vertices.assign(vertices, vertices + 3 * static_cast<std::size_t>(vertexCount));
    for (float c : m.vertices)
        if (!std::isfinite(c)) {
            w.fail(__LINE__, "createTriangleMesh: vertex coordinate not finite");
            return NO_MESH;
        }
    m.faces.assign(faces, faces + 3 * static_cast<std::size_t>(faceCount));
    for (std::size_t i = 0; i < m.faces.size(); ++i)
        if (m.faces[i] < 0 || m.faces[i] >= vertexCount) {
            std::ostringstream text;
            text << "createTriangleMesh: triangle " << i / 3 << " uses vertex " << m.faces[i] << " of "
                 << vertexCount;
            w.fail(__LINE__, text.str());
            return NO_MESH;
        }
    w.meshes.push_back(std::move(m));
    return static_cast<MeshHandle>(w.meshes.size() - 1);
}

ActorHandle PhysicsWorld::createMeshActor(MeshHandle mesh) {
    Impl& w = *impl_;
    if (mesh < 0 || mesh >= static_cast<MeshHandle>(w.meshes.size())) {
        w.fail(__LINE__, "createMeshActor: no mesh " + std::to_string(mesh));
        return NO_ACTOR;
    }
    ActorRecord a;
    a.kind = ActorKind::KLOTZ;
    a.mesh = mesh;
    w.staticsDirty = true;
    return w.add(std::move(a));
}

ActorHandle PhysicsWorld::createSphereActor(float radius, float density) {
    Impl& w = *impl_;
    if (!(radius > 0) || !std::isfinite(radius) || !(density > 0) || !std::isfinite(density)) {
        w.fail(__LINE__, "createSphereActor: radius and density must be positive and finite");
        return NO_ACTOR;
    }
    ActorRecord a;
    a.kind = ActorKind::BALL;
    a.shape = std::make_unique<btSphereShape>(radius);
    const double volume = 4.0 / 3.0 * M_PI * double(radius) * radius * radius;
    const btScalar mass = static_cast<btScalar>(density * volume * DENSITY_TO_MASS);
    btVector3 inertia;
    a.shape->calculateLocalInertia(mass, inertia);
    btRigidBody::btRigidBodyConstructionInfo info(mass, nullptr, a.shape.get(), inertia);
    info.m_friction = BODY_FRICTION;
    info.m_restitution = RESTITUTION;
    info.m_linearDamping = 0;
    info.m_angularDamping = btScalar(0.05);
    a.body = std::make_unique<btRigidBody>(info);
    // Continuous collision only for fast flights: beyond half a radius per
    // sub-step the ball is swept.
    a.body->setCcdMotionThreshold(radius * btScalar(0.5));
    a.body->setCcdSweptSphereRadius(radius * btScalar(0.9));
    w.world->addRigidBody(a.body.get());
    return w.add(std::move(a));
}

void PhysicsWorld::releaseActor(ActorHandle actor) {
    Impl& w = *impl_;
    ActorRecord* a = w.find(actor, "releaseActor", __LINE__);
    if (!a) return;
    if (a->kind == ActorKind::KLOTZ) {
        w.staticsDirty = true;
    } else {
        w.world->removeRigidBody(a->body.get());
        a->body.reset();
        a->shape.reset();
    }
    a->alive = false;
}

bool PhysicsWorld::isActor(ActorHandle actor) const {
    return actor >= 0 && actor < static_cast<ActorHandle>(impl_->actors.size()) && impl_->actors[actor].alive;
}

void PhysicsWorld::setGlobalPose(ActorHandle actor, const Pose& pose) {
    Impl& w = *impl_;
    ActorRecord* a = w.find(actor, "setGlobalPose", __LINE__);
    if (!a) return;
    bool ok = finite(pose.translation);
    for (float c : pose.rotation) ok = ok && std::isfinite(c);
    btMatrix3x3 basis(pose.rotation[0], pose.rotation[1], pose.rotation[2], pose.rotation[3], pose.rotation[4],
                      pose.rotation[5], pose.rotation[6], pose.rotation[7], pose.rotation[8]);
    // A rotation within float noise; anything else would shear the shape.
    ok = ok && (basis * basis.transpose() - btMatrix3x3::getIdentity()).getRow(0).length2() +
                       (basis * basis.transpose() - btMatrix3x3::getIdentity()).getRow(1).length2() +
                       (basis * basis.transpose() - btMatrix3x3::getIdentity()).getRow(2).length2() <
                   btScalar(1e-6) &&
         basis.determinant() > 0;
    if (!ok) {
        w.fail(__LINE__, "setGlobalPose: the pose must be finite with a rotation matrix");
        return;
    }
    btQuaternion q;
    basis.getRotation(q);
    w.transformOf(*a) = btTransform(q.normalized(), toBt(pose.translation));
    w.teleported(*a);
}

void PhysicsWorld::setGlobalPosition(ActorHandle actor, glm::vec3 position) {
    Impl& w = *impl_;
    ActorRecord* a = w.find(actor, "setGlobalPosition", __LINE__);
    if (!a) return;
    if (!finite(position)) {
        w.fail(__LINE__, "setGlobalPosition: the position must be finite");
        return;
    }
    w.transformOf(*a).setOrigin(toBt(position));
    w.teleported(*a);
}

void PhysicsWorld::setGlobalOrientationQuat(ActorHandle actor, glm::quat orientation) {
    Impl& w = *impl_;
    ActorRecord* a = w.find(actor, "setGlobalOrientationQuat", __LINE__);
    if (!a) return;
    float len = std::sqrt(orientation.x * orientation.x + orientation.y * orientation.y +
                          orientation.z * orientation.z + orientation.w * orientation.w);
    if (!std::isfinite(len) || len < 1e-6f) {
        w.fail(__LINE__, "setGlobalOrientationQuat: the quaternion must be finite and non-zero");
        return;
    }
    w.transformOf(*a).setRotation(
        btQuaternion(orientation.x / len, orientation.y / len, orientation.z / len, orientation.w / len));
    w.teleported(*a);
}

Pose PhysicsWorld::getGlobalPose(ActorHandle actor) const {
    Impl& w = *impl_;
    Pose pose;
    ActorRecord* a = w.find(actor, "getGlobalPose", __LINE__);
    if (!a) return pose;
    const btTransform& t = w.transformOf(*a);
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) pose.rotation[3 * i + j] = t.getBasis()[i][j];
    pose.translation = toGlm(t.getOrigin());
    return pose;
}

glm::vec3 PhysicsWorld::getGlobalPosition(ActorHandle actor) const {
    Impl& w = *impl_;
    ActorRecord* a = w.find(actor, "getGlobalPosition", __LINE__);
    return a ? toGlm(w.transformOf(*a).getOrigin()) : glm::vec3(0.0f);
}

glm::quat PhysicsWorld::getGlobalOrientationQuat(ActorHandle actor) const {
    Impl& w = *impl_;
    ActorRecord* a = w.find(actor, "getGlobalOrientationQuat", __LINE__);
    if (!a) return glm::quat(1, 0, 0, 0);
    btQuaternion q = w.transformOf(*a).getRotation();
    return glm::quat(q.w(), q.x(), q.y(), q.z());
}

namespace {

btRigidBody* ballBody(PhysicsWorld::Impl& w, ActorHandle actor, const char* operation, int line) {
    ActorRecord* a = w.find(actor, operation, line);
    if (!a) return nullptr;
    if (a->kind != ActorKind::BALL) {
        w.fail(line, std::string(operation) + ": actor " + std::to_string(actor) + " is static");
        return nullptr;
    }
    return a->body.get();
}

}  // namespace

void PhysicsWorld::setLinearVelocity(ActorHandle actor, glm::vec3 velocity) {
    btRigidBody* body = ballBody(*impl_, actor, "setLinearVelocity", __LINE__);
    if (!body) return;
    if (!finite(velocity)) return impl_->fail(__LINE__, "setLinearVelocity: the velocity must be finite");
    body->setLinearVelocity(toBt(velocity));
    body->activate(true);
}

void PhysicsWorld::setAngularVelocity(ActorHandle actor, glm::vec3 velocity) {
    btRigidBody* body = ballBody(*impl_, actor, "setAngularVelocity", __LINE__);
    if (!body) return;
    if (!finite(velocity)) return impl_->fail(__LINE__, "setAngularVelocity: the velocity must be finite");
    body->setAngularVelocity(toBt(velocity));
    body->activate(true);
}

glm::vec3 PhysicsWorld::getLinearVelocity(ActorHandle actor) const {
    ActorRecord* a = impl_->find(actor, "getLinearVelocity", __LINE__);
    return a && a->kind == ActorKind::BALL ? toGlm(a->body->getLinearVelocity()) : glm::vec3(0.0f);
}

glm::vec3 PhysicsWorld::getAngularVelocity(ActorHandle actor) const {
    ActorRecord* a = impl_->find(actor, "getAngularVelocity", __LINE__);
    return a && a->kind == ActorKind::BALL ? toGlm(a->body->getAngularVelocity()) : glm::vec3(0.0f);
}

void PhysicsWorld::setAngularDamping(ActorHandle actor, float damping) {
    btRigidBody* body = ballBody(*impl_, actor, "setAngularDamping", __LINE__);
    if (!body) return;
    if (!(damping >= 0) || !std::isfinite(damping))
        return impl_->fail(__LINE__, "setAngularDamping: the damping must be finite and not negative");
    body->setDamping(body->getLinearDamping(), damping);
}

void PhysicsWorld::setMaxAngularVelocity(ActorHandle actor, float maxVelocity) {
    if (!ballBody(*impl_, actor, "setMaxAngularVelocity", __LINE__)) return;
    if (!(maxVelocity > 0) || std::isnan(maxVelocity))
        return impl_->fail(__LINE__, "setMaxAngularVelocity: the limit must be positive");
    impl_->actors[actor].maxSpin = maxVelocity;
}

void PhysicsWorld::simulate(float elapsed) {
    Impl& w = *impl_;
    if (!std::isfinite(elapsed) || elapsed < 0) {
        w.fail(__LINE__, "simulate: the elapsed time must be finite and not negative");
        return;
    }
    w.carried += elapsed;
    // A microsecond of slack absorbs float rounding, so 0.015 + 0.005 makes
    // two steps rather than one and a remainder of 0.00999999.
    double whole = std::floor((w.carried + 1e-6) / STEP);
    int steps = whole > MAX_STEPS_PER_CALL ? MAX_STEPS_PER_CALL : static_cast<int>(whole);
    // Time beyond the step limit is dropped, only the part below one step
    // is carried: a long stall does not snowball into the next frames.
    w.carried = std::max(0.0, w.carried - whole * STEP);
    if (steps == 0) return;
    w.syncStatics();
    const btScalar h = btScalar(STEP / SUBSTEPS);
    for (int s = 0; s < steps; ++s) {
        for (int k = 0; k < SUBSTEPS; ++k) {
            w.world->stepSimulation(h, 0, h);
            w.clampSpin();
        }
        ++w.counts.stepsTaken;
    }
}

bool PhysicsWorld::raycastClosest(glm::vec3 origin, glm::vec3 direction, float maxDistance, RayHit* hit) const {
    Impl& w = *impl_;
    if (!finite(origin) || !finite(direction) || !std::isfinite(maxDistance) || maxDistance < 0) {
        w.fail(__LINE__, "raycastClosest: the ray must be finite");
        return false;
    }
    w.syncStatics();
    const btVector3 from = toBt(origin);
    const btVector3 to = toBt(origin + direction * maxDistance);
    ClosestRayCallback result(from, to);
    result.m_collisionFilterMask = btBroadphaseProxy::AllFilter ^ PLANE_GROUP;
    w.world->rayTest(from, to, result);
    btScalar fraction = result.hasHit() ? result.m_closestHitFraction : btScalar(2);
    btVector3 normal = result.m_hitNormalWorld;
    // The planes: solid behind, so only a ray going into one from the free
    // side (or starting on it) hits.
    for (ActorHandle p : w.planes) {
        const ActorRecord& a = w.actors[p];
        if (!a.alive) continue;
        btScalar start = a.planeNormal.dot(from) - a.planeDistance;
        btScalar end = a.planeNormal.dot(to) - a.planeDistance;
        if (start < 0 || end >= 0) continue;
        btScalar f = start / (start - end);
        if (f < fraction) {
            fraction = f;
            normal = a.planeNormal;
        }
    }
    if (fraction > 1) return false;
    if (hit) {
        hit->point = toGlm(from.lerp(to, fraction));
        hit->normal = normal.length2() > 0 ? toGlm(normal.normalized()) : glm::vec3(0.0f);
        hit->distance = fraction * maxDistance * glm::length(direction);
    }
    return true;
}

WorldStats PhysicsWorld::stats() const {
    WorldStats s;
    s.stepsTaken = impl_->counts.stepsTaken;
    for (const ActorRecord& a : impl_->actors) {
        if (!a.alive) continue;
        if (a.kind == ActorKind::BALL) {
            ++s.dynamicActors;
        } else {
            ++s.staticActors;
            if (a.kind == ActorKind::PLANE) ++s.planeActors;
        }
    }
    return s;
}

ErrorReporter& PhysicsWorld::reporter() const { return *impl_->reporter; }

}  // namespace physics
