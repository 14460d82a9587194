// The world: creation, actors coming and going, stepping and ray casts.
#include <algorithm>
#include <cmath>
#include <sstream>

#include "physics/Physics.h"
#include "physics/WorldImpl.h"

namespace physics {

namespace {

constexpr int MAX_STEPS_PER_CALL = 1000;

constexpr const char* THIS_FILE = "PhysicsWorld.cpp";

}  // namespace

PhysicsWorld::PhysicsWorld(ErrorReporter* reporter) : impl_(std::make_unique<Impl>()) {
    Impl& w = *impl_;
    if (!reporter) {
        w.ownReporter = std::make_unique<ErrorReporter>();
        reporter = w.ownReporter.get();
    }
    w.reporter = reporter;
    w.drawer = std::make_unique<ReportingDrawer>(*reporter);
    w.makeWorld();

    createPlaneActor({0, 1, 0}, 0);          // floor y = 0
    createPlaneActor({0, 0, -1}, 0);         // wall z = 0
    createPlaneActor({1, 0, 0}, 0);          // wall x = 0
    createPlaneActor({0, 0, 1}, -1000);      // wall z = -1000
    createPlaneActor({-1, 0, 0}, -1000);     // wall x = 1000
}

PhysicsWorld::~PhysicsWorld() { impl_->dropWorld(); }

ActorHandle PhysicsWorld::Impl::add(ActorRecord record) {
    int slot;
    if (!freeSlots.empty()) {
        slot = freeSlots.back();
        freeSlots.pop_back();
    } else if (actors.size() <= static_cast<std::size_t>(SLOT_MASK)) {
        slot = static_cast<int>(actors.size());
        actors.emplace_back();
    } else {
        fail(THIS_FILE, __LINE__, "too many actors: release some before making more");
        return NO_ACTOR;
    }
    record.slot = slot;
    record.generation = actors[slot].generation;
    record.alive = true;
    record.made = madeCount++;
    const ActorHandle handle = record.handle();
    if (record.body) record.body->setUserIndex(handle);  // for contact reports
    if (record.kind == ActorKind::BALL) {
        ++counts.dynamicActors;
    } else {
        ++counts.staticActors;
        if (record.kind == ActorKind::PLANE) ++counts.planeActors;
    }
    actors[slot] = std::move(record);
    return handle;
}

void PhysicsWorld::Impl::remove(ActorRecord& a) {
    if (a.kind == ActorKind::BALL) {
        --counts.dynamicActors;
    } else {
        --counts.staticActors;
        if (a.kind == ActorKind::PLANE) --counts.planeActors;
    }
    const int slot = a.slot;
    const std::uint32_t next = (a.generation + 1) % GENERATIONS;
    a = ActorRecord();  // frees the body, shape and contact lists now
    a.slot = slot;
    a.generation = next;
    freeSlots.push_back(slot);
}

ActorHandle PhysicsWorld::createPlaneActor(glm::vec3 normal, float distance) {
    Impl& w = *impl_;
    if (!finite(normal) || glm::length(normal) < 1e-6f || !std::isfinite(distance)) {
        w.fail(THIS_FILE, __LINE__, "createPlaneActor: the normal must be finite and non-zero, the distance finite");
        return NO_ACTOR;
    }
    ActorRecord a;
    a.kind = ActorKind::PLANE;
    auto shape = std::make_unique<HalfSpaceShape>();
    a.body = makePlaneBody(*shape);
    a.shape = std::move(shape);
    a.planeNormal = toBt(glm::normalize(normal));
    a.planeDistance = distance;
    w.placePlane(a);
    const ActorHandle handle = w.add(std::move(a));
    if (handle == NO_ACTOR) return NO_ACTOR;
    addPlaneBody(*w.world, *w.at(handle).body);
    w.planes.push_back(handle);
    w.rayPlanesStale = true;
    return handle;
}

MeshHandle PhysicsWorld::createTriangleMesh(const float* vertices, int vertexCount, const std::int32_t* faces,
                                            int faceCount) {
    Impl& w = *impl_;
    if (vertexCount < 0 || faceCount < 0 || (vertexCount > 0 && !vertices) || (faceCount > 0 && !faces)) {
        w.fail(THIS_FILE, __LINE__, "createTriangleMesh: negative count or missing array");
        return NO_MESH;
    }
    MeshData m;
    m.vertices.assign(vertices, vertices + 3 * static_cast<std::size_t>(vertexCount));
    for (float c : m.vertices)
        if (!std::isfinite(c)) {
            w.fail(THIS_FILE, __LINE__, "createTriangleMesh: vertex coordinate not finite");
            return NO_MESH;
        }
    m.faces.assign(faces, faces + 3 * static_cast<std::size_t>(faceCount));
    for (std::size_t i = 0; i < m.faces.size(); ++i)
        if (m.faces[i] < 0 || m.faces[i] >= vertexCount) {
            std::ostringstream text;
            text << "createTriangleMesh: triangle " << i / 3 << " uses vertex " << m.faces[i] << " of "
                 << vertexCount;
            w.fail(THIS_FILE, __LINE__, text.str());
            return NO_MESH;
        }
    w.meshes.push_back(std::move(m));
    return static_cast<MeshHandle>(w.meshes.size() - 1);
}

ActorHandle PhysicsWorld::createMeshActor(MeshHandle mesh) {
    Impl& w = *impl_;
    if (mesh < 0 || mesh >= static_cast<MeshHandle>(w.meshes.size())) {
        w.fail(THIS_FILE, __LINE__, "createMeshActor: no mesh " + std::to_string(mesh));
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
        w.fail(THIS_FILE, __LINE__, "createSphereActor: radius and density must be positive and finite");
        return NO_ACTOR;
    }
    ActorRecord a;
    a.kind = ActorKind::BALL;
    auto sphere = std::make_unique<btSphereShape>(radius);
    a.body = makeBallBody(*sphere, density);
    a.shape = std::move(sphere);
    a.density = density;
    a.contacts.makeRoom();
    const ActorHandle handle = w.add(std::move(a));
    if (handle == NO_ACTOR) return NO_ACTOR;
    w.world->addRigidBody(w.at(handle).body.get());
    w.balls.push_back(handle);
    w.ballGridStale = true;
    return handle;
}

void PhysicsWorld::releaseActor(ActorHandle actor) {
    Impl& w = *impl_;
    ActorRecord* a = w.find(actor, "releaseActor", THIS_FILE, __LINE__);
    if (!a) return;
    if (a->kind == ActorKind::KLOTZ) {
        w.staticsDirty = true;
        w.removePartBodies(*a);
        w.counts.movingParts -= static_cast<int>(a->parts.size());
        if (!a->parts.empty()) w.ownersStale = true;
    } else {
        if (a->kind == ActorKind::PLANE) {
            w.planes.erase(std::find(w.planes.begin(), w.planes.end(), actor));
            w.rayPlanesStale = true;
        }
        if (a->kind == ActorKind::BALL) {
            w.balls.erase(std::find(w.balls.begin(), w.balls.end(), actor));
            w.ballGridStale = true;
        }
        w.world->removeRigidBody(a->body.get());
    }
    w.remove(*a);
}

bool PhysicsWorld::isActor(ActorHandle actor) const { return impl_->live(actor) != nullptr; }

void PhysicsWorld::simulate(float elapsed) {
    Impl& w = *impl_;
    if (!std::isfinite(elapsed) || elapsed < 0) {
        w.fail(THIS_FILE, __LINE__, "simulate: the elapsed time must be finite and not negative");
        return;
    }
    w.carried += elapsed;
    // A microsecond of slack absorbs float rounding, so 0.015 + 0.005 makes
    // two steps rather than one and a remainder of 0.00999999.
    double whole = std::floor((w.carried + 1e-6) / STEP);
    int steps = whole > MAX_STEPS_PER_CALL ? MAX_STEPS_PER_CALL : static_cast<int>(whole);
    // Time beyond the step limit is dropped, only the part below one step
    // is carried: a long stall does not snowball into the next frames.
    w.carried -= whole * STEP;
    if (!(w.carried >= 0 && w.carried < STEP)) w.carried = 0;  // rounding of huge times
    w.contactReport.impacts.clear();
    if (steps == 0) return;
    w.syncStatics();
    w.ballGridStale = true;
    const btScalar h = btScalar(STEP);
    for (int s = 0; s < steps; ++s) {
        if (w.reportContacts) w.rememberVelocities();
        if (w.counts.movingParts > 0) w.driveParts();
        w.world->stepSimulation(h, 0, h);
        w.clampSpin();
        if (w.reportContacts) w.gatherContacts(s, s + 1 == steps);
        ++w.counts.stepsTaken;
    }
}

void PhysicsWorld::setContactReporting(bool on) {
    Impl& w = *impl_;
    w.reportContacts = on;
    w.contactReport = StepContacts();
    for (ActorHandle b : w.balls) w.at(b).contacts.clear();
}

const StepContacts& PhysicsWorld::stepContacts() const { return impl_->contactReport; }

bool PhysicsWorld::raycastClosest(glm::vec3 origin, glm::vec3 direction, float maxDistance, RayHit* hit) const {
    Impl& w = *impl_;
    if (!finite(origin) || !finite(direction) || !std::isfinite(maxDistance) || maxDistance < 0) {
        w.fail(THIS_FILE, __LINE__, "raycastClosest: the ray must be finite");
        return false;
    }
    w.syncStatics();
    w.syncBallGrid();
    w.syncRayPlanes();
    const btVector3 from = toBt(origin);
    const btVector3 to = toBt(origin + direction * maxDistance);
    ClosestHit closest;
    w.ballGrid.cast(from, to, closest);
    w.statics.raycast(from, to, closest);
    castPlanes(w.rayPlanes, from, to, closest);
    if (!(closest.fraction < 1)) return false;
    if (hit) {
        hit->point = toGlm(from.lerp(to, closest.fraction));
        hit->normal = closest.normal.length2() > 0 ? toGlm(closest.normal.normalized()) : glm::vec3(0.0f);
        hit->distance = closest.fraction * maxDistance * glm::length(direction);
    }
    return true;
}

WorldStats PhysicsWorld::stats() const { return impl_->counts; }

ErrorReporter& PhysicsWorld::reporter() const { return *impl_->reporter; }

}  // namespace physics
