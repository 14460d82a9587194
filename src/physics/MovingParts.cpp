// Moving parts of kloetze: bodies of their own on a hinge or slider at
// their klotz, or carried along a path by it. They meet balls only, so a
// part never has to collide with the track around it.
#include <algorithm>
#include <cmath>
#include <string>

#include "physics/Physics.h"
#include "physics/WorldImpl.h"

namespace physics {

namespace {

constexpr const char* THIS_FILE = "MovingParts.cpp";

// How near its limit (radians) a bistable hinge is caught there.
constexpr btScalar LATCH = btScalar(0.05);

// Collision group of the parts: they meet the balls' default group alone.
constexpr int PART_GROUP = 128;

btTransform klotzPose(const ActorRecord& klotz) { return klotz.staticPose; }

// A right-handed basis whose column k is axis (unit).
btMatrix3x3 basisWith(const btVector3& axis, int k) {
    btVector3 p, q;
    btPlaneSpace1(axis, p, q);  // q = axis x p
    if (k == 0) return btMatrix3x3(axis.x(), p.x(), q.x(), axis.y(), p.y(), q.y(), axis.z(), p.z(), q.z());
    return btMatrix3x3(p.x(), q.x(), axis.x(), p.y(), q.y(), axis.y(), p.z(), q.z(), axis.z());
}

// How far a hinged part has turned about its axis from rest, right-handed.
btScalar hingeAngle(const ActorRecord& klotz, const MovingPart& part) {
    const btTransform atRest = klotzPose(klotz) * part.rest;
    const btQuaternion turn = atRest.getRotation().inverse() * part.body->getWorldTransform().getRotation();
    const btVector3 axis = toBt(part.setup.axis).normalized();
    const btScalar along = btVector3(turn.x(), turn.y(), turn.z()).dot(axis);
    btScalar angle = 2 * std::atan2(along, turn.w());
    if (angle > SIMD_PI) angle -= SIMD_2_PI;
    if (angle < -SIMD_PI) angle += SIMD_2_PI;
    return angle;
}

// The offset of a driven part at clock seconds: to the path's end at its
// speed, a pause, back to the start, a pause.
btVector3 pathOffset(const MovingPartSpec& setup, double clock) {
    const std::vector<glm::vec3>& path = setup.path;
    if (path.empty()) return btVector3(0, 0, 0);
    double length = 0;
    for (std::size_t i = 1; i < path.size(); ++i) length += glm::length(path[i] - path[i - 1]);
    if (path.size() == 1 || !(length > 0) || !(setup.speed > 0)) return toBt(path[0]);
    const double travel = length / setup.speed;
    const double pause = std::max(0.0f, setup.pause);
    const double cycle = 2 * (travel + pause);
    double t = std::fmod(clock, cycle);
    double along;  // distance from the start
    if (t < pause)
        along = 0;
    else if (t < pause + travel)
        along = (t - pause) * setup.speed;
    else if (t < 2 * pause + travel)
        along = length;
    else
        along = length - (t - 2 * pause - travel) * setup.speed;
    for (std::size_t i = 1; i < path.size(); ++i) {
        const double piece = glm::length(path[i] - path[i - 1]);
        if (along <= piece || i + 1 == path.size()) {
            const float f = piece > 0 ? static_cast<float>(std::min(1.0, along / piece)) : 1.0f;
            return toBt(path[i - 1] + (path[i] - path[i - 1]) * f);
        }
        along -= piece;
    }
    return toBt(path.back());
}

// The body's pose for a driven part at clock seconds.
btTransform drivenPose(const ActorRecord& klotz, const MovingPart& part, double clock) {
    btTransform local = part.rest;
    local.setOrigin(local.getOrigin() + pathOffset(part.setup, clock));
    return klotzPose(klotz) * local;
}

}  // namespace

std::vector<ActorRecord*> PhysicsWorld::Impl::partOwners() {
    std::vector<ActorRecord*> owners;
    if (ownersStale) {
        for (ActorRecord& a : actors)
            if (a.alive && a.kind == ActorKind::KLOTZ && !a.parts.empty()) owners.push_back(&a);
        std::sort(owners.begin(), owners.end(), [](const ActorRecord* a, const ActorRecord* b) { return a->made < b->made; });
        ownerSlots.clear();
        for (const ActorRecord* a : owners) ownerSlots.push_back(a->slot);
        ownersStale = false;
        return owners;
    }
    owners.reserve(ownerSlots.size());
    for (int slot : ownerSlots) owners.push_back(&actors[slot]);
    return owners;
}

void PhysicsWorld::Impl::partsAtRest(ActorRecord& klotz) {
    // Bodies and joints made anew: a joint holds its part where it was made.
    removePartBodies(klotz);
    for (MovingPart& part : klotz.parts) part.clock = 0;
    addPartBodies(klotz);
}

void PhysicsWorld::Impl::removePartBodies(ActorRecord& klotz) {
    for (MovingPart& part : klotz.parts) {
        if (part.joint) world->removeConstraint(part.joint.get());
        part.joint.reset();
        if (part.body && part.body->getBroadphaseHandle()) world->removeRigidBody(part.body.get());
    }
}

void PhysicsWorld::Impl::addPartBodies(ActorRecord& klotz) {
    for (MovingPart& part : klotz.parts) {
        const MovingPartSpec& setup = part.setup;
        const bool driven = setup.joint == PartJoint::DRIVEN;
        const btTransform atRest = driven ? drivenPose(klotz, part, 0) : klotzPose(klotz) * part.rest;
        btRigidBody::btRigidBodyConstructionInfo info(driven ? 0 : setup.mass, nullptr, part.shape.get(),
                                                      driven ? btVector3(0, 0, 0) : part.inertia);
        info.m_friction = BODY_FRICTION;
        info.m_restitution = setup.restitution;
        info.m_linearDamping = driven ? 0 : setup.damping;
        info.m_angularDamping = driven ? 0 : setup.damping;
        part.body = std::make_unique<btRigidBody>(info);
        part.body->setWorldTransform(atRest);
        part.body->setInterpolationWorldTransform(atRest);
        if (driven) part.body->setCollisionFlags(part.body->getCollisionFlags() | btCollisionObject::CF_KINEMATIC_OBJECT);
        part.body->setActivationState(DISABLE_DEACTIVATION);
        part.body->setUserIndex(klotz.handle());  // its contacts are its klotz's
        world->addRigidBody(part.body.get(), PART_GROUP, btBroadphaseProxy::DefaultFilter);

        const btVector3 axis = toBt(setup.axis).normalized();  // the body's frame is the klotz's, unturned
        btRigidBody& fixed = btTypedConstraint::getFixedBody();
        if (setup.joint == PartJoint::HINGE) {
            // A hinge turns about its frames' z axis.
            const btTransform inBody(basisWith(axis, 2), btVector3(0, 0, 0));
            auto hinge = std::make_unique<btHingeConstraint>(fixed, *part.body, atRest * inBody, inBody);
            // Bullet counts the fixed frame's turn against the part's: the
            // limits mirrored.
            hinge->setLimit(-setup.upper, -setup.lower, btScalar(1), btScalar(0.3), btScalar(1));
            part.joint = std::move(hinge);
        } else if (setup.joint == PartJoint::SLIDER) {
            // A slider slides along its frames' x axis.
            const btTransform inBody(basisWith(axis, 0), btVector3(0, 0, 0));
            auto slider = std::make_unique<btSliderConstraint>(fixed, *part.body, atRest * inBody, inBody, true);
            slider->setLowerLinLimit(setup.lower);
            slider->setUpperLinLimit(setup.upper);
            slider->setLowerAngLimit(0);
            slider->setUpperAngLimit(0);
            part.joint = std::move(slider);
        }
        if (part.joint) world->addConstraint(part.joint.get(), true);
    }
}

void PhysicsWorld::Impl::driveParts() {
    for (ActorRecord* klotz : partOwners()) {
        for (MovingPart& part : klotz->parts) {
            const MovingPartSpec& setup = part.setup;
            btRigidBody& body = *part.body;
            if (setup.joint == PartJoint::DRIVEN) {
                // Bullet takes a kinematic body's velocity from the pose it
                // is given for the end of the step.
                part.clock += STEP;
                body.setWorldTransform(drivenPose(*klotz, part, part.clock));
                continue;
            }
            if (setup.spring == 0 || !part.joint) continue;
            btRigidBody& fixed = btTypedConstraint::getFixedBody();
            if (setup.joint == PartJoint::HINGE) {
                auto& hinge = static_cast<btHingeConstraint&>(*part.joint);
                const btScalar angle = hingeAngle(*klotz, part);
                const btScalar target = setup.bistable ? (angle < (setup.lower + setup.upper) / 2 ? setup.lower : setup.upper)
                                                      : setup.rest;
                const btVector3 axis = hinge.getAFrame().getBasis().getColumn(2);
                body.applyTorque(axis * (setup.spring * (target - angle)));
                if (setup.bistable) {
                    // Thrown against a limit it stays there, as a real latch
                    // does, rather than bouncing back over the middle.
                    const btScalar spin = body.getAngularVelocity().dot(axis);
                    if ((angle <= setup.lower + LATCH && spin < 0) || (angle >= setup.upper - LATCH && spin > 0))
                        body.setAngularVelocity(body.getAngularVelocity() - axis * spin);
                }
            } else {
                auto& slider = static_cast<btSliderConstraint&>(*part.joint);
                slider.calculateTransforms(fixed.getWorldTransform(), body.getWorldTransform());
                const btScalar position = slider.getLinearPos();
                const btScalar target = setup.bistable ? (position < (setup.lower + setup.upper) / 2 ? setup.lower : setup.upper)
                                                      : setup.rest;
                const btVector3 axis = slider.getCalculatedTransformA().getBasis().getColumn(0);
                body.applyCentralForce(axis * (setup.spring * (target - position)));
            }
        }
    }
}

void PhysicsWorld::addMovingPart(ActorHandle klotz, const MovingPartSpec& setup) {
    Impl& w = *impl_;
    ActorRecord* a = w.find(klotz, "addMovingPart", THIS_FILE, __LINE__);
    if (!a) return;
    if (a->kind != ActorKind::KLOTZ) return w.fail(THIS_FILE, __LINE__, "addMovingPart: actor " + std::to_string(klotz) + " is no klotz");
    if (setup.mesh < 0 || setup.mesh >= static_cast<MeshHandle>(w.meshes.size()))
        return w.fail(THIS_FILE, __LINE__, "addMovingPart: no mesh " + std::to_string(setup.mesh));
    const bool driven = setup.joint == PartJoint::DRIVEN;
    bool ok = finite(setup.pivot) && finite(setup.axis) && std::isfinite(setup.lower) && std::isfinite(setup.upper) &&
              std::isfinite(setup.spring) && std::isfinite(setup.rest) && std::isfinite(setup.restitution) &&
              std::isfinite(setup.speed) && std::isfinite(setup.pause) && std::isfinite(setup.damping) &&
              setup.lower <= setup.upper && setup.restitution >= 0 && setup.restitution <= 1 && setup.damping >= 0 &&
              setup.damping <= 1 && (driven || (setup.mass > 0 && std::isfinite(setup.mass) && glm::length(setup.axis) > 1e-6f));
    for (const glm::vec3& p : setup.path) ok = ok && finite(p);
    if (!ok) return w.fail(THIS_FILE, __LINE__, "addMovingPart: the part's numbers are out of range");

    MovingPart part;
    part.setup = setup;
    part.rest = btTransform(btMatrix3x3::getIdentity(), toBt(setup.pivot));
    const MeshData& mesh = w.meshes[setup.mesh];
    part.vertices.assign(mesh.vertices.begin(), mesh.vertices.end());
    for (std::size_t i = 0; i < part.vertices.size(); ++i) part.vertices[i] -= setup.pivot[static_cast<int>(i % 3)];
    part.indices.assign(mesh.faces.begin(), mesh.faces.end());
    if (part.indices.empty()) return w.fail(THIS_FILE, __LINE__, "addMovingPart: the part's mesh has no triangles");
    // Each separate piece of the mesh collides as its convex hull: a
    // sphere meets a hull in one test, where a triangle mesh costs one per
    // triangle near it.
    const int vertexCount = static_cast<int>(part.vertices.size() / 3);
    std::vector<int> root(static_cast<std::size_t>(vertexCount));
    for (int v = 0; v < vertexCount; ++v) root[v] = v;
    const auto find = [&](int v) {
        while (root[v] != v) v = root[v] = root[root[v]];
        return v;
    };
    for (std::size_t f = 0; f + 2 < part.indices.size(); f += 3)
        for (int k = 1; k < 3; ++k) root[find(part.indices[f + k])] = find(part.indices[f]);
    std::vector<std::vector<int>> pieces;
    std::vector<int> pieceOf(static_cast<std::size_t>(vertexCount), -1);
    for (int index : part.indices) {
        const int r = find(index);
        if (pieceOf[r] < 0) {
            pieceOf[r] = static_cast<int>(pieces.size());
            pieces.emplace_back();
        }
        std::vector<int>& piece = pieces[pieceOf[r]];
        if (std::find(piece.begin(), piece.end(), index) == piece.end()) piece.push_back(index);
    }
    auto compound = std::make_unique<btCompoundShape>();
    for (const std::vector<int>& piece : pieces) {
        auto hull = std::make_unique<btConvexHullShape>();
        for (int v : piece)
            hull->addPoint(btVector3(part.vertices[3 * v], part.vertices[3 * v + 1], part.vertices[3 * v + 2]), false);
        hull->recalcLocalAabb();
        hull->setMargin(0);
        compound->addChildShape(btTransform::getIdentity(), hull.get());
        part.hulls.push_back(std::move(hull));
    }
    // Bullet has no inertia for a moving triangle mesh: that of its box.
    btVector3 low, high;
    compound->getAabb(btTransform::getIdentity(), low, high);
    const btVector3 size = high - low;
    const btScalar m = setup.mass / 12;
    part.inertia = btVector3(m * (size.y() * size.y() + size.z() * size.z()),
                             m * (size.x() * size.x() + size.z() * size.z()),
                             m * (size.x() * size.x() + size.y() * size.y()));
    part.shape = std::move(compound);
    a->parts.push_back(std::move(part));
    ++w.counts.movingParts;
    w.ownersStale = true;
    w.partsAtRest(*a);
    w.wakeBalls();
}

int PhysicsWorld::movingPartCount(ActorHandle klotz) const {
    const ActorRecord* a = impl_->live(klotz);
    return a ? static_cast<int>(a->parts.size()) : 0;
}

std::array<float, 16> PhysicsWorld::movingPartMatrix(ActorHandle klotz, int part) const {
    std::array<float, 16> m{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    const ActorRecord* a = impl_->live(klotz);
    if (!a || part < 0 || part >= static_cast<int>(a->parts.size())) return m;
    const MovingPart& p = a->parts[part];
    // The mesh is in the klotz's frame; the body's origin is the pivot.
    const btTransform t = p.body->getWorldTransform() * p.rest.inverse();
    t.getOpenGLMatrix(m.data());
    return m;
}

void PhysicsWorld::resetMovingParts() {
    for (ActorRecord* klotz : impl_->partOwners()) impl_->partsAtRest(*klotz);
}

std::vector<PartState> PhysicsWorld::getPartStates() const {
    std::vector<PartState> states;
    for (ActorRecord* klotz : impl_->partOwners())
        for (const MovingPart& part : klotz->parts) {
            PartState s;
            const btTransform& t = part.body->getWorldTransform();
            for (int i = 0; i < 3; ++i)
                for (int j = 0; j < 3; ++j) s.pose.rotation[3 * i + j] = t.getBasis()[i][j];
            s.pose.translation = toGlm(t.getOrigin());
            s.linearVelocity = toGlm(part.body->getLinearVelocity());
            s.angularVelocity = toGlm(part.body->getAngularVelocity());
            s.clock = part.clock;
            states.push_back(s);
        }
    return states;
}

void PhysicsWorld::setPartStates(const std::vector<PartState>& states) {
    Impl& w = *impl_;
    std::size_t next = 0;
    for (ActorRecord* klotz : w.partOwners()) {
        for (MovingPart& part : klotz->parts) {
            if (next >= states.size()) return w.fail(THIS_FILE, __LINE__, "setPartStates: fewer states than parts");
            const PartState& s = states[next++];
            const std::array<float, 9>& r = s.pose.rotation;
            const btTransform t(btMatrix3x3(r[0], r[1], r[2], r[3], r[4], r[5], r[6], r[7], r[8]), toBt(s.pose.translation));
            btRigidBody& body = *part.body;
            body.setWorldTransform(t);
            body.setInterpolationWorldTransform(t);
            body.setLinearVelocity(toBt(s.linearVelocity));
            body.setAngularVelocity(toBt(s.angularVelocity));
            body.setInterpolationLinearVelocity(toBt(s.linearVelocity));
            body.setInterpolationAngularVelocity(toBt(s.angularVelocity));
            part.clock = s.clock;
            if (body.getBroadphaseHandle()) w.forgetContacts(body);
        }
    }
    if (next != states.size()) w.fail(THIS_FILE, __LINE__, "setPartStates: more states than parts");
}

}  // namespace physics
