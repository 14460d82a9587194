#include "input/SpecialKeys.h"

#include <ostream>

#include "input/EditSession.h"
#include "input/Editing.h"
#include "scene/SceneFile.h"

namespace input {

using namespace scene;

namespace {

struct DemoScene {
    const char* file;
    const char* message;  // names another file than the one loaded, as it always has
};

const DemoScene DEMO_SCENES[] = {
    {"demo1.tumbalon", "tried loading jollyride.tumbalon\n"},
    {"demo2.tumbalon", "tried loading twotowers.tumbalon\n"},
    {"demo3.tumbalon", "tried loading tarlo1.tumbalon\n"},
    {"demo4.tumbalon", "tried loading quib7.tumbalon\n"},
};

}  // namespace

void handleSpecialKey(CommandContext& ctx, int key) {
    const bool building = !ctx.state.simulationRunning;
    switch (key) {
        case KEY_F1: ctx.ui.printHelp(); return;
        case KEY_F2: rebuildTypeDisplayLists(ctx); return;
        case KEY_PAGE_UP: ctx.palette.previousRow(); return;
        case KEY_PAGE_DOWN: ctx.palette.nextRow(); return;
        case KEY_LEFT:
        case KEY_UP:
        case KEY_RIGHT:
        case KEY_DOWN:
            if (!building) return;
            if (ctx.state.klotzSelected)
                recordStep(ctx, [&] { moveTopKlotz(ctx, key); });
            else
                moveSelection(ctx, key);
            return;
        default: break;
    }
    if (key >= KEY_F5 && key <= KEY_F8 && building) {
        const DemoScene& demo = DEMO_SCENES[key - KEY_F5];
        bool loaded = false;
        recordStep(ctx, [&] { loaded = replaceScene(ctx, demo.file); });
        if (loaded) forgetSceneFile(ctx);  // Ctrl+S does not write over a demo
        ctx.out << demo.message;
        ctx.out.flush();
    }
}

void handleMouseButton(CommandContext& ctx, int /*button*/, int /*state*/, int x, int y) {
    ctx.camera.setLookAnchor(x, y);
}

void handleMouseMotion(CommandContext& ctx, int x, int y) { ctx.camera.lookAround(x, y); }

}  // namespace input
