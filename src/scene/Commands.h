// Everything the input handlers (keyboard, special keys, mouse, pop-up menu)
// work on, gathered in one place. The GLUT callbacks and the tests build
// one and call the same handlers.
#pragma once

#include <functional>
#include <iosfwd>

#include "scene/SceneState.h"
#include "klotz/Catalogue.h"
#include "particles/ParticleSystem.h"
#include "physics/Physics.h"
#include "scene/Camera.h"
#include "scene/Palette.h"
#include "scene/RunInsight.h"
#include "scene/SceneModel.h"
#include "scene/UiHooks.h"

namespace scene {

struct EditSession;

struct CommandContext {
    SceneState& state;
    SceneModel& model;
    klotz::KlotzCatalogue& catalogue;
    physics::PhysicsWorld& world;
    scene::Camera& camera;
    scene::Palette& palette;
    particles::ParticleSystem& particles;
    UiHooks& ui;
    EditSession& session;         // undo history, clipboard, the scene's file
    std::function<double()> now;  // frame clock, seconds
    std::ostream& out;            // console output
    std::istream& in;             // console input for the menu's prompts
    // The outcomes of the current or last run; none where nobody asks.
    RunInsight* insight = nullptr;
};

// The commands that several handlers share (keys, menu, function keys).

// Flips wireframe and applies the polygon mode (key m and the menu entry).
void toggleWireframe(CommandContext& ctx);

// F2: flips smoothShading and recompiles every type's display list; each
// placed klotz is re-pointed to its own type's new list.
void rebuildTypeDisplayLists(CommandContext& ctx);

// clearScene, with the polygon mode set back to filled so the display agrees
// with the cleared wireframe flag.
void clearSceneAndDisplay(CommandContext& ctx);

}  // namespace scene
