#include "render/InsightPanel.h"
#include "render/TextOverlay.h"

namespace render {

void drawInsightPanel(const run::RunInsight& insight, bool running) {
    drawTextLines(insightPanelLines(insight, running, linesThatFit(TextSize::Small)), Corner::TopLeft,
                  TextSize::Small);
}

}  // namespace render
