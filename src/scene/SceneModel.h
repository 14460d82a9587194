// The in-memory construction: which kloetze stand on which cells of the
// 20 x 20 grid, the ball starting points with their balls, and the shot
// balls. Every klotz and ball is also an actor in the physics world.
#pragma once

#include <array>
#include <vector>

#include <glm/glm.hpp>

#include "scene/SceneState.h"
#include "physics/Physics.h"
#include "scene/RunRecord.h"

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

struct SceneModel {
    SceneModel() { cellBallStart.fill(-1); }

    // Per cell (index row * 20 + column): index into ballStarts, or -1.
    std::array<int, CELL_COUNT> cellBallStart;
    // Per cell: indices of the placed kloetze on it, bottom first.
    std::array<std::vector<int>, CELL_COUNT> cellStack;

    // Placed kloetze: three parallel lists, dense indices in insertion order.
    std::vector<int> placedDisplayLists;
    std::vector<PoseMatrix> placedPoses;
    std::vector<physics::ActorHandle> placedActors;
    // Catalogue index of each placed klotz, parallel to the lists above. The
    // display list ids alone cannot name the type where several types share
    // an id (0 everywhere without GL), so saving and F2 go by this list.
    std::vector<int> placedTypes;

    // Ball starting points and their balls: parallel lists.
    std::vector<BallStart> ballStarts;
    std::vector<physics::ActorHandle> ballActors;

    // Balls shot with SPACE; not saved.
    std::vector<physics::ActorHandle> shotBalls;

    // Every step of the current (or last) run, for stepping back through it.
    RunRecord run;

    // Collision mesh of each klotz type, made on first use and shared by
    // every klotz of that type. Not part of the scene: clearScene keeps it.
    std::vector<physics::MeshHandle> typeMeshes;

    int placedCount() const { return static_cast<int>(placedPoses.size()); }
    int ballCount() const { return static_cast<int>(ballActors.size()); }
    bool empty() const { return placedPoses.empty() && ballStarts.empty(); }

    // The only ways to change the parallel lists, so they never differ in
    // length and every stored index stays dense.
    // Appends a placed klotz (not yet on any stack); returns its index.
    int appendPlaced(int type, int displayList, physics::ActorHandle actor, const PoseMatrix& pose);
    // Removes placed klotz i from the lists and from the stack holding it,
    // renumbering every stack entry above i. Returns its actor for the
    // caller to release.
    physics::ActorHandle erasePlaced(int i);
    // A ball starting point on (row, column) with its ball; returns its index.
    int addBallStart(int row, int column, physics::ActorHandle ball);
    // Removes ball start i and renumbers cellBallStart. Returns its ball.
    physics::ActorHandle eraseBallStart(int i);
};

inline int cellIndex(int row, int column) { return row * GRID_SIZE + column; }
inline bool onGrid(int row, int column) { return row >= 0 && row < GRID_SIZE && column >= 0 && column < GRID_SIZE; }

// Centre of stack level k of a cell: where kloetze and balls are placed.
glm::vec3 levelCentre(int row, int column, int k);

int stackSize(const SceneModel& model, int row, int column);

// Empties the model, releases its klotz and ball actors (not the shot balls)
// and resets the mode flags; the selection, shading, followedBall and
// particleBall stay.
void clearScene(SceneModel& model, SceneState& state, physics::PhysicsWorld& world);

// Checks the model's invariants; returns an empty string when they hold,
// otherwise what is wrong. For tests and for validating loaded files.
std::string checkInvariants(const SceneModel& model, const SceneState& state);

}  // namespace scene
