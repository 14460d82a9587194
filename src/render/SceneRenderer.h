// One frame of the main window: the grid, then either the building picture
// (marker or highlighted klotz, kloetze, ball-start rings) or the simulation
// picture (kloetze and textured balls), then the particles and the run
// statistics panel when shown; ends with the buffer swap.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include <glm/glm.hpp>

#include "scene/SceneState.h"
#include "physics/Physics.h"
#include "render/Marker.h"
#include "render/Resources.h"
#include "render/SceneLayout.h"
#include "run/RunInsight.h"
#include "scene/SceneModel.h"

namespace render {

struct SceneView {
    const scene::SceneState& state;
    const scene::SceneModel& model;
    const physics::PhysicsWorld& world;
    const RenderResources& resources;
    MarkerAnimation& marker;  // advanced while the marker is drawn
    double now;               // frame clock, seconds
    glm::vec3 eye;            // the camera's position
    // Draws the particle system; empty: no particles.
    std::function<void()> drawParticles;
    // Feeds the particle system from a ball-start ring in building mode;
    // empty: no emission.
    std::function<void(const RingEmission&)> emitRing;
    // The process-wide generator, 0..32767.
    std::function<int()> nextRandom;
    // Lines drawn over the scene in the top-right corner: the status line.
    std::vector<std::string> overlay;
    // The current or last run, for the statistics panel; none: no panel.
    const run::RunInsight* insight = nullptr;
    // The clearer picture: dark creases and silhouettes on the kloetze, a
    // soft shadow under every ball, and balls hidden by track drawn through
    // it, dimmed. Off: the plain picture.
    bool clearLook = false;
    // Drawn last, over everything (pointer, ghost, status line, help); empty:
    // nothing.
    std::function<void()> drawHud = nullptr;
    // The moving parts' display lists; none: parts are not drawn.
    const klotz::KlotzCatalogue* catalogue = nullptr;
    // Where a robustness check saw balls leave the track, outlined in red
    // over the scene while the statistics panel is shown.
    std::vector<run::KlotzPlace> weakPlaces{};
};

// Precondition: the main window is current and updateCamera has loaded the
// projection matrix.
void renderScene(const SceneView& view);

}  // namespace render
