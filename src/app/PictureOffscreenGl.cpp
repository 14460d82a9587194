#include <cmath>
#include <sstream>

#include <GL/osmesa.h>

#include <glm/gtc/matrix_transform.hpp>
#include <glm/gtc/type_ptr.hpp>

#include "app/Picture.h"
#include "physics/Actors.h"
#include "physics/ErrorReporter.h"
#include "render/Colours.h"
#include "render/Resources.h"
#include "run/Simulation.h"
#include "view/Camera.h"

namespace app {

namespace {

// The main window's lights, set with the identity model-view so they stay
// world positions.
void setLights() {
    const GLfloat ambient[] = {0.2f, 0.2f, 0.2f, 0.0f};
    const GLfloat diffuse[] = {0.5f, 0.5f, 0.5f, 0.0f};
    const GLfloat specular[] = {0.0f, 0.0f, 0.0f, 0.0f};
    const GLfloat position0[] = {-500.0f, 2500.0f, 0.0f, 1.0f};
    const GLfloat position1[] = {1500.0f, 2500.0f, -1000.0f, 1.0f};
    for (GLenum light : {GL_LIGHT0, GL_LIGHT1}) {
        glLightfv(light, GL_AMBIENT, ambient);
        glLightfv(light, GL_DIFFUSE, diffuse);
        glLightfv(light, GL_SPECULAR, specular);
        glEnable(light);
    }
    glLightfv(GL_LIGHT0, GL_POSITION, position0);
    glLightfv(GL_LIGHT1, GL_POSITION, position1);
}

void drawGrid(const render::RenderColours& colours) {
    glColor4fv(colours.gridColour.data());
    glNormal3f(0.0f, 1.0f, 0.0f);
    const float extent = scene::GRID_SIZE * scene::CELL_SIZE;
    glBegin(GL_LINES);
    for (int i = 0; i <= scene::GRID_SIZE; ++i) {
        const float at = static_cast<float>(i) * scene::CELL_SIZE;
        glVertex3f(0.0f, 0.0f, -at);
        glVertex3f(extent, 0.0f, -at);
        glVertex3f(at, 0.0f, 0.0f);
        glVertex3f(at, 0.0f, -extent);
    }
    glEnd();
}

void drawMesh(const klotz::Mesh& mesh) {
    const bool corners = mesh.cornerNormalCount == 3 * mesh.faceCount &&
                         mesh.cornerNormals.size() >= static_cast<std::size_t>(9 * mesh.faceCount);
    const bool faces = mesh.faceNormals.size() >= static_cast<std::size_t>(3 * mesh.faceCount);
    const int vertices = static_cast<int>(mesh.vertices.size() / 3);
    glBegin(GL_TRIANGLES);
    for (int f = 0; f < mesh.faceCount && 3 * f + 2 < static_cast<int>(mesh.faces.size()); ++f) {
        if (!corners && faces) glNormal3fv(&mesh.faceNormals[3 * f]);
        for (int k = 0; k < 3; ++k) {
            const int v = mesh.faces[3 * f + k];
            if (v < 0 || v >= vertices) continue;
            if (corners) glNormal3fv(&mesh.cornerNormals[3 * (3 * f + k)]);
            glVertex3fv(&mesh.vertices[3 * v]);
        }
    }
    glEnd();
}

void drawSphere(float radius) {
    const int slices = 24, stacks = 16;
    const float pi = 3.14159265f;
    for (int i = 0; i < stacks; ++i) {
        const float a0 = pi * i / stacks - pi / 2, a1 = pi * (i + 1) / stacks - pi / 2;
        glBegin(GL_QUAD_STRIP);
        for (int j = 0; j <= slices; ++j) {
            const float b = 2 * pi * j / slices;
            for (float a : {a1, a0}) {
                const glm::vec3 n(std::cos(a) * std::cos(b), std::sin(a), -std::cos(a) * std::sin(b));
                glNormal3fv(glm::value_ptr(n));
                glVertex3fv(glm::value_ptr(n * radius));
            }
        }
        glEnd();
    }
}

}  // namespace

bool renderPictureOffscreen(const PictureRequest& request, std::vector<std::uint8_t>& rgb, std::string& error) {
    // The run up to the moment asked for, in a world of its own.
    std::ostringstream log;
    std::istringstream noAnswers;
    physics::ErrorReporter reporter(log, noAnswers);
    physics::PhysicsWorld world(&reporter);
    scene::SceneModel model;
    scene::SceneState state;
    scene::buildScene(request.scene, model, state, request.catalogue, world);
    view::Camera camera;
    camera.setStartPose();
    run::Run run;
    run::RunContext ctx{state, model, request.catalogue, world, camera, nullptr, run, nullptr, [] { return 0.0; },
                        log};
    run::startRun(ctx);
    const long steps = std::lround(request.at / physics::FIXED_STEP);
    for (long s = 0; s < steps; ++s) run::stepRun(ctx);

    const int w = request.width, h = request.height;
    std::vector<std::uint8_t> rgba(static_cast<std::size_t>(w) * h * 4);
    OSMesaContext gl = OSMesaCreateContextExt(OSMESA_RGBA, 24, 0, 0, nullptr);
    if (!gl) {
        error = "no offscreen GL context (OSMesa)";
        return false;
    }
    if (!OSMesaMakeCurrent(gl, rgba.data(), GL_UNSIGNED_BYTE, w, h)) {
        OSMesaDestroyContext(gl);
        error = "the offscreen GL context refused a " + std::to_string(w) + " x " + std::to_string(h) + " picture";
        return false;
    }
    const render::RenderColours colours;
    glViewport(0, 0, w, h);
    glClearColor(0.3f, 0.4f, 0.5f, 1.0f);
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_COLOR_MATERIAL);
    glColorMaterial(GL_FRONT_AND_BACK, GL_AMBIENT_AND_DIFFUSE);
    glEnable(GL_CULL_FACE);
    glEnable(GL_NORMALIZE);
    glShadeModel(GL_SMOOTH);
    glEnable(GL_LIGHTING);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    setLights();
    // The camera in the projection matrix, as in the window.
    const glm::mat4 projection =
        glm::perspective(glm::radians(view::CAMERA_FOV_DEGREES), static_cast<float>(w) / h, view::CAMERA_NEAR,
                         view::CAMERA_FAR) *
        glm::lookAt(camera.position, camera.position + camera.direction, glm::vec3(0.0f, 1.0f, 0.0f));
    glMatrixMode(GL_PROJECTION);
    glLoadMatrixf(glm::value_ptr(projection));
    glMatrixMode(GL_MODELVIEW);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);

    drawGrid(colours);
    glColor4fv(colours.klotzColour.data());
    for (int i = 0; i < model.placedCount(); ++i) {
        const int type = model.placedTypes()[i];
        if (!request.catalogue.validType(type)) continue;
        glPushMatrix();
        glMultMatrixf(model.placedPoses()[i].data());
        drawMesh(request.catalogue.klotzTypes[type].mesh);
        glPopMatrix();
        const std::vector<klotz::KlotzPart>& parts = request.catalogue.klotzTypes[type].parts;
        const physics::ActorHandle actor = model.placedActors()[i];
        for (int k = 0; k < world.movingPartCount(actor) && k < static_cast<int>(parts.size()); ++k) {
            glPushMatrix();
            glMultMatrixf(world.movingPartMatrix(actor, k).data());
            drawMesh(parts[k].mesh);
            glPopMatrix();
        }
    }
    glColor4fv(colours.ballColour.data());
    for (physics::ActorHandle ball : model.ballActors()) {
        const std::array<float, 16> m = physics::poseToMatrix(world.getGlobalPose(ball));
        glPushMatrix();
        glMultMatrixf(m.data());
        drawSphere(render::BALL_DRAW_RADIUS);
        glPopMatrix();
    }
    glFinish();

    // OSMesa's rows run bottom up.
    rgb.resize(static_cast<std::size_t>(w) * h * 3);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            for (int c = 0; c < 3; ++c)
                rgb[(static_cast<std::size_t>(y) * w + x) * 3 + c] =
                    rgba[(static_cast<std::size_t>(h - 1 - y) * w + x) * 4 + c];
    OSMesaDestroyContext(gl);
    return true;
}

}  // namespace app
