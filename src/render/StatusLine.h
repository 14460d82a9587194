// The status line along the bottom of the scene: where the selection is,
// which piece the next insert gives and how it is turned, the mode, and a
// short message after a command that otherwise says nothing, fading after
// a few seconds. The text is made here; StatusLineGl.cpp draws it.
#pragma once

#include <string>

#include "klotz/Catalogue.h"
#include "scene/SceneModel.h"
#include "scene/SceneState.h"
#include "view/Palette.h"

namespace render {

constexpr double MESSAGE_SECONDS = 3.0;  // fully shown
constexpr double MESSAGE_FADE = 1.0;     // then fading out

struct StatusMessage {
    std::string text;
    double shownAt = 0.0;  // frame clock seconds
};

// "row 10  column 11  level 2 | straight, turned 90 | building"; the mode is
// building, running or paused, and a selected klotz is named as such.
std::string statusLine(const scene::SceneState& state, const scene::SceneModel& model, const view::Palette& palette,
                       const klotz::KlotzCatalogue& catalogue);

// 1 while fresh, falling to 0 over the fade; 0 for an empty message.
float messageOpacity(const StatusMessage& message, double now);

}  // namespace render
