// What the window tells the user about pointing and commands: the pointer's
// clicks, the status line's messages, and what the frame shows over the
// scene.
#include "app/HelpOverlay.h"
#include "app/Program.h"
#include "render/InsightPanel.h"

namespace app {

void Program::passiveMotion(int x, int y) {
    pointer.x = x;
    pointer.y = y;
}

void Program::pointerLeft() {
    pointer.x = -1;
    pointer.y = -1;
}

void Program::showMessage(const std::string& text) {
    message.text = text;
    message.shownAt = clock.now();
}

void Program::pointerEvent(int button, int buttonState, int x, int y, bool shift) {
    if (!world || !particles) return;
    input::CommandContext ctx = commands();
    const input::BeforeCommand before = input::noteBefore(ctx);
    const input::PointerAction action =
        input::pointerButton(ctx, pointer, button, buttonState, x, y, shift, state.windowWidth, state.windowHeight);
    if (action == input::PointerAction::PLACED)
        showMessage(input::describeChange(before.scene.scene, scene::captureScene(model, state).scene, catalogue));
}

void Program::noteKey(const input::BeforeCommand& before, unsigned char key) {
    if (key == 'y') {
        if (sound)
            showMessage(!sound->isEnabled() ? "sound off"
                        : sound->isOn()     ? "sound on"
                                            : "sound on, but there is no audio device");
        return;
    }
    input::CommandContext ctx = commands();
    const std::string text = input::keyMessage(ctx, before, key);
    if (!text.empty()) showMessage(text);
}

render::HudView Program::hudView(double now) {
    render::HudView hud;
    const bool building = !state.simulationRunning;
    if (building && pointer.x >= 0 && !pointer.pressed) {
        input::CommandContext ctx = commands();
        if (const auto cell = input::cellUnderPointer(ctx, pointer.x, pointer.y, state.windowWidth, state.windowHeight)) {
            hud.pointed = render::PointedCell{cell->row, cell->column, cell->level};
            const int type = palette.selectedType;
            // No ghost while a klotz is selected: ENTER would not insert then.
            if (!state.klotzSelected && catalogue.validType(type)) {
                hud.ghostList = catalogue.displayListOf(type);
                for (std::size_t k = 0; k < catalogue.klotzTypes[type].parts.size(); ++k)
                    hud.ghostPartLists.push_back(catalogue.partDisplayListOf(type, static_cast<int>(k)));
                hud.ghostTurn = palette.turn;
                if (static_cast<std::size_t>(type) < openings.size()) hud.openings = &openings[type];
            }
        }
    }
    hud.status = render::statusLine(state, model, palette, catalogue);
    hud.message = message.text;
    hud.messageOpacity = render::messageOpacity(message, now);
    hud.bottomMargin = building && state.subWindow ? view::PALETTE_HEIGHT : 0;
    if (state.insightShown) {
        // The statistics panel's band: 12-point lines of 15 pixels plus margins.
        const auto lines = render::insightPanelLines(currentRun.insight, state.simulationRunning, 1000).size();
        hud.topReserved = static_cast<int>(lines) * 15 + 16;
    }
    if (helpShown) hud.help = &helpOverlayLines();
    return hud;
}

}  // namespace app
