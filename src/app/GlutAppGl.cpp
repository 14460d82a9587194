// The thin GLUT layer: every callback turns its event into a call on the
// program's model and renderer.
#include <cstdlib>
#include <iostream>

#include <GL/freeglut.h>

#include "app/FrameLoop.h"
#include "app/GlutApp.h"
#include "app/Help.h"
#include "app/Program.h"
#include "image/TextureRegistryGl.h"
#include "klotz/DisplayLists.h"
#include "particles/ParticleDraw.h"
#include "particles/ParticleFrameStep.h"
#include "particles/Random.h"
#include "physics/Stepping.h"
#include "render/CameraView.h"
#include "render/Graphics.h"
#include "render/SceneRenderer.h"
#include "scene/Keyboard.h"
#include "scene/Menu.h"
#include "scene/SpecialKeys.h"

namespace app {

namespace {

Program* program = nullptr;  // the one running program, for the callbacks

void shutdown();

// Runs GL work in the main window's context, whichever window GLUT made
// current for the event, and restores that window afterwards.
class MainContext {
public:
    MainContext() : previous_(glutGetWindow()) {
        if (program->state.mainWindow) glutSetWindow(program->state.mainWindow);
    }
    ~MainContext() {
        if (previous_) glutSetWindow(previous_);
    }

private:
    int previous_;
};

class GlutUi : public scene::UiHooks {
public:
    void applyPolygonMode(bool wireframe) override {
        MainContext main;
        glPolygonMode(GL_FRONT_AND_BACK, wireframe ? GL_LINE : GL_FILL);
    }
    void setBuildingControls(bool shown) override {
        AppState& s = program->state;
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
    void applyShadeModel(bool smooth) override {
        MainContext main;
        glShadeModel(smooth ? GL_SMOOTH : GL_FLAT);
    }
    int replaceTypeDisplayList(int type, int oldList, bool smooth) override {
        MainContext main;
        if (oldList) glDeleteLists(static_cast<GLuint>(oldList), 1);
        return klotz::buildDisplayList(program->catalogue.klotzTypes[type].mesh, smooth);
    }
    void printHelp() override { app::printHelp(std::cout); }
    void exitProgram() override {
        shutdown();
        std::exit(0);
    }
};

GlutUi ui;

scene::CommandContext commands() { return program->commands(ui); }

void idleRedisplay() {
    glutSetWindow(program->state.mainWindow);
    glutPostRedisplay();
    if (program->state.subWindow) {
        glutSetWindow(program->state.subWindow);
        glutPostRedisplay();
    }
}

void displayFrame() {
    Program& p = *program;
    AppState& s = p.state;
    s.frameTime = p.clock.now();
    if (!frameGatePasses(s.frameTime, s.lastFrameTime)) return;

    if (s.simulationRunning && !s.simulationPaused) {
        physics::stepPhysics(*p.world, p.clock.now(), s.lastStepTime, s.followBall);
        // The sparks come from the ball itself; a stale index feeds nothing.
        if (s.particlesOn && s.particleBall >= 0 && s.particleBall < p.model.ballCount()) {
            const physics::ActorHandle ball = p.model.ballActors[s.particleBall];
            if (p.world->isActor(ball))
                particles::particleFrameStep(*p.particles, p.clock.now(), s.particleTime,
                                             p.world->getGlobalPosition(ball), p.world->getLinearVelocity(ball));
        }
    }

    render::updateCamera(p.camera, render::rideTarget(s, p.model, *p.world));
    render::SceneView view{s,
                           p.model,
                           *p.world,
                           p.resources,
                           p.marker,
                           p.clock.now(),
                           [&p] { particles::drawParticles(*p.particles); },
                           [&p](const render::RingEmission& e) {
                               p.particles->update(e.timeStep, e.position, e.velocity, e.minSpeed, e.maxSpeed,
                                                   e.minAngle, e.maxAngle);
                           },
                           [] { return particles::processRandom(); }};
    render::renderScene(view);

    s.titleText = frameTitle(framesPerSecond(s.frameTime - s.lastFrameTime));
    glutSetWindowTitle(s.titleText.c_str());
    s.lastFrameTime = s.frameTime;
}

void reshapeMain(int width, int height) {
    AppState& s = program->state;
    glViewport(0, 0, width, height);
    s.windowWidth = width;
    s.windowHeight = height;
    // A window minimised to no height would give an infinite aspect ratio.
    program->camera.aspectRatio = static_cast<float>(width) / static_cast<float>(height > 0 ? height : 1);
    if (s.subWindow) render::layoutSubWindow(program->subWindow, width, height);
    glutSetWindow(s.mainWindow);
}

void keyboard(unsigned char key, int, int) {
    scene::CommandContext ctx = commands();
    scene::handleKey(ctx, key);
}

void special(int key, int, int) {
    scene::CommandContext ctx = commands();
    scene::handleSpecialKey(ctx, key);
}

void mouseButton(int button, int state, int x, int y) {
    scene::CommandContext ctx = commands();
    scene::handleMouseButton(ctx, button, state, x, y);
}

void mouseMotion(int x, int y) {
    // Called once by the window set-up before the world exists; the camera
    // only needs its anchor then.
    if (!program->world || !program->particles) {
        program->camera.lookAround(x, y);
        return;
    }
    scene::CommandContext ctx = commands();
    scene::handleMouseMotion(ctx, x, y);
}

void menu(int value) {
    scene::CommandContext ctx = commands();
    scene::handleMenu(ctx, value);
}

void shutdown() {
    Program& p = *program;
    std::cout << "exiting";
    p.world.reset();
    p.catalogue.klotzTypes.clear();
    if (p.state.mainWindow) glutSetWindow(p.state.mainWindow);
    klotz::deleteDisplayLists(p.catalogue.typeDisplayLists);
    p.catalogue.typeDisplayLists.clear();
    render::releaseResources(p.resources);
    p.particles.reset();
    render::releaseSubWindow(p.subWindow);
    std::cout.flush();
}

}  // namespace

int runProgram(int argc, char** argv) {
    static Program instance;
    program = &instance;
    Program& p = instance;
    AppState& s = p.state;
    std::ostream& out = std::cout;

    out << "init states... ";
    s = AppState{};
    p.model = scene::SceneModel{};
    out << "done\n";

    out << "init timer... ";
    p.clock.initClock(out);
    s.lastFrameTime = p.clock.now();
    out << "done\n";

    out << "loading config file... ";
    klotz::loadCatalogueList(p.catalogue, out);
    out << "done\n";

    out << "init graphics... ";
    render::MainWindowCallbacks callbacks{idleRedisplay, displayFrame, reshapeMain, keyboard,
                                          special,       mouseButton,  mouseMotion, menu};
    s.mainWindow = render::initGraphics(&argc, argv, s.windowWidth, s.windowHeight, s.smoothShading, callbacks);
    render::buildPrimitives(p.resources, p.camera, [](const std::string& file, bool compress) {
        return image::textureRegistry().loadTexture(file, compress, std::cout, std::cerr);
    });
    out << "done\n";

    out << "init physics... ";
    p.world = std::make_unique<physics::PhysicsWorld>(&p.reporter);
    out << "done\n";

    out << "init particle system... ";
    p.particles = std::make_unique<particles::ParticleSystem>(
        p.world.get(), particles::PARTICLE_MASS, particles::PARTICLE_CAPACITY, particles::PARTICLE_HALF_SIZE,
        particles::EMISSION_RATE, glm::vec3(0.0f, particles::PARTICLE_FORCE_Y, 0.0f),
        p.resources.colours.particleStartColour, p.resources.colours.particleEndColour);
    out << "done\n";

    out << "loading kloetze...\n";
    klotz::loadKloetze(p.catalogue, out);
    p.catalogue.typeDisplayLists = klotz::buildTypeDisplayLists(p.catalogue, s.smoothShading);
    out << "\nloading kloetze done\n";

    out << "init subwindow... ";
    p.subWindow.clock = [] { return program->clock.now(); };
    s.subWindow = render::initSubWindow(p.subWindow, s.mainWindow, s.windowWidth, s.windowHeight, p.catalogue,
                                        keyboard, special, p.clock.now());
    glutSetWindow(s.mainWindow);
    out << "done\n";

    out << "entering glut main loop\n\n";
    glutMainLoop();
    shutdown();
    return 0;
}

}  // namespace app
