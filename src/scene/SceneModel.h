// The in-memory construction: which kloetze stand on which cells of the
// 20 x 20 grid, the ball starting points with their balls, and the shot
// balls. Every klotz and ball is also an actor in the physics world.
#pragma once

#include <array>
#include <string>
#include <vector>

#include <glm/glm.hpp>

#include "klotz/Catalogue.h"
#include "physics/Physics.h"
#include "scene/SceneState.h"

namespace scene {

constexpr int GRID_SIZE = 20;
constexpr int CELL_COUNT = GRID_SIZE * GRID_SIZE;
constexpr float CELL_SIZE = 50.0f;  // world units; also the height of one stack level
constexpr float HALF_CELL = 25.0f;

using PoseMatrix = std::array<float, 16>;  // column-major, translation in 12..14
constexpr PoseMatrix IDENTITY_POSE{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};

struct BallStart {
    int row = 0;
    int column = 0;
};

inline int cellIndex(int row, int column) { return row * GRID_SIZE + column; }
inline bool onGrid(int row, int column) { return row >= 0 && row < GRID_SIZE && column >= 0 && column < GRID_SIZE; }

// The lists are private: the placed-klotz lists are parallel and every
// stored index is dense, which only the methods below keep true.
class SceneModel {
public:
    SceneModel() { cellBallStart_.fill(-1); }

    int placedCount() const { return static_cast<int>(placedPoses_.size()); }
    int ballCount() const { return static_cast<int>(ballActors_.size()); }
    bool empty() const { return placedPoses_.empty() && ballStarts_.empty(); }

    // Per cell (index row * 20 + column): index into ballStarts, or -1.
    const std::array<int, CELL_COUNT>& cellBallStart() const { return cellBallStart_; }
    // Per cell: indices of the placed kloetze on it, bottom first.
    const std::array<std::vector<int>, CELL_COUNT>& cellStack() const { return cellStack_; }
    const std::vector<int>& stackAt(int row, int column) const { return cellStack_[cellIndex(row, column)]; }

    // Placed kloetze, dense indices in insertion order. The catalogue index
    // names the type where display list ids cannot (0 everywhere without GL).
    const std::vector<int>& placedDisplayLists() const { return placedDisplayLists_; }
    const std::vector<PoseMatrix>& placedPoses() const { return placedPoses_; }
    const std::vector<physics::ActorHandle>& placedActors() const { return placedActors_; }
    const std::vector<int>& placedTypes() const { return placedTypes_; }

    // Ball starting points and their balls, parallel.
    const std::vector<BallStart>& ballStarts() const { return ballStarts_; }
    const std::vector<physics::ActorHandle>& ballActors() const { return ballActors_; }

    // Balls shot with SPACE; not saved.
    const std::vector<physics::ActorHandle>& shotBalls() const { return shotBalls_; }

    // Appends a placed klotz (not yet on any stack); returns its index.
    int appendPlaced(int type, int displayList, physics::ActorHandle actor, const PoseMatrix& pose);
    // Removes placed klotz i from the lists and from the stack holding it,
    // renumbering every stack entry above i. Returns its actor for the
    // caller to release.
    physics::ActorHandle erasePlaced(int i);
    // Puts placed klotz i on top of a cell's stack / takes the top one off.
    void pushOnStack(int cell, int i) { cellStack_[cell].push_back(i); }
    int popStack(int cell);
    void setPose(int i, const PoseMatrix& pose) { placedPoses_[i] = pose; }
    void setDisplayList(int i, int list) { placedDisplayLists_[i] = list; }

    // A ball starting point on (row, column) with its ball; returns its index.
    int addBallStart(int row, int column, physics::ActorHandle ball);
    // Removes ball start i and renumbers cellBallStart. Returns its ball.
    physics::ActorHandle eraseBallStart(int i);

    void addShotBall(physics::ActorHandle ball) { shotBalls_.push_back(ball); }
    // Forgets the oldest shot ball and returns it for the caller to release.
    physics::ActorHandle dropOldestShotBall();
    // Forgets every shot ball and returns them.
    std::vector<physics::ActorHandle> takeShotBalls();

    // Collision mesh of a type, registered with the world on first use and
    // shared by every klotz of that type. Not part of the scene: clearScene
    // keeps it.
    physics::MeshHandle typeMesh(const klotz::KlotzCatalogue& catalogue, physics::PhysicsWorld& world, int type);
    // A klotz actor of the type at pose, with the type's moving parts at
    // rest. Not yet in the lists (appendPlaced).
    physics::ActorHandle makeKlotzActor(const klotz::KlotzCatalogue& catalogue, physics::PhysicsWorld& world, int type,
                                        const physics::Pose& pose);

    // Empties the lists and releases their klotz and ball actors (not the
    // shot balls).
    void clear(physics::PhysicsWorld& world);

private:
    friend struct SceneModelAccess;  // lets tests break the invariants on purpose

    std::array<int, CELL_COUNT> cellBallStart_;
    std::array<std::vector<int>, CELL_COUNT> cellStack_;
    std::vector<int> placedDisplayLists_;
    std::vector<PoseMatrix> placedPoses_;
    std::vector<physics::ActorHandle> placedActors_;
    std::vector<int> placedTypes_;
    std::vector<BallStart> ballStarts_;
    std::vector<physics::ActorHandle> ballActors_;
    std::vector<physics::ActorHandle> shotBalls_;
    std::vector<physics::MeshHandle> typeMeshes_;
    std::vector<std::vector<physics::MeshHandle>> partMeshes_;  // per type, per moving part
};

// Centre of stack level k of a cell: where kloetze and balls are placed.
glm::vec3 levelCentre(int row, int column, int k);

int stackSize(const SceneModel& model, int row, int column);

// The corners of every placed klotz's cell box and of every ball start's
// free level above its stack: what a view of the whole construction shows.
std::vector<glm::vec3> constructionCorners(const SceneModel& model);

// Render matrix of klotz i := its actor's global pose.
void refreshPose(SceneModel& model, const physics::PhysicsWorld& world, int i);

// Empties the model, releases its klotz and ball actors (not the shot balls)
// and resets the mode flags; the selection, shading, followedBall and
// particleBall stay.
void clearScene(SceneModel& model, SceneState& state, physics::PhysicsWorld& world);

// Checks the model's invariants; returns an empty string when they hold,
// otherwise what is wrong. For tests and for validating loaded files.
std::string checkInvariants(const SceneModel& model, const SceneState& state);

}  // namespace scene
