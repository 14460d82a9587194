#include "input/Commands.h"

#include "run/Simulation.h"

namespace input {

using namespace scene;

run::RunContext runContext(CommandContext& ctx) {
    return {ctx.state, ctx.model, ctx.catalogue, ctx.world, ctx.camera, &ctx.particles, ctx.run, &ctx.ui, ctx.now,
            ctx.out};
}

void startSimulation(CommandContext& ctx) {
    run::RunContext r = runContext(ctx);
    run::startRun(r);
    ctx.ui.setBuildingControls(false);
}

void stopSimulation(CommandContext& ctx) {
    run::RunContext r = runContext(ctx);
    run::stopRun(r);
    ctx.ui.setBuildingControls(true);
    ctx.ui.runStopped();
}

void toggleWireframe(CommandContext& ctx) {
    ctx.state.wireframe = !ctx.state.wireframe;
    ctx.ui.applyPolygonMode(ctx.state.wireframe);
}

void clearSceneAndDisplay(CommandContext& ctx) {
    clearScene(ctx.model, ctx.state, ctx.world);
    ctx.ui.applyPolygonMode(false);
}

void rebuildTypeDisplayLists(CommandContext& ctx) {
    SceneState& state = ctx.state;
    klotz::KlotzCatalogue& catalogue = ctx.catalogue;
    state.smoothShading = !state.smoothShading;
    ctx.ui.applyShadeModel(state.smoothShading);
    if (catalogue.typeDisplayLists.size() < catalogue.klotzTypes.size())
        catalogue.typeDisplayLists.resize(catalogue.klotzTypes.size(), 0);
    for (int t = 0; t < catalogue.typeCount(); ++t) {
        const int oldList = catalogue.typeDisplayLists[t];
        catalogue.typeDisplayLists[t] = ctx.ui.replaceTypeDisplayList(t, oldList, state.smoothShading);
    }
    // By type rather than by old id: ids are not unique without GL.
    SceneModel& model = ctx.model;
    for (int i = 0; i < model.placedCount(); ++i) {
        const int t = model.placedTypes()[i];
        if (catalogue.validType(t)) model.setDisplayList(i, catalogue.typeDisplayLists[t]);
    }
}

}  // namespace input
