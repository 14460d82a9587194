// The running program's start-up, frame and event handlers, and the GLUT
// side of the command layer's hooks.
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <iostream>

#include <GL/freeglut.h>

#include "app/CommandLine.h"
#include "app/FrameLoop.h"
#include "app/Help.h"
#include "app/Program.h"
#include "app/Simulator.h"
#include "image/TextureRegistryGl.h"
#include "io/Result.h"
#include "klotz/DisplayLists.h"
#include "input/Keyboard.h"
#include "input/Menu.h"
#include "input/SpecialKeys.h"
#include "particles/ParticleDraw.h"
#include "render/CameraView.h"
#include "render/Graphics.h"
#include "render/SceneRenderer.h"
#include "run/Simulation.h"
#include "run/SoundEvents.h"

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

void GlutUi::stepTaken(const physics::StepContacts& contacts, double runTime) {
    audio::LiveOutput* sound = program_.sound.get();
    if (!sound || !sound->isOn()) return;
    run::feedSound(contacts, runTime,
              {[sound](const audio::Impact& e, double t) { sound->impact(e, t); },
               [sound](const audio::Rolling& e, double t) { sound->rolling(e, t); }});
}

void GlutUi::toggleSound() {
    audio::LiveOutput* sound = program_.sound.get();
    if (sound) sound->setEnabled(!sound->isEnabled());
}

void GlutUi::runStopped() {
    if (program_.runLog.empty() || !program_.world) return;
    std::ofstream log(program_.runLog, std::ios::app);
    for (const BallReport& r : reportRun(program_.currentRun, program_.model, *program_.world))
        log << formatReport(r) << "\n";
    log << "\n";
    if (!log) std::cout << "can not append the run's results to " << io::printable(program_.runLog) << "\n";
}

void GlutUi::exitProgram() {
    program_.shutdown();
    std::exit(0);
}

void Program::frameDue() {
    frameTimerPending_ = false;
    glutSetWindow(state.mainWindow);
    glutPostRedisplay();
    // The palette strip is hidden while a run plays.
    if (state.subWindow && !state.simulationRunning) {
        glutSetWindow(state.subWindow);
        glutPostRedisplay();
    }
}

void Program::scheduleNextFrame() {
    if (frameTimerPending_) return;
    frameTimerPending_ = true;
    // Rounded up to whole milliseconds, so the frame gate passes on waking.
    const double sleep = sleepBeforeNextFrame(clock.now(), state.lastFrameTime);
    glutTimerFunc(static_cast<unsigned>(std::ceil(sleep * 1000.0)), frameTimer_, 0);
}

void Program::display() {
    AppState& s = state;
    s.frameTime = clock.now();
    const bool stepping = s.simulationRunning && !s.simulationPaused;
    const FramePlan plan = planFrame(s.frameTime, s.lastFrameTime, currentRun.lastStepTime, stepping,
                                     run::playbackSpeed(s, currentRun));
    if (!plan.draw) {
        scheduleNextFrame();
        return;
    }

    if (stepping) {
        input::CommandContext ctx = commands();
        run::RunContext r = input::runContext(ctx);
        run::advanceSimulation(r, s.frameTime, plan.simulatedSeconds);
    }

    render::updateCamera(camera, run::rideTarget(s, model, *world));
    render::SceneView view{s,
                           model,
                           *world,
                           resources,
                           marker,
                           clock.now(),
                           camera.position,
                           [this] { particles::drawParticles(*particles); },
                           [this](const render::RingEmission& e) {
                               particles->update(e.timeStep, e.position, e.velocity, e.minSpeed, e.maxSpeed,
                                                 e.minAngle, e.maxAngle);
                           },
                           [this] { return particles->random(); },
                           {}};
    if (s.simulationRunning) {
        const std::string status = run::runStatus(s, currentRun);
        if (!status.empty()) view.overlay.push_back(status);
    }
    view.insight = &currentRun.insight;
    render::renderScene(view);

    if (sound) sound->pump();

    s.titleText = frameTitle(framesPerSecond(s.frameTime - s.lastFrameTime));
    glutSetWindowTitle(s.titleText.c_str());
    s.lastFrameTime = s.frameTime;
    scheduleNextFrame();
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
    input::CommandContext ctx = commands();
    input::handleKey(ctx, key);
}

void Program::special(int key) {
    input::CommandContext ctx = commands();
    input::handleSpecialKey(ctx, key);
}

void Program::mouse(int button, int buttonState, int x, int y) {
    input::CommandContext ctx = commands();
    input::handleMouseButton(ctx, button, buttonState, x, y);
}

void Program::motion(int x, int y) {
    // Called once by the window set-up before the world exists; the camera
    // only needs its anchor then.
    if (!world || !particles) {
        camera.lookAround(x, y);
        return;
    }
    input::CommandContext ctx = commands();
    input::handleMouseMotion(ctx, x, y);
}

void Program::menu(int value) {
    input::CommandContext ctx = commands();
    input::handleMenu(ctx, value);
}

void Program::subWindowDisplay() { render::drawSubWindow(subWindow, clock.now()); }

void Program::subWindowMouse(int button, int buttonState, int x, int y) {
    render::subWindowClick(subWindow, button, buttonState, x, y);
}

void Program::shutdown() {
    input::autosave(model, state, session, std::cout);
    std::cout << "exiting";
    sound.reset();
    world.reset();
    catalogue.klotzTypes.clear();
    // Once the window was closed the main loop has returned and freeglut has
    // taken the windows and their GL objects with it; GLUT must not be
    // called again.
    const bool windowOpen = glutGet(GLUT_INIT_STATE) != 0;
    if (windowOpen && state.mainWindow) glutSetWindow(state.mainWindow);
    if (windowOpen) klotz::deleteDisplayLists(catalogue.typeDisplayLists);
    catalogue.typeDisplayLists.clear();
    if (windowOpen) render::releaseResources(resources);
    particles.reset();
    if (windowOpen) render::releaseSubWindow(subWindow);
    std::cout.flush();
}

int Program::run(int argc, char** argv, const GlutCallbacks& callbacks) {
    AppState& s = state;
    std::ostream& out = std::cout;

    const CommandLine commandLine = parseCommandLine(argc, argv);
    if (commandLine.help) {
        out << usageText();
        return 0;
    }
    runLog = commandLine.runLog;
    if (!commandLine.error.empty()) {
        std::cerr << "tumbalon: " << commandLine.error << " (tumbalon --help shows the usage)\n";
        return EXIT_USAGE;
    }

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
    std::vector<render::MenuEntry> menuEntries;
    for (const input::MenuItem& item : input::MENU_ITEMS) menuEntries.push_back({item.label, item.value});
    s.mainWindow = render::initGraphics(&argc, argv, s.windowWidth, s.windowHeight, s.smoothShading, callbacks.main,
                                        menuEntries);
    // Closing the window returns from the main loop, so it ends through
    // shutdown like esc does instead of freeglut ending the process.
    glutSetOption(GLUT_ACTION_ON_WINDOW_CLOSE, GLUT_ACTION_GLUTMAINLOOP_RETURNS);
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
    input::reportAutosave(out);
    if (!commandLine.sceneFile.empty()) {
        input::CommandContext ctx = commands();
        input::loadFromFile(ctx, commandLine.sceneFile);
    }
    // Says in one line when there is no audio device; the program runs on
    // silently then.
    sound = std::make_unique<audio::LiveOutput>(out, physics::FIXED_STEP);
    // Frames come from a timer, not from an idle callback: between frames
    // the program sleeps.
    frameTimer_ = callbacks.frameTimer;
    scheduleNextFrame();
    glutMainLoop();
    shutdown();
    return 0;
}

}  // namespace app
