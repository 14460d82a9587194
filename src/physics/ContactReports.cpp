// Contact reports: after each step, the manifolds of every ball are read
// into impacts (contacts that are new and closing in) and, after the last
// step of a call, touches. The merged klotz mesh is one Bullet object; the
// triangle of a contact tells which placed klotz was met.
#include <algorithm>
#include <utility>

#include "physics/ContactReports.h"
#include "physics/WorldImpl.h"

namespace physics {

namespace {

// Closing speed (units/s) from which a new contact counts as an impact: a
// ball rolling over the seam from one klotz to the next meets the next one
// at nearly none.
constexpr btScalar IMPACT_SPEED = 2;
// Contacts whose normals differ by less (about 25 degrees) lie on the same
// surface: a ball rolling round a bend keeps touching the same wall.
constexpr btScalar SAME_SURFACE_COS = btScalar(0.9);

bool sameSurface(const SeenContact& a, const SeenContact& b) {
    return a.other == b.other && a.kind == b.kind && a.normal.dot(b.normal) > SAME_SURFACE_COS;
}

// The velocity of a ball's surface point at centre + offset.
btVector3 surfaceVelocity(const btRigidBody& body, const btVector3& offset) {
    return body.getLinearVelocity() + body.getAngularVelocity().cross(offset);
}

}  // namespace

void PhysicsWorld::Impl::rememberVelocities() {
    for (ActorHandle b : balls) at(b).contacts.velocityBefore = at(b).body->getLinearVelocity();
}

void PhysicsWorld::Impl::gatherContacts(int step, bool lastStep) {
    // The live ball behind a collision object, or nullptr.
    auto ballOf = [this](const btCollisionObject* object) -> ActorRecord* {
        ActorRecord* a = live(object->getUserIndex());
        return a && a->kind == ActorKind::BALL ? a : nullptr;
    };
    for (ActorHandle b : balls) at(b).contacts.now.clear();
    const int manifolds = dispatcher->getNumManifolds();
    for (int i = 0; i < manifolds; ++i) {
        const btPersistentManifold& m = *dispatcher->getManifoldByIndexInternal(i);
        if (m.getNumContacts() == 0) continue;
        const btCollisionObject* bodies[2] = {m.getBody0(), m.getBody1()};
        for (int side = 0; side < 2; ++side) {
            ActorRecord* ball = ballOf(bodies[side]);
            if (!ball) continue;
            const btCollisionObject* other = bodies[1 - side];
            const ActorRecord* otherBall = ballOf(other);
            const bool mesh = other == statics.object();
            btVector3 closing = ball->contacts.velocityBefore;
            if (otherBall) closing -= otherBall->contacts.velocityBefore;
            for (int k = 0; k < m.getNumContacts(); ++k) {
                const btManifoldPoint& p = m.getContactPoint(k);
                SeenContact c;
                if (mesh) {
                    c.other = statics.ownerOf(side == 0 ? p.m_index1 : p.m_index0);
                    c.kind = ContactKind::KLOTZ;
                } else {
                    c.other = other->getUserIndex();
                    const ActorRecord* owner = live(c.other);
                    // A moving part's contacts are its klotz's.
                    c.kind = otherBall ? ContactKind::BALL
                                       : owner && owner->kind == ActorKind::KLOTZ ? ContactKind::KLOTZ : ContactKind::PLANE;
                }
                c.normal = side == 0 ? p.m_normalWorldOnB : -p.m_normalWorldOnB;
                c.position = side == 0 ? p.getPositionWorldOnB() : p.getPositionWorldOnA();
                c.distance = p.getDistance();
                const btScalar speed = -closing.dot(c.normal);
                std::vector<SeenContact>& now = ball->contacts.now;
                auto same = std::find_if(now.begin(), now.end(), [&](const SeenContact& s) { return sameSurface(s, c); });
                if (same != now.end()) {
                    // Another point of the same contact: one impact, all its impulse.
                    if (same->impact >= 0) contactReport.impacts[same->impact].impulse += p.getAppliedImpulse();
                    if (c.distance < same->distance) *same = SeenContact{c.other, c.kind, c.normal, c.position, c.distance, same->impact};
                    continue;
                }
                const std::vector<SeenContact>& before = ball->contacts.before;
                const bool known = std::any_of(before.begin(), before.end(), [&](const SeenContact& s) { return sameSurface(s, c); });
                // Closing in fast enough to meet within this step.
                if (!known && speed > IMPACT_SPEED && speed * btScalar(STEP) >= c.distance) {
                    c.impact = static_cast<int>(contactReport.impacts.size());
                    BallImpact impact;
                    impact.ball = bodies[side]->getUserIndex();
                    impact.other = c.other;
                    impact.otherKind = c.kind;
                    impact.normalSpeed = speed;
                    impact.impulse = p.getAppliedImpulse();
                    impact.position = toGlm(c.position);
                    impact.normal = toGlm(c.normal);
                    impact.step = step;
                    contactReport.impacts.push_back(impact);
                }
                now.push_back(c);
            }
        }
    }
    for (ActorHandle b : balls) std::swap(at(b).contacts.before, at(b).contacts.now);
    if (!lastStep) return;

    contactReport.touches.clear();
    std::vector<btScalar>& depth = touchDepth;  // of each touch's contact
    depth.clear();
    for (ActorHandle b : balls) {
        const btRigidBody& body = *at(b).body;
        const btScalar radius = static_cast<const btSphereShape*>(body.getCollisionShape())->getRadius();
        const std::size_t first = contactReport.touches.size();
        for (const SeenContact& c : at(b).contacts.before) {
            // One touch per pair, from the deepest of the surfaces met.
            std::size_t t = first;
            while (t < contactReport.touches.size() &&
                   !(contactReport.touches[t].other == c.other && contactReport.touches[t].otherKind == c.kind))
                ++t;
            if (t == contactReport.touches.size()) {
                contactReport.touches.emplace_back();
                depth.push_back(c.distance);
            } else if (c.distance >= depth[t]) {
                continue;
            }
            depth[t] = c.distance;
            BallTouch& touch = contactReport.touches[t];
            touch.ball = b;
            touch.other = c.other;
            touch.otherKind = c.kind;
            btVector3 relative = body.getLinearVelocity();
            btVector3 slip = surfaceVelocity(body, -c.normal * radius);
            if (c.kind == ContactKind::BALL) {
                const btRigidBody& other = *at(c.other).body;
                const btScalar otherRadius = static_cast<const btSphereShape*>(other.getCollisionShape())->getRadius();
                relative -= other.getLinearVelocity();
                slip -= surfaceVelocity(other, c.normal * otherRadius);
            }
            touch.rollingSpeed = (relative - c.normal * relative.dot(c.normal)).length();
            touch.slipSpeed = (slip - c.normal * slip.dot(c.normal)).length();
            touch.position = toGlm(c.position);
            touch.normal = toGlm(c.normal);
        }
    }
}

}  // namespace physics
