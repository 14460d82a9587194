// The running program: everything the GLUT callbacks reach, in one owner,
// and the handlers they call (one per callback). Its GL side lives in
// ProgramGl.cpp; GlutAppGl.cpp only forwards GLUT's events here.
#pragma once

#include <iostream>
#include <memory>

#include "app/AppState.h"
#include "app/FrameClock.h"
#include "audio/LiveOutput.h"
#include "image/TextureRegistry.h"
#include "klotz/Catalogue.h"
#include "particles/ParticleSystem.h"
#include "physics/ErrorReporter.h"
#include "physics/Physics.h"
#include "render/Graphics.h"
#include "render/Marker.h"
#include "render/Resources.h"
#include "render/SubWindow.h"
#include "input/Commands.h"
#include "input/EditSession.h"
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
    void special(int key);
    void mouse(int button, int buttonState, int x, int y);
    void motion(int x, int y);
    void menu(int value);
    void subWindowDisplay();
    void subWindowMouse(int button, int buttonState, int x, int y);

    // Writes unsaved changes to the autosave file, then releases everything
    // the start-up made; prints "exiting".
    void shutdown();

    // The command layer's view of all this; valid once the world and the
    // particle system exist.
    input::CommandContext commands() {
        return {state, model,   catalogue, *world, camera, palette, *particles, ui, session, currentRun,
                [this] { return clock.now(); }, std::cout, std::cin};
    }

    AppState state;
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

private:
    // Arms the frame timer for when the next frame is due, once.
    void scheduleNextFrame();

    void (*frameTimer_)(int) = nullptr;
    bool frameTimerPending_ = false;
};

}  // namespace app
