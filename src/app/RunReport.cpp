#include "app/RunReport.h"

#include "app/RunReportSvg.h"

namespace app {

namespace {

// Light page, print-friendly; everything the page needs is in it.
const char* const STYLE = R"(
body { font-family: sans-serif; color: #222; background: #fff; margin: 1.5em; max-width: 1150px; }
h1 { font-size: 1.5em; margin-bottom: 0.2em; }
h2 { font-size: 1.2em; margin-top: 1.6em; border-bottom: 1px solid #ccc; }
p.note { color: #555; max-width: 60em; }
svg text { font-family: sans-serif; font-size: 11px; fill: #222; }
svg .axis text { text-anchor: middle; font-size: 10px; }
svg .axis text.right { text-anchor: end; }
svg .title { font-weight: bold; font-size: 12px; }
svg .type { text-anchor: middle; font-size: 8px; }
svg .height { font-size: 7px; }
svg .number { fill: #fff; text-anchor: middle; font-size: 9px; font-weight: bold; }
svg .label { font-weight: bold; font-size: 11px; stroke: #fff; stroke-width: 3px; paint-order: stroke; }
svg .start { fill: none; stroke: #000; stroke-width: 2; stroke-dasharray: 4 3; }
svg .path polyline { fill: none; stroke-width: 2.5; stroke-linecap: round; stroke-linejoin: round; }
svg .tick { stroke: #e2e2e2; }
svg .speed { fill: none; stroke: #2b59c3; stroke-width: 1.5; }
svg .event { stroke-width: 1.5; stroke-dasharray: 5 3; }
table { border-collapse: collapse; font-size: 0.9em; }
th { background: #1d4e5f; color: #fff; text-align: left; padding: 5px 8px; }
td { border-bottom: 1px solid #ddd; padding: 4px 8px; }
td.home { color: #2a7a32; font-weight: bold; }
td.problem { color: #b3261e; font-weight: bold; }
.plots { display: flex; flex-wrap: wrap; gap: 12px; }
dt { font-weight: bold; margin-top: 0.4em; }
)";

std::string tableRow(const BallReport& b) {
    const run::BallInsight& in = b.insight;
    const bool home = in.outcome == run::BallOutcome::HOME;
    std::string row = "<tr><td>" + std::to_string(b.ball) + "</td>";
    row += "<td>row " + std::to_string(b.row) + ", column " + std::to_string(b.column) + "</td>";
    row += std::string("<td class=\"") + (home ? "home" : "problem") + "\">" + run::outcomeName(in.outcome) + "</td>";
    row += "<td>" + (b.restTime >= 0.0 ? formatText("%.2f", b.restTime) : std::string("still moving")) + "</td>";
    row += "<td>" + formatText("%.0f", b.topSpeed) + "</td>";
    row += "<td>" + (in.lastOn.known() ? escapeXml(run::describePlace(in.lastOn)) : "none") + "</td>";
    if (in.leftTrack && in.lastOn.known())
        row += formatText("<td>at %.2f s, %.0f units/s</td>", in.lastOnTime, in.lastOnSpeed);
    else
        row += "<td>&#8212;</td>";
    return row + formatText("<td>%.0f, %.0f, %.0f</td></tr>\n", b.end.x, b.end.y, b.end.z);
}

std::string ballTable(const RunReportInput& input) {
    if (input.balls.empty()) return "<p>The scene has no ball starting points.</p>\n";
    std::string out =
        "<table>\n<tr><th>ball</th><th>start cell</th><th>outcome</th><th>at rest from (s)</th>"
        "<th>top speed (units/s)</th><th>last klotz touched (level 0: on the ground)</th>"
        "<th>left the track</th><th>end position x, y, z (units)</th></tr>\n";
    for (const BallReport& b : input.balls) out += tableRow(b);
    return out + "</table>\n";
}

const char* const OUTCOMES = R"(<dl>
<dt>home</dt><dd>at rest inside a goal (a klotz whose type name begins with "goal").</dd>
<dt>stopped</dt><dd>at rest on any other klotz: the run ends there too early.</dd>
<dt>floor</dt><dd>on the ground or against one of the four walls around the grid: the ball fell off the run.
The table names the klotz it last touched before that, with the time and its speed then.</dd>
<dt>moving</dt><dd>still under way when the simulated time ran out.</dd>
</dl>
)";

}  // namespace

std::string escapeXml(const std::string& text) {
    std::string out;
    for (char c : text) {
        switch (c) {
            case '&': out += "&amp;"; break;
            case '<': out += "&lt;"; break;
            case '>': out += "&gt;"; break;
            case '"': out += "&quot;"; break;
            case '\'': out += "&#39;"; break;
            default:
                // Control characters are not allowed in XML at all.
                if (static_cast<unsigned char>(c) >= 0x20 || c == '\n' || c == '\t') out += c;
        }
    }
    return out;
}

std::string runReportPage(const RunReportInput& input) {
    int home = 0;
    for (const BallReport& b : input.balls) home += b.insight.outcome == run::BallOutcome::HOME;
    const std::string name = escapeXml(input.sceneName);

    std::string page =
        "<!DOCTYPE html>\n<html xmlns=\"http://www.w3.org/1999/xhtml\" lang=\"en\">\n<head>\n"
        "<meta charset=\"utf-8\"/>\n<title>Run report: " +
        name + "</title>\n<style>" + STYLE + "</style>\n</head>\n<body>\n";
    page += "<h1>Run report: " + name + "</h1>\n";
    page += "<p><strong>" + std::to_string(home) + " of " + std::to_string(input.balls.size()) +
            " balls came home</strong> after " + formatText("%.2f", input.seconds) + " s of simulated time.</p>\n";
    page +=
        "<p class=\"note\">A tumbalon scene is a ball run built from blocks (kloetze) stacked on a 20 &#215; 20 "
        "grid of cells. Each ball drops from its start cell and rolls through the construction under gravity. "
        "Lengths are in world units: one cell is 50 units wide and one klotz 50 units high; speeds are in units "
        "per second.</p>\n";

    page +=
        "<h2>Top view</h2>\n<p class=\"note\">The grid seen from above. Each stack of kloetze is shaded by its "
        "height (small number: kloetze in the stack) and labelled with the type of its top klotz. Each ball's "
        "path is drawn coloured by its speed.</p>\n";
    page += topViewSvg(input) + "\n" + topViewLegendSvg(input) + "\n";

    page += "<h2>Balls</h2>\n" + ballTable(input) + OUTCOMES;

    page +=
        "<h2>Speed over time</h2>\n<p class=\"note\">Every ball on the same scale. Dashed lines mark when a "
        "ball left the track and from when it lay at rest.</p>\n<div class=\"plots\">\n";
    for (const BallReport& b : input.balls) page += speedPlotSvg(input, b) + "\n";
    page += "</div>\n</body>\n</html>\n";
    return page;
}

}  // namespace app
