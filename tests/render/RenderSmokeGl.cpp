// Draws real frames in a GLUT window (run under Xvfb): the main picture in
// both modes and the palette strip, checking that GL reports no error and
// that something besides the background reaches the screen.
#include <array>

#include "support/SceneModelAccess.h"
#include <GL/freeglut.h>

#include <gtest/gtest.h>

#include "klotz/DisplayLists.h"
#include "physics/Actors.h"
#include "render/CameraView.h"
#include "render/SceneRenderer.h"
#include "render/SubWindow.h"
#include "scene/SceneModel.h"
#include "run/Simulation.h"

namespace {

constexpr int SIZE = 500;

// A 50-unit cube centred on the origin, counter-clockwise from outside.
klotz::Mesh cubeMesh() {
    klotz::Mesh mesh;
    for (int i = 0; i < 8; ++i) {
        mesh.vertices.push_back(i & 1 ? 25.0f : -25.0f);
        mesh.vertices.push_back(i & 2 ? 25.0f : -25.0f);
        mesh.vertices.push_back(i & 4 ? 25.0f : -25.0f);
    }
    mesh.faces = {0, 2, 1, 1, 2, 3, 4, 5, 6, 5, 7, 6, 0, 1, 4, 1, 5, 4,
                  2, 6, 3, 3, 6, 7, 0, 4, 2, 2, 4, 6, 1, 3, 5, 3, 7, 5};
    mesh.vertexCount = 8;
    mesh.faceCount = 12;
    for (int f = 0; f < 12; ++f) {
        auto v = [&](int k) {
            int i = mesh.faces[static_cast<std::size_t>(3 * f + k)];
            return glm::vec3(mesh.vertices[3 * i], mesh.vertices[3 * i + 1], mesh.vertices[3 * i + 2]);
        };
        glm::vec3 n = glm::normalize(glm::cross(v(1) - v(0), v(2) - v(0)));
        for (int k = 0; k < 3; ++k) mesh.cornerNormals.insert(mesh.cornerNormals.end(), {n.x, n.y, n.z});
        mesh.faceNormals.insert(mesh.faceNormals.end(), {n.x, n.y, n.z});
    }
    mesh.cornerNormalCount = 36;
    mesh.faceNormalCount = 12;
    return mesh;
}

void ignoreKey(unsigned char, int, int) {}
void ignoreSpecial(int, int, int) {}
void ignoreDisplay() {}
void ignoreMouse(int, int, int, int) {}
void noDisplay() {}

// Pixels of the front buffer's centre square that are not the background.
int foregroundPixels(int width, int height) {
    std::vector<unsigned char> rgb(static_cast<std::size_t>(width * height * 3));
    glReadBuffer(GL_FRONT);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width, height, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
    int count = 0;
    for (std::size_t i = 0; i + 2 < rgb.size(); i += 3) {
        bool background = std::abs(rgb[i] - 77) <= 2 && std::abs(rgb[i + 1] - 102) <= 2 && std::abs(rgb[i + 2] - 128) <= 2;
        if (!background) ++count;
    }
    return count;
}

class RenderSmoke : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        int argc = 1;
        char name[] = "testgl_render";
        char* argv[] = {name, nullptr};
        glutInit(&argc, argv);
        glutInitDisplayMode(GLUT_RGB | GLUT_DOUBLE | GLUT_DEPTH);
        glutInitWindowSize(SIZE, SIZE);
        mainWindow = glutCreateWindow("render smoke");
        glutDisplayFunc(noDisplay);
        glEnable(GL_DEPTH_TEST);
        glEnable(GL_LIGHTING);
        glEnable(GL_LIGHT0);
        glEnable(GL_COLOR_MATERIAL);
        glEnable(GL_CULL_FACE);
        glClearColor(0.3f, 0.4f, 0.5f, 1.0f);
        for (int i = 0; i < 20; ++i) glutMainLoopEvent();
    }
    static int mainWindow;
};

int RenderSmoke::mainWindow = 0;

TEST_F(RenderSmoke, BuildingAndSimulationFramesDrawWithoutGlErrors) {
    glutSetWindow(mainWindow);
    render::RenderResources resources;
    view::Camera camera;
    std::string requested;
    bool compressed = false;
    render::buildPrimitives(resources, camera, [&](const std::string& file, bool compress) {
        requested = file;
        compressed = compress;
        return 0u;
    });
    EXPECT_EQ(requested, "some01.bmp");
    EXPECT_TRUE(compressed);
    EXPECT_NE(resources.markerList, 0u);
    EXPECT_NE(resources.quadric, nullptr);
    EXPECT_NEAR(camera.direction.x, 0.24807f, 1e-5f);

    scene::SceneState state;
    scene::SceneModel model;
    physics::PhysicsWorld world;
    render::MarkerAnimation marker;
    int cubeList = klotz::buildDisplayList(cubeMesh(), false);
    scene::PoseMatrix pose{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 525, 25, -575, 1};
    scene::SceneModelAccess::placedDisplayLists(model) = {cubeList, cubeList};
    scene::SceneModelAccess::placedPoses(model) = {pose, pose};
    scene::SceneModelAccess::placedPoses(model)[1][13] = 75;
    scene::SceneModelAccess::placedActors(model) = {physics::NO_ACTOR, physics::NO_ACTOR};
    scene::SceneModelAccess::cellStack(model)[scene::cellIndex(10, 11)] = {0, 1};
    scene::SceneModelAccess::ballStarts(model) = {{10, 11}, {9, 9}};
    scene::SceneModelAccess::ballActors(model) = {physics::createBallActor(world), physics::createBallActor(world)};
    world.setGlobalPosition(model.ballActors()[0], {525, 125, -575});
    world.setGlobalPosition(model.ballActors()[1], {475, 25, -475});
    scene::SceneModelAccess::shotBalls(model) = {physics::createBallActor(world), 987654};  // the second is stale
    world.setGlobalPosition(model.shotBalls()[0], {500, 60, -500});

    int drawn = 0, emissions = 0;
    render::SceneView view{state, model, world, resources, marker, 12.5, camera.position,
                           [&] { ++drawn; }, [&](const render::RingEmission&) { ++emissions; }, [] { return 8192; }, {"paused  t=1.00 s  speed 1"}};
    state.particlesOn = true;
    state.particleBall = 1;
    render::updateCamera(camera, std::nullopt);
    GLint mode = 0;
    glGetIntegerv(GL_MATRIX_MODE, &mode);
    EXPECT_EQ(mode, GL_PROJECTION);
    render::renderScene(view);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    EXPECT_EQ(marker.markerPhase, -90.0);
    EXPECT_EQ(emissions, 1);
    EXPECT_EQ(drawn, 1);
    EXPECT_GT(foregroundPixels(SIZE, SIZE), 500);

    state.klotzSelected = true;
    state.selectedColumn = 11;
    render::renderScene(view);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));

    state.simulationRunning = true;
    state.followBall = true;
    state.followedBall = 1;
    render::updateCamera(camera, run::rideTarget(state, model, world));
    EXPECT_EQ(camera.position, glm::vec3(475, 25, -475));
    view.now = 13.0;
    render::renderScene(view);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    EXPECT_EQ(drawn, 2);  // the camera rides the particles' source ball

    render::releaseResources(resources);
    EXPECT_EQ(resources.markerList, 0u);
    EXPECT_EQ(resources.quadric, nullptr);
}

// The pixel at (x, y) of the last frame (still in the back buffer here).
std::array<int, 3> pixelAt(int x, int y) {
    unsigned char rgb[3] = {0, 0, 0};
    glReadBuffer(GL_BACK);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(x, y, 1, 1, GL_RGB, GL_UNSIGNED_BYTE, rgb);
    return {rgb[0], rgb[1], rgb[2]};
}

TEST_F(RenderSmoke, TheClearerLookShowsABallBehindTrackAndAShadowUnderABall) {
    glutSetWindow(mainWindow);
    glViewport(0, 0, SIZE, SIZE);
    render::RenderResources resources;
    view::Camera camera;
    render::buildPrimitives(resources, camera, [](const std::string&, bool) { return 0u; });
    klotz::KlotzCatalogue catalogue;
    catalogue.klotzTypes.push_back({"cube", cubeMesh(), {}});
    render::buildOutlineLists(resources, catalogue);

    scene::SceneState state;
    state.simulationRunning = true;
    scene::SceneModel model;
    physics::PhysicsWorld world;
    render::MarkerAnimation marker;
    // A klotz straight ahead of the eye, the ball right behind it.
    int cubeList = klotz::buildDisplayList(cubeMesh(), false);
    model.appendPlaced(0, cubeList, physics::NO_ACTOR, {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 500, 100, -300, 1});
    scene::SceneModelAccess::shotBalls(model) = {physics::createBallActor(world)};
    world.setGlobalPosition(model.shotBalls()[0], {500, 100, -400});
    camera.position = {500, 100, 0};
    camera.direction = {0, 0, -1};
    camera.recomputeRight();
    render::SceneView view{state, model, world, resources, marker, 1.0, camera.position, {}, {}, [] { return 0; }, {}};

    // Untextured here: the ball is white, dimmed to grey through the klotz.
    auto greyAtCentre = [&] {
        render::loadCameraMatrices(camera);
        render::renderScene(view);
        std::array<int, 3> p = pixelAt(SIZE / 2, SIZE / 2);
        return std::abs(p[0] - p[1]) < 8 && std::abs(p[1] - p[2]) < 8 && p[0] > 120;
    };
    view.clearLook = false;
    EXPECT_FALSE(greyAtCentre());
    view.clearLook = true;
    EXPECT_TRUE(greyAtCentre());
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));

    // Seen from straight above, a ball 12 units over the ground: a dark
    // ring around it where the ground is otherwise the background.
    scene::SceneModelAccess::placedPoses(model).clear();
    scene::SceneModelAccess::placedDisplayLists(model).clear();
    scene::SceneModelAccess::placedTypes(model).clear();
    scene::SceneModelAccess::placedActors(model).clear();
    world.setGlobalPosition(model.shotBalls()[0], {500, 20, -400});
    camera.position = {500, 300, -400};
    camera.direction = glm::normalize(glm::vec3(0.001f, -1.0f, 0.001f));
    camera.recomputeRight();
    auto ringDarkness = [&] {
        render::loadCameraMatrices(camera);
        render::renderScene(view);
        int darkest = 0;
        for (int dx = 12; dx <= 16; ++dx) {
            std::array<int, 3> p = pixelAt(SIZE / 2 + dx, SIZE / 2);
            darkest = std::max(darkest, (77 + 102 + 128) - (p[0] + p[1] + p[2]));
        }
        return darkest;
    };
    view.clearLook = false;
    EXPECT_LT(ringDarkness(), 6);
    view.clearLook = true;
    EXPECT_GT(ringDarkness(), 25);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    klotz::deleteDisplayLists({cubeList});
    render::releaseResources(resources);
}

TEST_F(RenderSmoke, PaletteStripShowsARowOfPreviews) {
    klotz::KlotzCatalogue catalogue;
    for (int i = 0; i < 6; ++i) catalogue.klotzTypes.push_back({"cube" + std::to_string(i), cubeMesh(), {}});
    view::Palette palette;
    render::SubWindowState strip(palette);
    int id = render::initSubWindow(strip, mainWindow, SIZE, SIZE, catalogue,
                                   {ignoreDisplay, ignoreMouse, ignoreKey, ignoreSpecial}, 4.0);
    EXPECT_NE(id, 0);
    EXPECT_EQ(strip.parentWindow, mainWindow);
    EXPECT_EQ(palette.rowLength, 4);
    EXPECT_EQ(strip.previewLists.size(), 6u);
    for (int i = 0; i < 20; ++i) glutMainLoopEvent();

    glutSetWindow(id);
    render::drawSubWindow(strip, 4.5);
    EXPECT_FLOAT_EQ(strip.spinAngle, 60.0f);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    EXPECT_GT(foregroundPixels(SIZE, 100), 200);

    render::subWindowClick(strip, GLUT_LEFT_BUTTON, GLUT_DOWN, 250, 50);
    EXPECT_EQ(palette.selectedType, 2);
    render::layoutSubWindow(strip, 800, SIZE);
    EXPECT_EQ(palette.rowLength, 7);
    EXPECT_EQ(glutGetWindow(), id);
    render::drawSubWindow(strip, 5.0);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));

    render::releaseSubWindow(strip);
    EXPECT_TRUE(strip.previewLists.empty());
    glutSetWindow(mainWindow);
}

}  // namespace
