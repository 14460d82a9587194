#include "input/Clipboard.h"

#include "input/Editing.h"

namespace input {

using namespace scene;

StackCopy copyStack(const CommandContext& ctx) {
    StackCopy copy;
    for (int i : ctx.model.cellStack()[cellIndex(ctx.state.selectedRow, ctx.state.selectedColumn)]) {
        copy.types.push_back(ctx.model.placedTypes()[i]);
        copy.turns.push_back(ctx.model.placedPoses()[i]);
    }
    return copy;
}

int pasteStack(CommandContext& ctx, const StackCopy& copy) {
    int placed = 0;
    for (std::size_t j = 0; j < copy.types.size(); ++j) {
        if (!ctx.catalogue.validType(copy.types[j])) continue;
        placeOnTop(ctx, copy.types[j], copy.turns[j]);
        ++placed;
    }
    return placed;
}

}  // namespace input
