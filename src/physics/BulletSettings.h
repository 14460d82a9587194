// Private to physics/: how the Bullet world, the balls and the static
// colliders are set up. The benchmark's plain-Bullet baseline uses the same
// settings, so the two measure the same simulation.
#pragma once

#include <memory>

#include <btBulletDynamicsCommon.h>

#include "physics/Physics.h"

namespace physics {

constexpr btScalar GRAVITY_Y = -400;  // units / s^2
// s, one fixed step, integrated by Bullet in one go: with the seam
// correction of StaticGeometry rolling is smooth at this step, and the
// swept test of fast balls (makeBallBody) keeps a ball dropped 20 levels
// (9 units a step, against plates 4 thick) out of the kloetze.
constexpr double STEP = FIXED_STEP;  // seconds, the world's one step length

// The material of every shape. The original tuning gives a dynamic friction
// of 0.5, a static friction of 0.00005 (so nearly no resistance before
// sliding starts) and no restitution; an anisotropic static friction of
// 0.00004 is not used. Bullet has one Coulomb coefficient per body and
// multiplies the two of a contact, so each body gets sqrt(0.5): every
// contact then has friction 0.5, enough for a steel ball to roll without
// sliding on the 45-degree slopes (needs tan(45)/3.5 = 0.29). Restitution 0
// on both sides: a ball does not bounce.
const btScalar BODY_FRICTION = btSqrt(btScalar(0.5));  // 0.7071
// A little rolling resistance on the balls. Bullet multiplies it by the
// other body's friction and caps the resisting torque impulse of a contact
// at that product per step, whatever the load, so the value is tuned for
// the 0.01 s step: a ball loses about 0.35 units/s per second on the level,
// well under 1 % of its speed along a run of straights, yet one circling in
// a goal basin comes to rest within seconds instead of rolling for ever.
constexpr btScalar BALL_ROLLING_FRICTION = btScalar(1.0);
constexpr btScalar RESTITUTION = 0;
// Bullet's resistance to spinning about a contact normal, which rolling
// resistance does not touch. Capped like rolling resistance: the product
// with a klotz's or plane's friction, 7.1, takes 1.7 rad/s a second off a
// ball's spin whatever the load, and Bullet caps that product at 10.
constexpr btScalar BALL_SPINNING_FRICTION = btScalar(10);
// So after each step (configureWorld) the friction of the contact patch
// stops a ball spinning in place on the track or a plane: a torque of this
// lever (world units) times the contact's load. On the level that takes
// g * lever / (0.4 r^2) a second off the spin, 25 rad/s for the steel ball
// of radius 8: 80 rad/s stop within 3 s, as a real ball's do, where
// Bullet's friction alone took 47 s.
constexpr btScalar SPIN_FRICTION_LEVER = btScalar(1.6);
// The patch resists only spin beyond this many times the ball's rolling
// (its speed along the surface over its radius, or its spin about the
// other axes, whichever is larger). A ball rolling along a wall or out of
// a corner turns about an axis tilted toward both normals; resisting that
// spin with this lever kept balls from rolling out of a corner from rest
// and took speed off them in every curve. Rolling is left alone.
constexpr btScalar SPIN_OVER_ROLLING = btScalar(20);
// A ball slower than this (units/s) and turning slower than this (rad/s)
// for two seconds, together with all it touches, sleeps until something
// wakes it: a settled pile stops instead of trembling in the solver.
constexpr btScalar BALL_SLEEP_SPEED = btScalar(0.8);
constexpr btScalar BALL_SLEEP_SPIN = btScalar(1.0);

// Mass unit: world units are millimetres, density is kg/m^3 and mass is in
// grams (1 kg/m^3 = 1e-6 g/mm^3), so a steel ball of radius 8 weighs 16 g.
// Taken literally (1.6e7) Bullet's single-precision solver lets the ball
// sink through meshes; as every ball has the same density, the unit changes
// no motion.
constexpr double DENSITY_TO_MASS = 1e-6;

// Gravity, solver and broad-phase settings of the one world, and the
// friction about contact normals after each step.
void configureWorld(btDiscreteDynamicsWorld& world);

// A dynamic sphere at the origin, at rest, with the balls' material and
// continuous collision for fast flights.
std::unique_ptr<btRigidBody> makeBallBody(btSphereShape& shape, btScalar density);

// Collision group of the boundary planes: ray casts meet the planes
// exactly, by their equation, not through their colliders.
constexpr int PLANE_GROUP = 64;

// The collider of a boundary plane: the whole solid half-space behind it,
// so a ball is pushed back to the free side from any depth. Bullet's plane
// has an unbounded box that overlaps every ball in the broad phase and
// costs a narrow-phase test per ball and step; for a plane along an axis
// this one's box covers only the solid side and a margin, so it meets only
// balls near or behind it.
class HalfSpaceShape : public btStaticPlaneShape {
public:
    HalfSpaceShape() : btStaticPlaneShape(btVector3(0, 1, 0), 0) {}
    // The plane normal . p = distance (unit normal) in the frame of the
    // body that carries the shape.
    void place(const btVector3& normal, btScalar distance);
    void getAabb(const btTransform& t, btVector3& aabbMin, btVector3& aabbMax) const override;
};

// A static body with the common material, and its place in the world.
std::unique_ptr<btRigidBody> makePlaneBody(HalfSpaceShape& shape);
void addPlaneBody(btDiscreteDynamicsWorld& world, btRigidBody& body);

// Adds a static collision object (the merged klotz mesh) so that it meets
// balls only and keeps its bounding box between changes.
void addStaticObject(btDiscreteDynamicsWorld& world, btCollisionObject& object);

}  // namespace physics
