// Everything the input handlers (keyboard, special keys, mouse, pop-up menu)
// work on, gathered in one place. The GLUT callbacks and the tests build
// one and call the same handlers.
#pragma once

#include <functional>
#include <iosfwd>

#include "app/AppState.h"
#include "klotz/Catalogue.h"
#include "particles/ParticleSystem.h"
#include "physics/Physics.h"
#include "render/Camera.h"
#include "render/Palette.h"
#include "scene/SceneModel.h"
#include "scene/UiHooks.h"

namespace scene {

struct CommandContext {
    app::AppState& state;
    SceneModel& model;
    klotz::KlotzCatalogue& catalogue;
    physics::PhysicsWorld& world;
    render::Camera& camera;
    render::Palette& palette;
    particles::ParticleSystem& particles;
    UiHooks& ui;
    std::function<double()> now;  // frame clock, seconds
    std::ostream& out;            // console output
    std::istream& in;             // console input for the menu's prompts
};

}  // namespace scene
