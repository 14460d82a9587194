#include "BulletBaseline.h"

#include <utility>

#include "physics/Actors.h"
#include "physics/BulletSettings.h"

namespace benchbaseline {

struct BulletBaseline::Impl {
    btDefaultCollisionConfiguration configuration;
    btCollisionDispatcher dispatcher{&configuration};
    btDbvtBroadphase broadphase;
    btSequentialImpulseConstraintSolver solver;
    btDiscreteDynamicsWorld world{&dispatcher, &broadphase, &solver, &configuration};
    std::vector<btVector3> vertices;
    std::vector<int> indices;
    std::unique_ptr<btTriangleIndexVertexArray> triangles;
    std::unique_ptr<btBvhTriangleMeshShape> mesh;
    btCollisionObject meshObject;
    std::vector<std::unique_ptr<btCollisionShape>> shapes;
    std::vector<std::unique_ptr<btRigidBody>> bodies;
};

BulletBaseline::BulletBaseline(const std::vector<float>& vertices, const std::vector<std::int32_t>& faces,
                               const std::vector<Ball>& balls)
    : impl_(std::make_unique<Impl>()) {
    Impl& b = *impl_;
    physics::configureWorld(b.world);
    for (std::size_t v = 0; v + 2 < vertices.size(); v += 3)
        b.vertices.emplace_back(vertices[v], vertices[v + 1], vertices[v + 2]);
    b.indices.assign(faces.begin(), faces.end());
    b.triangles = std::make_unique<btTriangleIndexVertexArray>(
        static_cast<int>(b.indices.size() / 3), b.indices.data(), 3 * sizeof(int),
        static_cast<int>(b.vertices.size()), &b.vertices[0][0], sizeof(btVector3));
    b.mesh = std::make_unique<btBvhTriangleMeshShape>(b.triangles.get(), true);
    b.meshObject.setCollisionShape(b.mesh.get());
    physics::addStaticObject(b.world, b.meshObject);
    const std::pair<btVector3, btScalar> planes[5] = {
        {{0, 1, 0}, 0}, {{0, 0, -1}, 0}, {{1, 0, 0}, 0}, {{0, 0, 1}, -1000}, {{-1, 0, 0}, -1000}};
    for (const auto& [normal, distance] : planes) {
        auto plane = std::make_unique<physics::HalfSpaceShape>();
        plane->place(normal, distance);
        b.bodies.push_back(physics::makePlaneBody(*plane));
        b.shapes.push_back(std::move(plane));
        physics::addPlaneBody(b.world, *b.bodies.back());
    }
    for (const Ball& f : balls) {
        auto sphere = std::make_unique<btSphereShape>(physics::BALL_RADIUS);
        b.bodies.push_back(physics::makeBallBody(*sphere, physics::BALL_DENSITY));
        b.shapes.push_back(std::move(sphere));
        btRigidBody& body = *b.bodies.back();
        body.setDamping(0, 0);
        body.setWorldTransform(btTransform(btQuaternion::getIdentity(), btVector3(f.at.x, f.at.y, f.at.z)));
        body.setLinearVelocity(btVector3(f.velocity.x, f.velocity.y, f.velocity.z));
        body.setAngularVelocity(btVector3(f.spin.x, f.spin.y, f.spin.z));
        b.world.addRigidBody(&body);
    }
    step();
}

BulletBaseline::~BulletBaseline() {
    for (auto& body : impl_->bodies) impl_->world.removeRigidBody(body.get());
    impl_->world.removeCollisionObject(&impl_->meshObject);
}

void BulletBaseline::step() {
    impl_->world.stepSimulation(btScalar(physics::STEP), 0, btScalar(physics::STEP));
}

}  // namespace benchbaseline
