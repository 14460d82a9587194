// The running program: everything the GLUT callbacks reach, in one owner,
// and the handlers they call (one per callback). Its GL side lives in
// ProgramGl.cpp; GlutAppGl.cpp only forwards GLUT's events here.
#pragma once

#include <iostream>
#include <memory>

#include "app/AppState.h"
#include "app/BackgroundCheck.h"
#include "app/FrameClock.h"
#include "app/RewindHold.h"
#include "audio/LiveOutput.h"
#include "image/TextureRegistry.h"
#include "klotz/Catalogue.h"
#include "particles/ParticleSystem.h"
#include "physics/ErrorReporter.h"
#include "physics/Physics.h"
#include "render/Graphics.h"
#include "render/Hud.h"
#include "render/Marker.h"
#include "render/Resources.h"
#include "render/StatusLine.h"
#include "render/SubWindow.h"
#include "input/Commands.h"
#include "input/EditSession.h"
#include "input/Feedback.h"
#include "input/Mouse.h"
#include "input/UiHooks.h"
#include "run/Run.h"
#include "scene/SceneModel.h"
#include "view/Camera.h"
#include "view/Palette.h"

namespace app {

class Program;

// What the commands ask of the window system, done with GLUT and GL.
class GlutUi : public input::UiHooks {
public:
    explicit GlutUi(Program& program) : program_(program) {}
    void applyPolygonMode(bool wireframe) override;
    void setBuildingControls(bool shown) override;
    void applyShadeModel(bool smooth) override;
    int replaceTypeDisplayList(int type, int oldList, bool smooth) override;
    void printHelp() override;
    void exitProgram() override;
    void stepTaken(const physics::StepContacts& contacts, double runTime) override;
    void toggleSound() override;
    void runStopped() override;
    void saveScreenshot() override;
    void startRobustnessCheck() override;

private:
    Program& program_;
};

// The GLUT callbacks of both windows; GlutAppGl.cpp defines them as one-line
// forwards to the program.
struct GlutCallbacks {
    render::MainWindowCallbacks main;
    void (*frameTimer)(int);
    void (*subWindowDisplay)();
    void (*subWindowMouse)(int, int, int, int);
    void (*windowClosed)();
    void (*passiveMotion)(int, int);  // the pointer over the main window, no button held
    void (*entry)(int);               // the pointer entered or left the main window
};

class Program {
public:
    // Runs the start-up sequence and the GLUT main loop; returns the exit
    // status. A scene file named on the command line is loaded once the
    // start-up is done.
    int run(int argc, char** argv, const GlutCallbacks& callbacks);

    // The frame timer fired: both windows are due for a redraw.
    void frameDue();
    void display();
    void reshape(int width, int height);
    void keyboard(unsigned char key);
    void keyboardUp(unsigned char key);
    void special(int key);
    void mouse(int button, int buttonState, int x, int y);
    void motion(int x, int y);
    void menu(int value);
    void subWindowDisplay();
    void subWindowMouse(int button, int buttonState, int x, int y);
    void passiveMotion(int x, int y);
    void pointerLeft();

    // The pointer's clicks after the look anchor is set: select, place and
    // turn the ghost (ProgramHud.cpp).
    void pointerEvent(int button, int buttonState, int x, int y, bool shift);
    // The status line's message after a key that otherwise says nothing.
    void noteKey(const input::BeforeCommand& before, unsigned char key);
    void showMessage(const std::string& text);
    // Pointed cell, ghost, status line and help for the frame at now.
    render::HudView hudView(double now);

    // The window manager closed the main window: the main loop returns and
    // the program ends as on esc; no GLUT call may touch the window again.
    void windowClosed();
    // Esc: ends through shutdown, unless the unsaved changes could be
    // written nowhere (then once more esc leaves without them). Returns
    // whether the program is to end.
    bool leave();
    // A termination signal arrived (seen by the frame loop): the work is
    // saved and the program ends with status 0.
    void endOnSignal(int signal);
    // The display connection is gone: the autosave, and nothing that needs
    // the window.
    void connectionLost();

    // Writes unsaved changes to the autosave file (unless saveWork is
    // false), then releases everything the start-up made; prints "exiting".
    void shutdown(bool saveWork = true);

    // The command layer's view of all this; valid once the world and the
    // particle system exist.
    input::CommandContext commands() {
        return {state, model,   catalogue, *world, camera, palette, *particles, ui, session, currentRun,
                [this] { return clock.now(); }, std::cout, std::cin};
    }

    AppState state;
    bool screenshotDue = false;  // F12: saved after the next drawn frame
    BackgroundCheck robustnessCheck;  // F9
    std::string robustnessLine;       // the last check's summary, shown with g
    std::vector<run::KlotzPlace> weakPlaces;  // and where its balls left the track
    FrameClock clock;
    klotz::KlotzCatalogue catalogue;
    scene::SceneModel model;
    input::EditSession session;
    run::Run currentRun;  // the current or last run
    std::string runLog;   // --log-runs: where each run's results go
    physics::ErrorReporter reporter{std::cout, std::cin};
    std::unique_ptr<physics::PhysicsWorld> world;          // from "init physics"
    std::unique_ptr<particles::ParticleSystem> particles;  // from "init particle system"
    view::Camera camera;
    view::Palette palette;
    render::SubWindowState subWindow{palette};
    render::RenderResources resources;
    render::MarkerAnimation marker;
    std::unique_ptr<image::TextureRegistry> textures;  // from "init graphics"
    std::unique_ptr<audio::LiveOutput> sound;          // from entering the main loop
    GlutUi ui{*this};
    RewindHold rewind;  // b held while paused
    input::Pointer pointer;
    render::StatusMessage message;
    bool helpShown = false;  // the help overlay (F1)
    std::vector<std::vector<render::Opening>> openings;  // per klotz type, for the ghost

private:
    // Home, F5-F8 and loading: the camera sees the whole construction (the
    // start pose for an empty scene).
    void frameConstruction();

    // Arms the frame timer for when the next frame is due, once.
    void scheduleNextFrame();
    // Hands what the console typed to a waiting prompt.
    void pollConsole();

    void (*frameTimer_)(int) = nullptr;
    bool frameTimerPending_ = false;
    bool windowGone_ = false;
    std::string notice_;        // shown in the window until noticeUntil_
    double noticeUntil_ = 0.0;  // frame clock, seconds
};

}  // namespace app
