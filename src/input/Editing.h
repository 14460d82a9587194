// The operations that change the scene model while building: inserting,
// deleting, turning and moving kloetze, moving the selection, and the ball
// starting points. Callers check the mode and klotzSelected first; each
// operation keeps the klotz's or ball's physics actor in step with its entry,
// and a klotz's render matrix is always read back from its actor.
#pragma once

#include <glm/glm.hpp>

#include "input/Commands.h"
#include "input/Keys.h"

namespace input {

// A klotz of a valid type on top of the selected cell, turned as the
// rotation block of turn says (its translation is not used). Returns the new
// klotz's index.
int placeOnTop(CommandContext& ctx, int type, const scene::PoseMatrix& turn);
// A klotz of type palette.selectedType on top of the selected cell. Does
// nothing when that names no type of the catalogue. Returns whether a klotz
// was placed.
bool insertKlotz(CommandContext& ctx);
// Removes the top klotz of the selected cell (if any) and renumbers every
// stack so the indices stay dense.
void deleteTopKlotz(CommandContext& ctx);
// Turns the top klotz of the selected cell by direction * 90 degrees about
// the world axis (right-hand rule).
void rotateTopKlotz(CommandContext& ctx, glm::vec3 axis, int direction);
// Moves the selected cell one step along an arrow key (screen-relative),
// clamped to the grid.
void moveSelection(CommandContext& ctx, int arrow);
// Moves the top klotz onto the neighbouring cell and the selection with it;
// refused (false) at the grid's edge or on an empty cell.
bool moveTopKlotz(CommandContext& ctx, int arrow);
// The selected cell becomes a ball starting point with a new ball at the
// origin (placed at the next simulation start). Ignored on a start cell.
void setBallStart(CommandContext& ctx);
// Removes the selected cell's ball starting point and its ball, renumbering
// cellBallStart, followedBall and particleBall.
void unsetBallStart(CommandContext& ctx);

}  // namespace input
