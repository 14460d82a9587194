// Copy and paste of a whole cell stack: the types and turns of its kloetze,
// bottom first. Where a copy stood is not kept; a paste goes on top of the
// selected cell.
#pragma once

#include <vector>

#include "input/Commands.h"

namespace input {

struct StackCopy {
    std::vector<int> types;
    std::vector<scene::PoseMatrix> turns;  // only the rotation block counts
    bool empty() const { return types.empty(); }
};

// The selected cell's stack; empty when the cell is.
StackCopy copyStack(const CommandContext& ctx);
// Puts the copy on top of the selected cell's stack, each klotz turned as
// its original; an empty copy places nothing. Returns the kloetze placed.
int pasteStack(CommandContext& ctx, const StackCopy& copy);

}  // namespace input
