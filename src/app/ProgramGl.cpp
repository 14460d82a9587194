// The running program's start-up, frame and event handlers, and the GLUT
// side of the command layer's hooks.
#include <cstdlib>
#include <iostream>

#include <GL/freeglut.h>

#include "app/FrameLoop.h"
#include "app/Help.h"
#include "app/Program.h"
#include "image/TextureRegistryGl.h"
#include "klotz/DisplayLists.h"
#include "particles/ParticleDraw.h"
#include "particles/Random.h"
#include "render/CameraView.h"
#include "render/Graphics.h"
#include "render/SceneRenderer.h"
#include "scene/Keyboard.h"
#include "scene/Menu.h"
#include "scene/Simulation.h"
#include "scene/SpecialKeys.h"

namespace app {

namespace {

// Runs GL work in the main window's context, whichever window GLUT made
// current for the event, and restores that window afterwards.
class MainContext {
public:
    explicit MainContext(int mainWindow) : previous_(glutGetWindow()) {
        if (mainWindow) glutSetWindow(mainWindow);
    }
    ~MainContext() {
        if (previous_) glutSetWindow(previous_);
    }

private:
    int previous_;
};

}  // namespace

void GlutUi::applyPolygonMode(bool wireframe) {
    MainContext main(program_.state.mainWindow);
    glPolygonMode(GL_FRONT_AND_BACK, wireframe ? GL_LINE : GL_FILL);
}

void GlutUi::setBuildingControls(bool shown) {
    const AppState& s = program_.state;
    if (s.subWindow) {
        glutSetWindow(s.subWindow);
        if (shown)
            glutShowWindow();
        else
            glutHideWindow();
    }
    glutSetWindow(s.mainWindow);
    if (shown)
        glutAttachMenu(GLUT_MIDDLE_BUTTON);
    else
        glutDetachMenu(GLUT_MIDDLE_BUTTON);
}

void GlutUi::applyShadeModel(bool smooth) {
    MainContext main(program_.state.mainWindow);
    glShadeModel(smooth ? GL_SMOOTH : GL_FLAT);
}

int GlutUi::replaceTypeDisplayList(int type, int oldList, bool smooth) {
    MainContext main(program_.state.mainWindow);
    if (oldList) glDeleteLists(static_cast<GLuint>(oldList), 1);
    return klotz::buildDisplayList(program_.catalogue.klotzTypes[type].mesh, smooth);
}

void GlutUi::printHelp() { app::printHelp(std::cout); }

void GlutUi::exitProgram() {
    program_.shutdown();
    std::exit(0);
}

void Program::idle() {
    glutSetWindow(state.mainWindow);
    glutPostRedisplay();
    if (state.subWindow) {
        glutSetWindow(state.subWindow);
        glutPostRedisplay();
    }
}

void Program::display() {
    AppState& s = state;
    s.frameTime = clock.now();
    if (!frameGatePasses(s.frameTime, s.lastFrameTime)) return;

    if (s.simulationRunning && !s.simulationPaused) {
        scene::CommandContext ctx = commands();
        scene::advanceSimulation(ctx, clock.now());
    }

    render::updateCamera(camera, scene::rideTarget(s, model, *world));
    render::SceneView view{s,
                           model,
                           *world,
                           resources,
                           marker,
                           clock.now(),
                           [this] { particles::drawParticles(*particles); },
                           [this](const render::RingEmission& e) {
                               particles->update(e.timeStep, e.position, e.velocity, e.minSpeed, e.maxSpeed,
                                                 e.minAngle, e.maxAngle);
                           },
                           [] { return particles::processRandom(); }};
    view.insight = &insight;
    render::renderScene(view);

    s.titleText = frameTitle(framesPerSecond(s.frameTime - s.lastFrameTime));
    glutSetWindowTitle(s.titleText.c_str());
    s.lastFrameTime = s.frameTime;
}

void Program::reshape(int width, int height) {
    glViewport(0, 0, width, height);
    state.windowWidth = width;
    state.windowHeight = height;
    // A window minimised to no height would give an infinite aspect ratio.
    camera.aspectRatio = static_cast<float>(width) / static_cast<float>(height > 0 ? height : 1);
    if (state.subWindow) render::layoutSubWindow(subWindow, width, height);
    glutSetWindow(state.mainWindow);
}

void Program::keyboard(unsigned char key) {
    scene::CommandContext ctx = commands();
    scene::handleKey(ctx, key);
}

void Program::special(int key) {
    scene::CommandContext ctx = commands();
    scene::handleSpecialKey(ctx, key);
}

void Program::mouse(int button, int buttonState, int x, int y) {
    scene::CommandContext ctx = commands();
    scene::handleMouseButton(ctx, button, buttonState, x, y);
}

void Program::motion(int x, int y) {
    // Called once by the window set-up before the world exists; the camera
    // only needs its anchor then.
    if (!world || !particles) {
        camera.lookAround(x, y);
        return;
    }
    scene::CommandContext ctx = commands();
    scene::handleMouseMotion(ctx, x, y);
}

void Program::menu(int value) {
    scene::CommandContext ctx = commands();
    scene::handleMenu(ctx, value);
}

void Program::subWindowDisplay() { render::drawSubWindow(subWindow, clock.now()); }

void Program::subWindowMouse(int button, int buttonState, int x, int y) {
    render::subWindowClick(subWindow, button, buttonState, x, y);
}

void Program::shutdown() {
    std::cout << "exiting";
    world.reset();
    catalogue.klotzTypes.clear();
    if (state.mainWindow) glutSetWindow(state.mainWindow);
    klotz::deleteDisplayLists(catalogue.typeDisplayLists);
    catalogue.typeDisplayLists.clear();
    render::releaseResources(resources);
    particles.reset();
    render::releaseSubWindow(subWindow);
    std::cout.flush();
}

int Program::run(int argc, char** argv, const GlutCallbacks& callbacks) {
    AppState& s = state;
    std::ostream& out = std::cout;

    out << "init states... ";
    s = AppState{};
    model = scene::SceneModel{};
    out << "done\n";

    out << "init timer... ";
    clock.initClock(out);
    s.lastFrameTime = clock.now();
    out << "done\n";

    out << "loading config file... ";
    klotz::loadCatalogueList(catalogue, out);
    out << "done\n";

    out << "init graphics... ";
    s.mainWindow = render::initGraphics(&argc, argv, s.windowWidth, s.windowHeight, s.smoothShading, callbacks.main);
    textures = std::make_unique<image::TextureRegistry>(image::makeGlTextureRegistry());
    render::buildPrimitives(resources, camera, [this](const std::string& file, bool compress) {
        return textures->loadTexture(file, compress, std::cout, std::cerr);
    });
    out << "done\n";

    out << "init physics... ";
    world = std::make_unique<physics::PhysicsWorld>(&reporter);
    out << "done\n";

    out << "init particle system... ";
    particles = std::make_unique<particles::ParticleSystem>(
        world.get(), particles::PARTICLE_MASS, particles::PARTICLE_CAPACITY, particles::PARTICLE_HALF_SIZE,
        particles::EMISSION_RATE, glm::vec3(0.0f, particles::PARTICLE_FORCE_Y, 0.0f),
        resources.colours.particleStartColour, resources.colours.particleEndColour);
    out << "done\n";

    out << "loading kloetze...\n";
    klotz::loadKloetze(catalogue, out);
    catalogue.typeDisplayLists = klotz::buildTypeDisplayLists(catalogue, s.smoothShading);
    out << "\nloading kloetze done\n";

    out << "init subwindow... ";
    s.subWindow = render::initSubWindow(subWindow, s.mainWindow, s.windowWidth, s.windowHeight, catalogue,
                                        {callbacks.subWindowDisplay, callbacks.subWindowMouse,
                                         callbacks.main.keyboard, callbacks.main.special},
                                        clock.now());
    glutSetWindow(s.mainWindow);
    out << "done\n";

    out << "entering glut main loop\n\n";
    glutMainLoop();
    shutdown();
    return 0;
}

}  // namespace app
