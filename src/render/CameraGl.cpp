#include <GL/glu.h>

#include "render/CameraView.h"

namespace render {

void loadCameraMatrices(const view::Camera& camera) {
    // The whole camera lives in the projection matrix, so the model-view
    // matrix holds world transforms and the lights stay put in the world.
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(view::CAMERA_FOV_DEGREES, camera.aspectRatio, view::CAMERA_NEAR, view::CAMERA_FAR);
    glm::vec3 eye = camera.position;
    glm::vec3 centre = camera.position + camera.direction;
    gluLookAt(eye.x, eye.y, eye.z, centre.x, centre.y, centre.z, 0.0, 1.0, 0.0);
}

void updateCamera(view::Camera& camera, std::optional<glm::vec3> rideTo) {
    if (rideTo) camera.rideAlong(*rideTo);
    loadCameraMatrices(camera);
}

}  // namespace render
