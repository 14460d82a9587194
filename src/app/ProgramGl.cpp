// The running program's start-up, frame and event handlers, and the GLUT
// side of the command layer's hooks.
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <iostream>

#include <GL/freeglut.h>

#include "app/CommandLine.h"
#include "app/ConsoleInput.h"
#include "app/FrameLoop.h"
#include "app/Help.h"
#include "app/Program.h"
#include "app/Simulator.h"
#include "app/Screenshot.h"
#include "scene/Snapshot.h"
#include "image/TextureRegistryGl.h"
#include "io/Result.h"
#include "klotz/DisplayLists.h"
#include "input/Keyboard.h"
#include "input/Keys.h"
#include "input/Menu.h"
#include "input/SpecialKeys.h"
#include "particles/ParticleDraw.h"
#include "render/CameraView.h"
#include "render/Graphics.h"
#include "render/SceneRenderer.h"
#include "input/Keyboard.h"
#include "input/Menu.h"
#include "input/SpecialKeys.h"
#include "run/Simulation.h"
#include "run/SoundEvents.h"
#include "view/Framing.h"
#include "view/Palette.h"

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
    klotz::KlotzCatalogue& catalogue = program_.catalogue;
    if (type < static_cast<int>(catalogue.partDisplayLists.size())) {
        std::vector<int>& parts = catalogue.partDisplayLists[type];
        klotz::deleteDisplayLists(parts);
        parts.clear();
        for (const klotz::KlotzPart& part : catalogue.klotzTypes[type].parts)
            parts.push_back(klotz::buildDisplayList(part.mesh, smooth));
    }
    return klotz::buildDisplayList(catalogue.klotzTypes[type].mesh, smooth);
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

void GlutUi::saveScreenshot() { program_.screenshotDue = true; }

void GlutUi::startRobustnessCheck() {
    if (program_.robustnessCheck.start(scene::captureScene(program_.model, program_.state).scene,
                                       program_.catalogue, RobustnessOptions{}.runs))
        std::cout << "robustness check of the scene started\n" << std::flush;
}

void GlutUi::exitProgram() {
    if (program_.leave()) std::exit(0);
}

namespace {

constexpr double NOTICE_SECONDS = 15.0;

}  // namespace

void Program::windowClosed() {
    windowGone_ = true;
    if (world && particles) {
        input::CommandContext ctx = commands();
        input::cancelPrompt(ctx);
    }
}

bool Program::leave() {
    const bool unsaved = input::hasUnsavedChanges(model, state, session);
    if (unsaved && !input::autosave(model, state, session, std::cout) && !session.exitRefused) {
        session.exitRefused = true;
        std::cout << "save the changes with the menu's save, or press esc again to leave without them\n";
        std::cout.flush();
        return false;
    }
    shutdown(false);
    return true;
}

void Program::endOnSignal(int signal) {
    std::cout << "\nsignal " << signal << " received\n";
    if (world && particles) {
        input::CommandContext ctx = commands();
        input::cancelPrompt(ctx);
    }
    shutdown();
}

void Program::connectionLost() {
    std::cout << "\nthe connection to the display was lost\n";
    input::autosave(model, state, session, std::cout);
    std::cout << "exiting";
    std::cout.flush();
}

void Program::pollConsole() {
    if (!world || !particles) return;
    input::CommandContext ctx = commands();
    if (!input::promptWaiting(ctx)) return;
    std::string bytes;
    switch (readConsoleNow(bytes)) {
        case ConsoleRead::Nothing: return;
        case ConsoleRead::Bytes: input::answerConsoleInput(ctx, bytes); return;
        case ConsoleRead::Ended: input::consoleInputEnded(ctx); return;
    }
}

void Program::frameDue() {
    frameTimerPending_ = false;
    // After a close the timer may still fire once inside the same loop pass.
    if (windowGone_) return;
    pollConsole();
    if (!state.simulationRunning) input::autosaveWhenDue(model, state, session, clock.now(), std::cout);
    glutSetWindow(state.mainWindow);
    if (glutGetWindow() != state.mainWindow) return;
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
    if (s.simulationRunning && s.simulationPaused) {
        const long back = rewindSteps(rewind, s.frameTime, run::playbackSpeed(s, currentRun), physics::FIXED_STEP);
        if (back > 0) {
            input::CommandContext ctx = commands();
            run::RunContext r = input::runContext(ctx);
            run::stepBack(r, back);
        }
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
    if (!notice_.empty() && s.frameTime < noticeUntil_) view.overlay.push_back(notice_);
    view.insight = &currentRun.insight;
    view.clearLook = s.clearLook;
    view.catalogue = &catalogue;
    view.drawHud = [this, now = s.frameTime] { render::drawHud(hudView(now)); };
    if (std::optional<RobustnessResult> result = robustnessCheck.takeResult()) {
        for (const std::string& line : formatRobustness(*result)) std::cout << line << "\n";
        std::cout.flush();
        robustnessLine = formatRobustness(*result).back();
        weakPlaces.clear();
        for (const WeakSpot& w : result->weakSpots)
            if (w.place.known()) weakPlaces.push_back(w.place);
    }
    view.weakPlaces = weakPlaces;
    const std::string progress = robustnessCheck.progress();
    if (!progress.empty())
        view.overlay.push_back(progress);
    else if (s.insightShown && !robustnessLine.empty())
        view.overlay.push_back(robustnessLine);
    render::renderScene(view);
    if (screenshotDue) {
        screenshotDue = false;
        app::saveScreenshot(s.mainWindow, std::cout);
    }

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
    if (helpShown && key == input::KEY_ESCAPE) {  // esc first closes the help
        helpShown = false;
        return;
    }
    input::CommandContext ctx = commands();
    // While a prompt waits only esc counts: it cancels the prompt.
    if (input::promptWaiting(ctx)) {
        if (key == input::KEY_ESCAPE) input::cancelPrompt(ctx);
        return;
    }
    const bool running = state.simulationRunning;
    if (running && key == 'B') {
        run::RunContext r = input::runContext(ctx);
        if (!state.simulationPaused) run::togglePause(r);
        run::stepBack(r, currentRun.step - currentRun.record.firstStep());
        return;
    }
    // The key's auto-repeat: the frames rewind while b is held.
    if (running && state.simulationPaused && key == 'b' && !pressRewind(rewind, clock.now())) return;
    // Only the session keys' messages compare the scene before and after.
    const bool sessionKey = key == input::KEY_CTRL_Z || key == input::KEY_CTRL_Y || key == input::KEY_CTRL_C ||
                            key == input::KEY_CTRL_V || key == input::KEY_CTRL_S;
    const input::BeforeCommand before = sessionKey ? input::noteBefore(ctx) : input::BeforeCommand{};
    input::handleKey(ctx, key);
    noteKey(before, key);
}

void Program::keyboardUp(unsigned char key) {
    if (key == 'b' || key == 'B') releaseRewind(rewind, clock.now());
}

void Program::frameConstruction() {
    // The palette strip covers the bottom of the window while building.
    const float covered = state.simulationRunning || state.windowHeight <= 0
                              ? 0.0f
                              : static_cast<float>(view::PALETTE_HEIGHT) / static_cast<float>(state.windowHeight);
    view::frameConstruction(camera, scene::constructionCorners(model), covered);
}

namespace {

// What a load replaces, to tell whether it did.
bool sameConstruction(const scene::SceneModel& a, const std::vector<scene::PoseMatrix>& poses,
                      const std::vector<scene::BallStart>& starts) {
    if (a.placedPoses() != poses || a.ballStarts().size() != starts.size()) return false;
    for (std::size_t i = 0; i < starts.size(); ++i)
        if (a.ballStarts()[i].row != starts[i].row || a.ballStarts()[i].column != starts[i].column) return false;
    return true;
}

}  // namespace

void Program::special(int key) {
    if (key == input::KEY_F1) helpShown = !helpShown;
    input::CommandContext ctx = commands();
    if (input::promptWaiting(ctx)) return;
    switch (key) {
        case GLUT_KEY_HOME: frameConstruction(); return;
        case GLUT_KEY_F3: {
            state.clearLook = !state.clearLook;
            MainContext main(state.mainWindow);
            render::setMultisampling(state.clearLook);
            return;
        }
        default: break;
    }
    const bool building = !state.simulationRunning;
    input::handleSpecialKey(ctx, key);
    if (building && key >= GLUT_KEY_F5 && key <= GLUT_KEY_F8) frameConstruction();
}

void Program::mouse(int button, int buttonState, int x, int y) {
    input::CommandContext ctx = commands();
    if (input::promptWaiting(ctx)) return;
    input::handleMouseButton(ctx, button, buttonState, x, y);
    pointerEvent(button, buttonState, x, y, (glutGetModifiers() & GLUT_ACTIVE_SHIFT) != 0);
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
    const std::vector<scene::PoseMatrix> poses = model.placedPoses();
    const std::vector<scene::BallStart> starts = model.ballStarts();
    const input::BeforeCommand before = input::noteBefore(ctx);
    input::handleMenu(ctx, value);
    // A refused file leaves the scene, and the camera, as they were.
    if (value == input::MENU_LOAD && !sameConstruction(model, poses, starts)) frameConstruction();
    // A save says so in the window as ctrl+s does.
    if (value == input::MENU_SAVE) noteKey(before, input::KEY_CTRL_S);
}

void Program::subWindowDisplay() { render::drawSubWindow(subWindow, clock.now()); }

void Program::subWindowMouse(int button, int buttonState, int x, int y) {
    render::subWindowClick(subWindow, button, buttonState, x, y);
}

void Program::shutdown(bool saveWork) {
    robustnessCheck.stop();  // it reads the catalogue released below
    if (saveWork) input::autosave(model, state, session, std::cout);
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
    if (windowOpen)
        for (const std::vector<int>& lists : catalogue.partDisplayLists) klotz::deleteDisplayLists(lists);
    catalogue.partDisplayLists.clear();
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
    // Known before the first reshape, for framing a scene named on the command line.
    camera.aspectRatio = static_cast<float>(s.windowWidth) / static_cast<float>(s.windowHeight > 0 ? s.windowHeight : 1);
    glutPassiveMotionFunc(callbacks.passiveMotion);
    glutEntryFunc(callbacks.entry);
    // Closing the window returns from the main loop, so it ends through
    // shutdown like esc does instead of freeglut ending the process.
    glutSetOption(GLUT_ACTION_ON_WINDOW_CLOSE, GLUT_ACTION_GLUTMAINLOOP_RETURNS);
    glutCloseFunc(callbacks.windowClosed);
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
    catalogue.partDisplayLists = klotz::buildPartDisplayLists(catalogue, s.smoothShading);
    render::buildOutlineLists(resources, catalogue);
    openings = render::findOpenings(catalogue);
    out << "\nloading kloetze done\n";

    out << "init subwindow... ";
    s.subWindow = render::initSubWindow(subWindow, s.mainWindow, s.windowWidth, s.windowHeight, catalogue,
                                        {callbacks.subWindowDisplay, callbacks.subWindowMouse,
                                         callbacks.main.keyboard, callbacks.main.special},
                                        clock.now());
    glutSetWindow(s.mainWindow);
    out << "done\n";

    out << "entering glut main loop\n\n";
    notice_ = input::reportAutosave(out);
    noticeUntil_ = clock.now() + NOTICE_SECONDS;
    session.lastAutosaveCheck = clock.now();
    // Prompts are answered from the console as it is typed, between frames.
    session.prompt.polled = true;
    if (!commandLine.sceneFile.empty()) {
        input::CommandContext ctx = commands();
        input::loadFromFile(ctx, commandLine.sceneFile);
        if (!model.empty()) frameConstruction();
    }
    // Says in one line when there is no audio device; the program runs on
    // silently then.
    sound = std::make_unique<audio::LiveOutput>(out, physics::FIXED_STEP);
    // Frames come from a timer, not from an idle callback: between frames
    // the program sleeps.
    frameTimer_ = callbacks.frameTimer;
    scheduleNextFrame();
    glutMainLoop();
    if (world && particles) {
        input::CommandContext ctx = commands();
        input::cancelPrompt(ctx);
    }
    shutdown();
    return 0;
}

}  // namespace app
