// Everything the running program holds, in one record reached from the GLUT
// callbacks: the state flags, the clock, the catalogue, the scene, the
// physics world, the camera, the palette and the render resources.
#pragma once

#include <iostream>
#include <memory>

#include "app/AppState.h"
#include "app/FrameClock.h"
#include "klotz/Catalogue.h"
#include "particles/ParticleSystem.h"
#include "physics/ErrorReporter.h"
#include "physics/Physics.h"
#include "render/Camera.h"
#include "render/Marker.h"
#include "render/Palette.h"
#include "render/Resources.h"
#include "render/SubWindow.h"
#include "scene/Commands.h"
#include "scene/SceneModel.h"
#include "scene/UiHooks.h"

namespace app {

struct Program {
    AppState state;
    FrameClock clock;
    klotz::KlotzCatalogue catalogue;
    scene::SceneModel model;
    physics::ErrorReporter reporter{std::cout, std::cin};
    std::unique_ptr<physics::PhysicsWorld> world;  // from "init physics"
    std::unique_ptr<particles::ParticleSystem> particles;  // from "init particle system"
    render::Camera camera;
    render::Palette palette;
    render::SubWindowState subWindow{palette};
    render::RenderResources resources;
    render::MarkerAnimation marker;

    // The command layer's view of all this; valid once the world and the
    // particle system exist.
    scene::CommandContext commands(scene::UiHooks& ui) {
        return scene::CommandContext{state, model, catalogue, *world, camera, palette, *particles, ui,
                                     [this] { return clock.now(); }, std::cout, std::cin};
    }
};

}  // namespace app
