#include "render/StatusLine.h"

#include <sstream>

namespace render {

std::string statusLine(const scene::SceneState& state, const scene::SceneModel& model, const view::Palette& palette,
                       const klotz::KlotzCatalogue& catalogue) {
    std::ostringstream line;
    const int level = scene::stackSize(model, state.selectedRow, state.selectedColumn);
    line << "row " << state.selectedRow << "  column " << state.selectedColumn << "  level " << level;
    if (state.klotzSelected && level > 0) {
        const int top = model.stackAt(state.selectedRow, state.selectedColumn).back();
        const int type = model.placedTypes()[static_cast<std::size_t>(top)];
        line << " | selected: " << (catalogue.validType(type) ? catalogue.klotzTypes[type].name : "?");
    } else if (catalogue.validType(palette.selectedType)) {
        line << " | " << catalogue.klotzTypes[palette.selectedType].name << ", turned " << palette.turn * 90;
    }
    if (!state.simulationRunning)
        line << " | building";
    else
        line << (state.simulationPaused ? " | paused" : " | running");
    return line.str();
}

float messageOpacity(const StatusMessage& message, double now) {
    if (message.text.empty()) return 0.0f;
    const double age = now - message.shownAt;
    if (age < MESSAGE_SECONDS) return 1.0f;
    if (age >= MESSAGE_SECONDS + MESSAGE_FADE) return 0.0f;
    return static_cast<float>(1.0 - (age - MESSAGE_SECONDS) / MESSAGE_FADE);
}

}  // namespace render
