#include "render/InsightPanel.h"

#include <cstdio>

namespace render {

namespace {

std::string ballLine(int index, const run::BallInsight& b) {
    char rest[48];
    if (b.restTime < 0.0)
        std::snprintf(rest, sizeof rest, "not at rest");
    else
        std::snprintf(rest, sizeof rest, "at rest from %.2f s", b.restTime);
    char line[128];
    std::snprintf(line, sizeof line, "ball %d: %s, %s, top %.0f units/s", index, run::outcomeName(b.outcome), rest,
                  b.topSpeed);
    return line;
}

}  // namespace

std::vector<std::string> insightPanelLines(const run::RunInsight& insight, bool running, int maxLines) {
    if (!insight.started()) return {"no run yet: l starts one"};
    const std::vector<run::BallInsight>& balls = insight.balls();
    char heading[96];
    std::snprintf(heading, sizeof heading, "%s %.2f s, %d of %zu balls home", running ? "run time" : "last run",
                  insight.runTime(), insight.homeCount(), balls.size());
    std::vector<std::string> lines{heading};
    const int count = static_cast<int>(balls.size());
    const int room = maxLines - 1;
    if (room <= 0) return lines;
    // Every ball when they fit, else one line fewer for the "+N more".
    const int shown = count <= room ? count : room - 1;
    for (int i = 0; i < shown; ++i) lines.push_back(ballLine(i, balls[i]));
    if (shown < count) lines.push_back("+" + std::to_string(count - shown) + " more");
    return lines;
}

}  // namespace render
