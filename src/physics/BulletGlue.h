// Private to physics/: small adapters between Bullet and our interface.
#pragma once

#include <string>

#include <btBulletDynamicsCommon.h>

#include "physics/ErrorReporter.h"

namespace physics {

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

}  // namespace physics
