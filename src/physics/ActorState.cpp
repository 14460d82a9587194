// Teleports and velocities of actors: the getters and setters of
// PhysicsWorld, each checking its handle and values.
#include <cmath>

#include "physics/Physics.h"
#include "physics/WorldImpl.h"

namespace physics {

namespace {

constexpr const char* THIS_FILE = "ActorState.cpp";

// The transform of a pose whose rotation is a rotation matrix within float
// noise (anything else would shear the shape); false when it is not.
bool poseTransform(const Pose& pose, btTransform& transform) {
    bool ok = finite(pose.translation);
    for (float c : pose.rotation) ok = ok && std::isfinite(c);
    if (!ok) return false;
    const btMatrix3x3 basis(pose.rotation[0], pose.rotation[1], pose.rotation[2], pose.rotation[3], pose.rotation[4],
                            pose.rotation[5], pose.rotation[6], pose.rotation[7], pose.rotation[8]);
    const btMatrix3x3 error = basis * basis.transpose() - btMatrix3x3::getIdentity();
    if (error.getRow(0).length2() + error.getRow(1).length2() + error.getRow(2).length2() >= btScalar(1e-6) ||
        basis.determinant() <= 0)
        return false;
    transform = btTransform(basis, toBt(pose.translation));
    return true;
}

Pose poseOf(const btTransform& t) {
    Pose pose;
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) pose.rotation[3 * i + j] = t.getBasis()[i][j];
    pose.translation = toGlm(t.getOrigin());
    return pose;
}

}  // namespace

void PhysicsWorld::setGlobalPose(ActorHandle actor, const Pose& pose) {
    Impl& w = *impl_;
    ActorRecord* a = w.find(actor, "setGlobalPose", THIS_FILE, __LINE__);
    if (!a) return;
    btTransform t;
    if (!poseTransform(pose, t)) {
        w.fail(THIS_FILE, __LINE__, "setGlobalPose: the pose must be finite with a rotation matrix");
        return;
    }
    // Orthonormalised: a matrix read from a scene file is only nearly one.
    btQuaternion q;
    t.getBasis().getRotation(q);
    w.transformOf(*a) = btTransform(q.normalized(), t.getOrigin());
    w.teleported(*a);
}

void PhysicsWorld::setGlobalPosition(ActorHandle actor, glm::vec3 position) {
    Impl& w = *impl_;
    ActorRecord* a = w.find(actor, "setGlobalPosition", THIS_FILE, __LINE__);
    if (!a) return;
    if (!finite(position)) {
        w.fail(THIS_FILE, __LINE__, "setGlobalPosition: the position must be finite");
        return;
    }
    w.transformOf(*a).setOrigin(toBt(position));
    w.teleported(*a);
}

void PhysicsWorld::setGlobalOrientationQuat(ActorHandle actor, glm::quat orientation) {
    Impl& w = *impl_;
    ActorRecord* a = w.find(actor, "setGlobalOrientationQuat", THIS_FILE, __LINE__);
    if (!a) return;
    float len = std::sqrt(orientation.x * orientation.x + orientation.y * orientation.y +
                          orientation.z * orientation.z + orientation.w * orientation.w);
    if (!std::isfinite(len) || len < 1e-6f) {
        w.fail(THIS_FILE, __LINE__, "setGlobalOrientationQuat: the quaternion must be finite and non-zero");
        return;
    }
    w.transformOf(*a).setRotation(
        btQuaternion(orientation.x / len, orientation.y / len, orientation.z / len, orientation.w / len));
    w.teleported(*a);
}

Pose PhysicsWorld::getGlobalPose(ActorHandle actor) const {
    Impl& w = *impl_;
    ActorRecord* a = w.find(actor, "getGlobalPose", THIS_FILE, __LINE__);
    return a ? poseOf(w.transformOf(*a)) : Pose();
}

glm::vec3 PhysicsWorld::getGlobalPosition(ActorHandle actor) const {
    Impl& w = *impl_;
    ActorRecord* a = w.find(actor, "getGlobalPosition", THIS_FILE, __LINE__);
    return a ? toGlm(w.transformOf(*a).getOrigin()) : glm::vec3(0.0f);
}

glm::quat PhysicsWorld::getGlobalOrientationQuat(ActorHandle actor) const {
    Impl& w = *impl_;
    ActorRecord* a = w.find(actor, "getGlobalOrientationQuat", THIS_FILE, __LINE__);
    if (!a) return glm::quat(1, 0, 0, 0);
    btQuaternion q = w.transformOf(*a).getRotation();
    return glm::quat(q.w(), q.x(), q.y(), q.z());
}

namespace {

btRigidBody* ballBody(PhysicsWorld::Impl& w, ActorHandle actor, const char* operation, int line) {
    ActorRecord* a = w.find(actor, operation, THIS_FILE, line);
    if (!a) return nullptr;
    if (a->kind != ActorKind::BALL) {
        w.fail(THIS_FILE, line, std::string(operation) + ": actor " + std::to_string(actor) + " is static");
        return nullptr;
    }
    return a->body.get();
}

}  // namespace

void PhysicsWorld::setLinearVelocity(ActorHandle actor, glm::vec3 velocity) {
    btRigidBody* body = ballBody(*impl_, actor, "setLinearVelocity", __LINE__);
    if (!body) return;
    if (!finite(velocity)) return impl_->fail(THIS_FILE, __LINE__, "setLinearVelocity: the velocity must be finite");
    body->setLinearVelocity(toBt(velocity));
    body->activate(true);
}

void PhysicsWorld::setAngularVelocity(ActorHandle actor, glm::vec3 velocity) {
    btRigidBody* body = ballBody(*impl_, actor, "setAngularVelocity", __LINE__);
    if (!body) return;
    if (!finite(velocity)) return impl_->fail(THIS_FILE, __LINE__, "setAngularVelocity: the velocity must be finite");
    body->setAngularVelocity(toBt(velocity));
    body->activate(true);
}

glm::vec3 PhysicsWorld::getLinearVelocity(ActorHandle actor) const {
    ActorRecord* a = impl_->find(actor, "getLinearVelocity", THIS_FILE, __LINE__);
    return a && a->kind == ActorKind::BALL ? toGlm(a->body->getLinearVelocity()) : glm::vec3(0.0f);
}

glm::vec3 PhysicsWorld::getAngularVelocity(ActorHandle actor) const {
    ActorRecord* a = impl_->find(actor, "getAngularVelocity", THIS_FILE, __LINE__);
    return a && a->kind == ActorKind::BALL ? toGlm(a->body->getAngularVelocity()) : glm::vec3(0.0f);
}

void PhysicsWorld::setAngularDamping(ActorHandle actor, float damping) {
    btRigidBody* body = ballBody(*impl_, actor, "setAngularDamping", __LINE__);
    if (!body) return;
    if (!(damping >= 0) || !std::isfinite(damping))
        return impl_->fail(THIS_FILE, __LINE__, "setAngularDamping: the damping must be finite and not negative");
    body->setDamping(body->getLinearDamping(), damping);
}

BallState PhysicsWorld::getBallState(ActorHandle ball) const {
    BallState state;
    btRigidBody* body = ballBody(*impl_, ball, "getBallState", __LINE__);
    if (!body) return state;
    state.pose = poseOf(body->getWorldTransform());
    state.linearVelocity = toGlm(body->getLinearVelocity());
    state.angularVelocity = toGlm(body->getAngularVelocity());
    return state;
}

void PhysicsWorld::setBallState(ActorHandle ball, const BallState& state) {
    Impl& w = *impl_;
    btRigidBody* body = ballBody(w, ball, "setBallState", __LINE__);
    if (!body) return;
    btTransform t;
    if (!poseTransform(state.pose, t) || !finite(state.linearVelocity) || !finite(state.angularVelocity))
        return w.fail(THIS_FILE, __LINE__, "setBallState: the pose must be finite with a rotation matrix, the velocities finite");
    body->setWorldTransform(t);
    body->setLinearVelocity(toBt(state.linearVelocity));
    body->setAngularVelocity(toBt(state.angularVelocity));
    body->setInterpolationLinearVelocity(body->getLinearVelocity());
    body->setInterpolationAngularVelocity(body->getAngularVelocity());
    body->clearForces();
    w.teleported(w.at(ball));
    // Its contacts belong to where it was: their cached points and impulses
    // would pull it back for a step.
    w.forgetContacts(*body);
}

void PhysicsWorld::setMaxAngularVelocity(ActorHandle actor, float maxVelocity) {
    if (!ballBody(*impl_, actor, "setMaxAngularVelocity", __LINE__)) return;
    if (!(maxVelocity > 0) || std::isnan(maxVelocity))
        return impl_->fail(THIS_FILE, __LINE__, "setMaxAngularVelocity: the limit must be positive");
    impl_->at(actor).maxSpin = maxVelocity;
}

}  // namespace physics
