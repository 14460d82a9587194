// The per-frame camera step of the main window: ride along with the
// followed ball, then load projection and view into GL.
#pragma once

#include <optional>

#include <glm/glm.hpp>

#include "view/Camera.h"

namespace render {

// With the main window current: the ride-along step towards rideTo when
// given, then gluPerspective(60, aspect, 2, 5000) and gluLookAt into
// GL_PROJECTION. The matrix mode is left at GL_PROJECTION.
void updateCamera(view::Camera& camera, std::optional<glm::vec3> rideTo);

// Projection and view only, no ride-along step.
void loadCameraMatrices(const view::Camera& camera);

}  // namespace render
