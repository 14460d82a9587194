// The per-frame camera step of the main window: ride along with the
// followed ball, then load projection and view into GL.
#pragma once

#include <optional>

#include <glm/glm.hpp>

#include "app/AppState.h"
#include "physics/Physics.h"
#include "render/Camera.h"
#include "scene/SceneModel.h"

namespace render {

// The followed ball's position while the simulation runs with followBall
// set; nothing when not riding or when followedBall names no live ball (the
// camera then stays free for that frame).
std::optional<glm::vec3> rideTarget(const app::AppState& state, const scene::SceneModel& model,
                                    const physics::PhysicsWorld& world);

// With the main window current: the ride-along step towards rideTo when
// given, then gluPerspective(60, aspect, 2, 5000) and gluLookAt into
// GL_PROJECTION. The matrix mode is left at GL_PROJECTION.
void updateCamera(Camera& camera, std::optional<glm::vec3> rideTo);

// Projection and view only, no ride-along step.
void loadCameraMatrices(const Camera& camera);

}  // namespace render
