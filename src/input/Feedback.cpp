#include "input/Feedback.h"

#include <filesystem>
#include <vector>

#include "input/EditSession.h"

namespace input {

using namespace scene;

namespace {

std::vector<int> typesOf(const SceneFileData& scene, int cell) {
    std::vector<int> types;
    for (int i : scene.cellStack[static_cast<std::size_t>(cell)])
        types.push_back(i >= 0 && i < static_cast<int>(scene.klotzTypes.size()) ? scene.klotzTypes[i] : -1);
    return types;
}

std::string nameOf(const klotz::KlotzCatalogue& catalogue, int type) {
    return catalogue.validType(type) ? catalogue.klotzTypes[type].name : "klotz";
}

std::string at(int cell) { return std::to_string(cell / GRID_SIZE) + "," + std::to_string(cell % GRID_SIZE); }

}  // namespace

BeforeCommand noteBefore(const CommandContext& ctx) {
    return {captureScene(ctx.model, ctx.state), ctx.session.history.undoSteps(), ctx.session.history.redoSteps()};
}

std::string describeChange(const SceneFileData& from, const SceneFileData& to, const klotz::KlotzCatalogue& catalogue) {
    std::vector<int> changed;
    for (int c = 0; c < CELL_COUNT; ++c)
        if (typesOf(from, c) != typesOf(to, c)) changed.push_back(c);

    if (changed.size() == 1) {
        const int c = changed[0];
        const std::vector<int> a = typesOf(from, c);
        const std::vector<int> b = typesOf(to, c);
        if (b.size() == a.size() + 1) return "insert " + nameOf(catalogue, b.back()) + " at " + at(c);
        if (a.size() == b.size() + 1) return "delete " + nameOf(catalogue, a.back()) + " at " + at(c);
        if (b.size() > a.size()) return "add " + std::to_string(b.size() - a.size()) + " kloetze at " + at(c);
        return "change the stack at " + at(c);
    }
    if (changed.size() == 2) {
        // One cell lost its top, the other gained it: a move.
        for (int k = 0; k < 2; ++k) {
            const int gone = changed[k];
            const int came = changed[1 - k];
            if (typesOf(to, came).size() == typesOf(from, came).size() + 1 &&
                typesOf(from, gone).size() == typesOf(to, gone).size() + 1)
                return "move " + nameOf(catalogue, typesOf(to, came).back()) + " to " + at(came);
        }
    }
    if (!changed.empty()) return "change " + std::to_string(changed.size()) + " cells";

    // Same stacks: a turn, when a pose differs.
    for (int c = 0; c < CELL_COUNT; ++c)
        for (int i : to.cellStack[static_cast<std::size_t>(c)])
            if (i >= 0 && i < static_cast<int>(to.poses.size()) && i < static_cast<int>(from.poses.size()) &&
                to.poses[i] != from.poses[i])
                return "turn " + nameOf(catalogue, to.klotzTypes[i]) + " at " + at(c);

    for (int c = 0; c < CELL_COUNT; ++c) {
        const bool was = from.cellBallStart[c] != -1;
        const bool is = to.cellBallStart[c] != -1;
        if (!was && is) return "ball start at " + at(c);
        if (was && !is) return "remove ball start at " + at(c);
    }
    return "";
}

std::string keyMessage(const CommandContext& ctx, const BeforeCommand& before, unsigned char key) {
    if (ctx.state.simulationRunning) return "";
    const EditHistory& history = ctx.session.history;
    switch (key) {
        case KEY_CTRL_Z: {
            if (history.undoSteps() >= before.undoSteps && history.redoSteps() <= before.redoSteps)
                return "nothing to undo";
            // The step undone led from the scene now to the one before.
            const std::string what = describeChange(captureScene(ctx.model, ctx.state).scene, before.scene.scene,
                                                     ctx.catalogue);
            return "undo: " + (what.empty() ? std::string("selection") : what);
        }
        case KEY_CTRL_Y: {
            if (history.redoSteps() >= before.redoSteps) return "nothing to redo";
            const std::string what = describeChange(before.scene.scene, captureScene(ctx.model, ctx.state).scene,
                                                     ctx.catalogue);
            return "redo: " + (what.empty() ? std::string("selection") : what);
        }
        case KEY_CTRL_C: {
            if (stackSize(ctx.model, ctx.state.selectedRow, ctx.state.selectedColumn) == 0)
                return "nothing to copy: the cell is empty";
            return "copied stack of " + std::to_string(ctx.session.clipboard.types.size());
        }
        case KEY_CTRL_V:
            if (ctx.session.clipboard.empty()) return "nothing to paste: copy a stack with ctrl+c";
            return "pasted stack of " + std::to_string(ctx.session.clipboard.types.size());
        case KEY_CTRL_S: {
            const std::string& file = ctx.session.sceneFile;
            if (file.empty() || hasUnsavedChanges(ctx.model, ctx.state, ctx.session)) return "not saved";
            return "saved " + std::filesystem::path(file).filename().string();
        }
        default: return "";
    }
}

}  // namespace input
