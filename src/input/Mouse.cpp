#include "input/Mouse.h"

#include "input/Keyboard.h"

namespace input {

std::optional<view::PickedCell> cellUnderPointer(const CommandContext& ctx, int x, int y, int width, int height) {
    if (x < 0 || y < 0) return std::nullopt;
    const scene::SceneModel& model = ctx.model;
    return view::pickCell(view::pointerRay(ctx.camera, x, y, width, height),
                          [&model](int row, int column) { return scene::stackSize(model, row, column); });
}

void selectCell(CommandContext& ctx, int row, int column) {
    scene::SceneState& state = ctx.state;
    if (!scene::onGrid(row, column)) return;
    if (row != state.selectedRow || column != state.selectedColumn) state.klotzSelected = false;
    state.selectedRow = row;
    state.selectedColumn = column;
}

PointerAction pointerButton(CommandContext& ctx, Pointer& pointer, int button, int buttonState, int x, int y,
                            bool shift, int width, int height) {
    pointer.x = x;
    pointer.y = y;
    const bool building = !ctx.state.simulationRunning;
    if (button == WHEEL_UP || button == WHEEL_DOWN) {
        if (!building || buttonState != BUTTON_DOWN) return PointerAction::NONE;
        ctx.palette.turnGhost(button == WHEEL_UP ? +1 : -1);
        return PointerAction::TURNED;
    }
    if (buttonState == BUTTON_DOWN) {
        pointer.pressed = true;
        pointer.button = button;
        pointer.pressX = x;
        pointer.pressY = y;
        return PointerAction::NONE;
    }
    const bool wasClick = pointer.pressed && pointer.button == button && view::isClick(pointer.pressX, pointer.pressY, x, y);
    pointer.pressed = false;
    if (!building || !wasClick || (button != BUTTON_LEFT && button != BUTTON_RIGHT)) return PointerAction::NONE;

    const std::optional<view::PickedCell> cell = cellUnderPointer(ctx, x, y, width, height);
    if (!cell) return PointerAction::NONE;
    selectCell(ctx, cell->row, cell->column);
    if (button == BUTTON_LEFT && !shift) return PointerAction::SELECTED;
    // Placing is ENTER on that cell: the same insert and the same undo step.
    ctx.state.klotzSelected = false;
    const int before = ctx.model.placedCount();
    handleKey(ctx, KEY_ENTER);
    return ctx.model.placedCount() > before ? PointerAction::PLACED : PointerAction::SELECTED;
}

}  // namespace input
