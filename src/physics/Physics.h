// The physics interface of the program: one world with static planes,
// static triangle meshes and dynamic spheres, stepped in fixed 0.01 s steps.
// Bullet stays behind this header; nothing outside physics/ includes it.
// World units: one grid cell is 50 units, y points up; times in seconds.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include <glm/glm.hpp>
#include <glm/gtc/quaternion.hpp>

namespace physics {

class ErrorReporter;

// The world's fixed step, seconds.
constexpr double FIXED_STEP = 0.01;

// An actor handle names a slot and the slot's generation. A released slot is
// reused with the next generation, so a stale handle is detected and
// reported instead of touching the actor that lives there now. Handles are
// never negative.
using ActorHandle = std::int32_t;
constexpr ActorHandle NO_ACTOR = -1;

// A triangle mesh registered with the world; several actors may share one.
using MeshHandle = std::int32_t;
constexpr MeshHandle NO_MESH = -1;

// A rigid pose: rotation row-major (rotation[3 * i + j] is row i, column j)
// and translation.
struct Pose {
    std::array<float, 9> rotation{1, 0, 0, 0, 1, 0, 0, 0, 1};
    glm::vec3 translation{0.0f};
};

struct RayHit {
    glm::vec3 point{0.0f};
    glm::vec3 normal{0.0f};  // world impact normal, unit length
    float distance = 0.0f;
};

// Everything that decides how a ball moves on, for rewinding a run; the
// pose as a matrix so that it comes back bit for bit.
struct BallState {
    Pose pose;
    glm::vec3 linearVelocity{0.0f};   // units/s
    glm::vec3 angularVelocity{0.0f};  // rad/s
};

// What a ball touches: a placed klotz, another ball or a boundary plane.
enum class ContactKind { KLOTZ, BALL, PLANE };

// A ball meeting something with some speed where it did not touch it the
// step before (a landing, a knock against a wall, two balls colliding). A
// collision of two balls is reported once for each of them.
struct BallImpact {
    ActorHandle ball = NO_ACTOR;
    ActorHandle other = NO_ACTOR;  // the klotz, ball or plane hit
    ContactKind otherKind = ContactKind::KLOTZ;
    float normalSpeed = 0;  // units/s, how fast the two closed in along the normal
    // Normal impulse of the step that stopped them, in the ball mass unit
    // (see createSphereActor) times units/s.
    float impulse = 0;
    glm::vec3 position{0.0f};  // world, on the other's surface
    glm::vec3 normal{0.0f};    // unit, from the other toward the ball
    int step = 0;              // which fixed step of the simulate call, from 0
};

// A ball touching something at the end of the last step, one per pair.
struct BallTouch {
    ActorHandle ball = NO_ACTOR;
    ActorHandle other = NO_ACTOR;
    ContactKind otherKind = ContactKind::KLOTZ;
    float rollingSpeed = 0;  // units/s, the ball's speed along the surface, relative to the other
    float slipSpeed = 0;     // units/s, how fast its surface slides over the other's; 0 when it rolls
    glm::vec3 position{0.0f};  // world, on the other's surface
    glm::vec3 normal{0.0f};    // unit, from the other toward the ball
};

// What the balls met during the last simulate call that took a step:
// impacts of all its steps in step order, touches at the end of its last
// step. Handles in it may have been released since.
struct StepContacts {
    std::vector<BallImpact> impacts;
    std::vector<BallTouch> touches;
};

// A moving part of a klotz: a rigid body of its own that belongs to the
// klotz, follows its pose and goes with it. Everything is in the klotz's
// own frame, unturned; angles in radians.
enum class PartJoint {
    HINGE,   // turns about axis through pivot, between lower and upper
    SLIDER,  // slides along axis, pivot moving between lower and upper
    DRIVEN,  // carried by the klotz along path, whatever meets it
};

struct MovingPartSpec {
    MeshHandle mesh = NO_MESH;  // the part at rest, in the klotz's frame
    PartJoint joint = PartJoint::HINGE;
    glm::vec3 pivot{0.0f};
    glm::vec3 axis{0.0f, 0.0f, 1.0f};
    float lower = 0, upper = 0;
    float mass = 10;  // in the balls' mass unit: a ball weighs 16
    // A spring toward rest (torque per radian or force per unit); bistable
    // springs push toward the nearer limit instead, so the part stays where
    // it was last thrown.
    float spring = 0;
    float rest = 0;
    bool bistable = false;
    float damping = 0.5f;  // of the part's own motion, per second
    float restitution = 0;  // how much of a ball's approach it gives back
    // DRIVEN: offsets of the part from rest, travelled to the last and
    // back at speed (units/s), waiting pause seconds at either end.
    std::vector<glm::vec3> path;
    float speed = 0;
    float pause = 0;
};

// Everything that decides how a part moves on, for rewinding a run.
struct PartState {
    Pose pose;  // the body's
    glm::vec3 linearVelocity{0.0f};
    glm::vec3 angularVelocity{0.0f};
    double clock = 0;  // DRIVEN: seconds along its cycle
};

// Counters for tests and benchmarks; actors are those alive.
struct WorldStats {
    int staticActors = 0;   // planes and klotz meshes
    int dynamicActors = 0;  // balls
    int planeActors = 0;
    int movingParts = 0;  // of the live kloetze
    long long stepsTaken = 0;  // fixed 0.01 s steps since creation
};

class PhysicsWorld {
public:
    // Creates the world: gravity, material, timing and the five boundary
    // planes ("initPhysics"). The reporter receives every error report and
    // must outlive the world; nullptr prints reports to standard output.
    explicit PhysicsWorld(ErrorReporter* reporter = nullptr);
    ~PhysicsWorld();
    PhysicsWorld(const PhysicsWorld&) = delete;
    PhysicsWorld& operator=(const PhysicsWorld&) = delete;

    // Static plane: points p with normal . p = distance are the surface; the
    // side the normal points to is free. Its pose is the identity; moving it
    // moves the plane.
    ActorHandle createPlaneActor(glm::vec3 normal, float distance);

    // vertices: 3 floats per vertex; faces: 3 indices per triangle, wound
    // counter-clockwise seen from outside. The data is copied.
    MeshHandle createTriangleMesh(const float* vertices, int vertexCount, const std::int32_t* faces,
                                  int faceCount);
    // Static actor at the identity pose holding the mesh.
    ActorHandle createMeshActor(MeshHandle mesh);
    // Dynamic sphere at the origin, mass from density * volume, at rest.
    // Mass unit: world units are millimetres and density is kg/m^3, giving
    // grams (a steel ball of radius 8 weighs 16 g). A literal 1.6e7 would let
    // Bullet's single-precision solver sink balls through meshes; as all
    // balls share one density, the unit changes no motion.
    ActorHandle createSphereActor(float radius, float density);
    // The actor leaves the simulation at once.
    void releaseActor(ActorHandle actor);
    bool isActor(ActorHandle actor) const;

    // Teleports; a following get returns the new value.
    void setGlobalPose(ActorHandle actor, const Pose& pose);
    void setGlobalPosition(ActorHandle actor, glm::vec3 position);
    void setGlobalOrientationQuat(ActorHandle actor, glm::quat orientation);
    Pose getGlobalPose(ActorHandle actor) const;
    glm::vec3 getGlobalPosition(ActorHandle actor) const;
    glm::quat getGlobalOrientationQuat(ActorHandle actor) const;

    void setLinearVelocity(ActorHandle actor, glm::vec3 velocity);
    void setAngularVelocity(ActorHandle actor, glm::vec3 velocity);
    glm::vec3 getLinearVelocity(ActorHandle actor) const;
    glm::vec3 getAngularVelocity(ActorHandle actor) const;
    void setAngularDamping(ActorHandle actor, float damping);
    void setMaxAngularVelocity(ActorHandle actor, float maxVelocity);

    // Rewinding: setBallState restores a state read by getBallState exactly,
    // wakes the ball and drops the contacts it had, which the next step
    // finds anew where it now is.
    BallState getBallState(ActorHandle ball) const;
    void setBallState(ActorHandle ball, const BallState& state);

    // Advances the world by elapsed seconds in fixed 0.01 s steps, at most
    // 1000 per call; the remainder below 0.01 s is carried to the next call.
    // Afterwards every pose and velocity is that at the end of the last step.
    void simulate(float elapsed);

    // Puts the whole dynamic state into one that depends only on the actors
    // as they are now, not on the world's history: contact caches, pairs,
    // broad phase, solver, sleeping and the carried step remainder are
    // made anew, and the colliders enter in a fixed order (planes as
    // created, the kloetze's merged mesh in the order they were made, the
    // balls of ballOrder, other balls by slot). Poses, velocities and
    // handles stay. The same actors at the same poses then run the same,
    // bit for bit, whatever the world went through before.
    void restartRun(const std::vector<ActorHandle>& ballOrder);

    // Moving parts: added to a klotz at rest at its pose. Teleporting the
    // klotz puts its parts at rest there, releasing it releases them.
    // Parts meet balls only; a ball's contacts with a part are reported as
    // contacts with its klotz.
    void addMovingPart(ActorHandle klotz, const MovingPartSpec& setup);
    int movingPartCount(ActorHandle klotz) const;
    // Where part k draws its mesh: the transform of its rest frame (the
    // klotz's frame at rest) as it moved; column-major matrices.
    std::array<float, 16> movingPartMatrix(ActorHandle klotz, int part) const;
    // Every part of every klotz at rest, with clocks at 0 (restartRun does
    // this too: every run starts from the same parts).
    void resetMovingParts();
    // All parts, kloetze in the order they were made.
    std::vector<PartState> getPartStates() const;
    void setPartStates(const std::vector<PartState>& states);

    // Contact reports cost a little every step, so they are gathered only
    // while switched on (off at creation). A call of simulate that takes no
    // step leaves no impacts and keeps the touches.
    void setContactReporting(bool on);
    const StepContacts& stepContacts() const;

    // Closest hit along origin + t * direction (direction unit length) for
    // t in 0..maxDistance, against every shape.
    bool raycastClosest(glm::vec3 origin, glm::vec3 direction, float maxDistance, RayHit* hit) const;

    WorldStats stats() const;
    ErrorReporter& reporter() const;

    struct Impl;
    // The Bullet objects behind the world, for white-box tests; the type is
    // complete only inside physics/.
    Impl& implementation() const { return *impl_; }

private:
    std::unique_ptr<Impl> impl_;
};

}  // namespace physics
