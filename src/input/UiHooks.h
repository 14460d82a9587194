// What the command layer asks of the window system. The GLUT layer
// implements it; tests use a recording fake, so commands run without GL.
#pragma once

#include "physics/Physics.h"
#include "run/Run.h"

namespace input {

// The window hears every step of a run (for its sound) as the run's
// step listener; nothing by default.
class UiHooks : public run::StepListener {
public:
    virtual ~UiHooks() = default;
    // Polygon mode: lines when wireframe, filled otherwise.
    virtual void applyPolygonMode(bool wireframe) = 0;
    // Building mode shows the palette strip and attaches the pop-up menu;
    // simulation mode hides and detaches them.
    virtual void setBuildingControls(bool shown) = 0;
    // GL_SMOOTH or GL_FLAT in the main window.
    virtual void applyShadeModel(bool smooth) = 0;
    // Deletes display list oldList and compiles type's mesh into a new one in
    // the main window's context (flat or smooth); returns the new id.
    virtual int replaceTypeDisplayList(int type, int oldList, bool smooth) = 0;
    virtual void printHelp() = 0;
    // Runs the shutdown sequence and ends the process with status 0.
    virtual void exitProgram() = 0;
    void stepTaken(const physics::StepContacts& /*contacts*/, double /*runTime*/) override {}
    // A run ended (key l): the program may keep its results.
    virtual void runStopped() {}
    // Key y: sound on or off.
    virtual void toggleSound() {}
};

// For the headless simulator: no window, nothing to do.
class NoUi : public UiHooks {
public:
    void applyPolygonMode(bool) override {}
    void setBuildingControls(bool) override {}
    void applyShadeModel(bool) override {}
    int replaceTypeDisplayList(int, int oldList, bool) override { return oldList; }
    void printHelp() override {}
    void exitProgram() override {}
};

}  // namespace input
