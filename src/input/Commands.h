// Everything the input handlers (keyboard, special keys, mouse, pop-up menu)
// work on, gathered in one place. The GLUT callbacks and the tests build
// one and call the same handlers.
#pragma once

#include <functional>
#include <iosfwd>

#include "input/UiHooks.h"
#include "klotz/Catalogue.h"
#include "particles/ParticleSystem.h"
#include "physics/Physics.h"
#include "run/Run.h"
#include "scene/SceneModel.h"
#include "scene/SceneState.h"
#include "view/Camera.h"
#include "view/Palette.h"

namespace input {

struct EditSession;

struct CommandContext {
    scene::SceneState& state;
    scene::SceneModel& model;
    klotz::KlotzCatalogue& catalogue;
    physics::PhysicsWorld& world;
    view::Camera& camera;
    view::Palette& palette;
    particles::ParticleSystem& particles;
    UiHooks& ui;
    EditSession& session;         // undo history, clipboard, the scene's file
    run::Run& run;                // the current or last run
    std::function<double()> now;  // frame clock, seconds
    std::ostream& out;            // console output
    std::istream& in;             // console input for the menu's prompts
};

// The run's view of the same things; the sound hears the steps.
run::RunContext runContext(CommandContext& ctx);

// The commands that several handlers share (keys, menu, function keys).

// Flips wireframe and applies the polygon mode (key m and the menu entry).
void toggleWireframe(CommandContext& ctx);

// F2: flips smoothShading and recompiles every type's display list; each
// placed klotz is re-pointed to its own type's new list.
void rebuildTypeDisplayLists(CommandContext& ctx);

// clearScene, with the polygon mode set back to filled so the display agrees
// with the cleared wireframe flag.
void clearSceneAndDisplay(CommandContext& ctx);

// l: building -> simulation, the palette and the menu go away; and back,
// where they come again.
void startSimulation(CommandContext& ctx);
void stopSimulation(CommandContext& ctx);

}  // namespace input
