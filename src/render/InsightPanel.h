// The run statistics panel (key g): its text, kept apart from the GL code
// that draws it over the scene.
#pragma once

#include <string>
#include <vector>

#include "run/RunInsight.h"

namespace render {

// At most maxLines lines (at least the heading): the run time, then one line
// per ball; when not all balls fit, the last line is "+N more".
std::vector<std::string> insightPanelLines(const run::RunInsight& insight, bool running, int maxLines);

// With the main window current, after the scene: the panel in the top-left
// corner of the viewport, as many lines as its height allows. GL state and
// matrices are left as they were.
void drawInsightPanel(const run::RunInsight& insight, bool running);

}  // namespace render
