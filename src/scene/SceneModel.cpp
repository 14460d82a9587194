#include "scene/SceneModel.h"

#include <algorithm>
#include <sstream>

#include "physics/Actors.h"

namespace scene {

glm::vec3 levelCentre(int row, int column, int k) {
    return {row * CELL_SIZE + HALF_CELL, k * CELL_SIZE + HALF_CELL, -HALF_CELL - column * CELL_SIZE};
}

int SceneModel::appendPlaced(int type, int displayList, physics::ActorHandle actor, const PoseMatrix& pose) {
    placedTypes_.push_back(type);
    placedDisplayLists_.push_back(displayList);
    placedActors_.push_back(actor);
    placedPoses_.push_back(pose);
    return placedCount() - 1;
}

physics::ActorHandle SceneModel::erasePlaced(int i) {
    const physics::ActorHandle actor = placedActors_[i];
    placedTypes_.erase(placedTypes_.begin() + i);
    placedDisplayLists_.erase(placedDisplayLists_.begin() + i);
    placedActors_.erase(placedActors_.begin() + i);
    placedPoses_.erase(placedPoses_.begin() + i);
    for (std::vector<int>& stack : cellStack_) {
        stack.erase(std::remove(stack.begin(), stack.end(), i), stack.end());
        for (int& entry : stack)
            if (entry > i) --entry;
    }
    return actor;
}

int SceneModel::addBallStart(int row, int column, physics::ActorHandle ball) {
    ballStarts_.push_back({row, column});
    ballActors_.push_back(ball);
    cellBallStart_[cellIndex(row, column)] = ballCount() - 1;
    return ballCount() - 1;
}

physics::ActorHandle SceneModel::eraseBallStart(int i) {
    const physics::ActorHandle ball = ballActors_[i];
    cellBallStart_[cellIndex(ballStarts_[i].row, ballStarts_[i].column)] = -1;
    ballActors_.erase(ballActors_.begin() + i);
    ballStarts_.erase(ballStarts_.begin() + i);
    for (int& b : cellBallStart_)
        if (b > i) --b;
    return ball;
}

int SceneModel::popStack(int cell) {
    const int i = cellStack_[cell].back();
    cellStack_[cell].pop_back();
    return i;
}

physics::ActorHandle SceneModel::dropOldestShotBall() {
    const physics::ActorHandle ball = shotBalls_.front();
    shotBalls_.erase(shotBalls_.begin());
    return ball;
}

std::vector<physics::ActorHandle> SceneModel::takeShotBalls() {
    std::vector<physics::ActorHandle> balls;
    balls.swap(shotBalls_);
    return balls;
}

namespace {

physics::MeshHandle meshOf(const klotz::Mesh& mesh, physics::PhysicsWorld& world) {
    // Never hand the world more than the arrays hold.
    const int vertexCount = std::min(mesh.vertexCount, static_cast<int>(mesh.vertices.size() / 3));
    const int faceCount = std::min(mesh.faceCount, static_cast<int>(mesh.faces.size() / 3));
    return world.createTriangleMesh(mesh.vertices.data(), vertexCount, mesh.faces.data(), faceCount);
}

physics::MovingPartSpec partSpec(const klotz::PartDecl& d, physics::MeshHandle mesh) {
    physics::MovingPartSpec s;
    s.mesh = mesh;
    s.joint = d.joint == klotz::PartJoint::HINGE    ? physics::PartJoint::HINGE
              : d.joint == klotz::PartJoint::SLIDER ? physics::PartJoint::SLIDER
                                                    : physics::PartJoint::DRIVEN;
    s.pivot = {d.pivot[0], d.pivot[1], d.pivot[2]};
    s.axis = {d.axis[0], d.axis[1], d.axis[2]};
    s.lower = d.lower;
    s.upper = d.upper;
    s.mass = d.mass;
    s.spring = d.spring;
    s.rest = d.rest;
    s.bistable = d.bistable;
    s.damping = d.damping;
    s.restitution = d.restitution;
    for (const auto& p : d.path) s.path.push_back({p[0], p[1], p[2]});
    s.speed = d.speed;
    s.pause = d.pause;
    return s;
}

}  // namespace

physics::MeshHandle SceneModel::typeMesh(const klotz::KlotzCatalogue& catalogue, physics::PhysicsWorld& world,
                                         int type) {
    if (static_cast<int>(typeMeshes_.size()) < catalogue.typeCount())
        typeMeshes_.resize(catalogue.typeCount(), physics::NO_MESH);
    physics::MeshHandle& handle = typeMeshes_[type];
    if (handle == physics::NO_MESH) handle = meshOf(catalogue.klotzTypes[type].mesh, world);
    return handle;
}

physics::ActorHandle SceneModel::makeKlotzActor(const klotz::KlotzCatalogue& catalogue, physics::PhysicsWorld& world,
                                                int type, const physics::Pose& pose) {
    const physics::ActorHandle actor = world.createMeshActor(typeMesh(catalogue, world, type));
    world.setGlobalPose(actor, pose);
    const std::vector<klotz::KlotzPart>& parts = catalogue.klotzTypes[type].parts;
    if (parts.empty()) return actor;
    if (static_cast<int>(partMeshes_.size()) < catalogue.typeCount()) partMeshes_.resize(catalogue.typeCount());
    std::vector<physics::MeshHandle>& meshes = partMeshes_[type];
    if (meshes.size() != parts.size()) {
        meshes.clear();
        for (const klotz::KlotzPart& part : parts) meshes.push_back(meshOf(part.mesh, world));
    }
    for (std::size_t k = 0; k < parts.size(); ++k) world.addMovingPart(actor, partSpec(parts[k].decl, meshes[k]));
    return actor;
}

void SceneModel::clear(physics::PhysicsWorld& world) {
    cellBallStart_.fill(-1);
    std::vector<BallStart>().swap(ballStarts_);
    for (physics::ActorHandle ball : ballActors_) world.releaseActor(ball);
    std::vector<physics::ActorHandle>().swap(ballActors_);
    for (auto& stack : cellStack_) std::vector<int>().swap(stack);
    std::vector<int>().swap(placedDisplayLists_);
    std::vector<int>().swap(placedTypes_);
    std::vector<PoseMatrix>().swap(placedPoses_);
    for (physics::ActorHandle klotz : placedActors_) world.releaseActor(klotz);
    std::vector<physics::ActorHandle>().swap(placedActors_);
}

int stackSize(const SceneModel& model, int row, int column) {
    return static_cast<int>(model.stackAt(row, column).size());
}

std::vector<glm::vec3> constructionCorners(const SceneModel& model) {
    std::vector<glm::vec3> points;
    auto addCell = [&](glm::vec3 centre) {
        for (int i = 0; i < 8; ++i)
            points.push_back(centre + glm::vec3(i & 1 ? HALF_CELL : -HALF_CELL, i & 2 ? HALF_CELL : -HALF_CELL,
                                                i & 4 ? HALF_CELL : -HALF_CELL));
    };
    for (const PoseMatrix& pose : model.placedPoses()) addCell({pose[12], pose[13], pose[14]});
    for (const BallStart& start : model.ballStarts())
        addCell(levelCentre(start.row, start.column, stackSize(model, start.row, start.column)));
    return points;
}

void refreshPose(SceneModel& model, const physics::PhysicsWorld& world, int i) {
    model.setPose(i, physics::poseToMatrix(world.getGlobalPose(model.placedActors()[i])));
}

void clearScene(SceneModel& model, SceneState& state, physics::PhysicsWorld& world) {
    model.clear(world);

    state.simulationPaused = false;
    state.simulationRunning = false;
    state.wireframe = false;
    state.klotzSelected = false;
    state.followBall = false;
    state.particlesOn = false;
}

std::string checkInvariants(const SceneModel& model, const SceneState& state) {
    std::ostringstream err;
    const int balls = static_cast<int>(model.ballStarts().size());
    if (model.ballActors().size() != model.ballStarts().size()) err << "ball lists differ in length; ";
    std::vector<int> seenBall(balls, 0);
    for (int cell = 0; cell < CELL_COUNT; ++cell) {
        int b = model.cellBallStart()[cell];
        if (b == -1) continue;
        if (b < 0 || b >= balls) {
            err << "cell " << cell << " names ball start " << b << "; ";
            continue;
        }
        const BallStart& s = model.ballStarts()[b];
        if (cellIndex(s.row, s.column) != cell) err << "ball start " << b << " is not on cell " << cell << "; ";
        ++seenBall[b];
    }
    for (int b = 0; b < balls; ++b)
        if (seenBall[b] != 1) err << "ball start " << b << " is named by " << seenBall[b] << " cells; ";

    const int n = model.placedCount();
    if (static_cast<int>(model.placedDisplayLists().size()) != n || static_cast<int>(model.placedActors().size()) != n ||
        static_cast<int>(model.placedTypes().size()) != n)
        err << "placed-klotz lists differ in length; ";
    std::vector<int> seenKlotz(n, 0);
    for (int cell = 0; cell < CELL_COUNT; ++cell) {
        for (int i : model.cellStack()[cell]) {
            if (i < 0 || i >= n) {
                err << "cell " << cell << " stacks klotz " << i << "; ";
                continue;
            }
            ++seenKlotz[i];
        }
    }
    for (int i = 0; i < n; ++i)
        if (seenKlotz[i] != 1) err << "klotz " << i << " stands in " << seenKlotz[i] << " stacks; ";

    if (state.selectedRow < 0 || state.selectedRow >= GRID_SIZE || state.selectedColumn < 0 ||
        state.selectedColumn >= GRID_SIZE)
        err << "selection off the grid; ";
    else if (state.klotzSelected && model.cellStack()[cellIndex(state.selectedRow, state.selectedColumn)].empty())
        err << "klotz selected on an empty cell; ";
    if (state.followBall && (state.followedBall < 0 || state.followedBall >= balls)) err << "followed ball missing; ";
    if (state.particlesOn && (state.particleBall < 0 || state.particleBall >= balls)) err << "particle ball missing; ";
    return err.str();
}

}  // namespace scene
