#include "app/RunReportSvg.h"

#include <algorithm>
#include <cmath>
#include <cstdarg>
#include <cstdio>

namespace app {

namespace {

// The top view: one grid cell is CELL_PX pixels; rows run to the right,
// columns upwards (x to the right, -z up: the grid seen from above).
constexpr int CELL_PX = 36;
constexpr int MAP_LEFT = 50;
constexpr int MAP_TOP = 12;
constexpr int MAP_SIDE = scene::GRID_SIZE * CELL_PX;
constexpr int MAP_WIDTH = MAP_LEFT + MAP_SIDE + 12;
constexpr int MAP_HEIGHT = MAP_TOP + MAP_SIDE + 48;

// Simulated seconds between two drawn points of a path.
constexpr double PATH_INTERVAL = 0.05;

// Speed classes, slow to fast; the page's legend explains them.
constexpr int SPEED_CLASSES = 5;
const char* const SPEED_COLOURS[SPEED_CLASSES] = {"#2b59c3", "#1b9e9e", "#5fb336", "#f0a020", "#d7301f"};
const char* const FLAG_COLOUR = "#e0115f";
const char* const REST_COLOUR = "#2a9d3a";

// 1, 2 or 5 times a power of ten, giving about `count` steps over range.
double niceStep(double range, int count) {
    const double raw = std::max(range, 1e-9) / count;
    const double power = std::pow(10.0, std::floor(std::log10(raw)));
    for (double m : {1.0, 2.0, 5.0})
        if (m * power >= raw) return m * power;
    return 10.0 * power;
}

int speedClass(float speed, float scale) {
    return std::clamp(static_cast<int>(speed / scale * SPEED_CLASSES), 0, SPEED_CLASSES - 1);
}

float mapX(glm::vec3 p) { return MAP_LEFT + p.x / scene::CELL_SIZE * CELL_PX; }
float mapY(glm::vec3 p) { return MAP_TOP + (scene::GRID_SIZE + p.z / scene::CELL_SIZE) * CELL_PX; }

int maxStackHeight(const scene::SceneModel& model) {
    std::size_t h = 0;
    for (const std::vector<int>& stack : model.cellStack()) h = std::max(h, stack.size());
    return static_cast<int>(h);
}

// Light sand for one klotz to dark brown for the highest stack.
std::string heightColour(int height, int maxHeight) {
    const float t = maxHeight > 1 ? static_cast<float>(height - 1) / static_cast<float>(maxHeight - 1) : 0.0f;
    auto mix = [t](int a, int b) { return static_cast<int>(std::lround(a + (b - a) * t)); };
    return formatText("#%02x%02x%02x", mix(232, 120), mix(214, 84), mix(170, 40));
}

std::string typeName(const RunReportInput& input, int placed) {
    const std::vector<int>& types = input.model.placedTypes();
    const int t = placed >= 0 && placed < static_cast<int>(types.size()) ? types[placed] : -1;
    return input.catalogue.validType(t) ? input.catalogue.klotzTypes[t].name : "?";
}

std::string stacksSvg(const RunReportInput& input) {
    const int maxHeight = maxStackHeight(input.model);
    std::string out;
    for (int row = 0; row < scene::GRID_SIZE; ++row)
        for (int column = 0; column < scene::GRID_SIZE; ++column) {
            const std::vector<int>& stack = input.model.cellStack()[scene::cellIndex(row, column)];
            if (stack.empty()) continue;
            const int h = static_cast<int>(stack.size());
            const int x = MAP_LEFT + row * CELL_PX;
            const int y = MAP_TOP + (scene::GRID_SIZE - 1 - column) * CELL_PX;
            const std::string top = escapeXml(typeName(input, stack.back()));
            const bool dark = maxHeight > 1 && 2 * (h - 1) > maxHeight - 1;
            out += formatText("<g><title>row %d, column %d: %d klotz%s, top: ", row, column, h, h == 1 ? "" : "e") +
                   top + "</title>";
            out += formatText("<rect x=\"%d\" y=\"%d\" width=\"%d\" height=\"%d\" fill=\"%s\"/>", x, y, CELL_PX,
                              CELL_PX, heightColour(h, maxHeight).c_str());
            // Long names are squeezed into the cell.
            const std::string fit =
                top.size() > 6 ? formatText(" textLength=\"%d\" lengthAdjust=\"spacingAndGlyphs\"", CELL_PX - 4) : "";
            out += formatText("<text x=\"%d\" y=\"%d\" class=\"type\" fill=\"%s\"%s>", x + CELL_PX / 2, y + CELL_PX - 5,
                              dark ? "#fff" : "#222", fit.c_str()) +
                   top + "</text>";
            out += formatText("<text x=\"%d\" y=\"%d\" class=\"height\" fill=\"%s\">%d</text></g>", x + 3, y + 10,
                              dark ? "#fff" : "#222", h);
        }
    return out;
}

std::string gridLinesAndAxesSvg() {
    std::string out = "<g stroke=\"#b9b2a2\" stroke-width=\"0.6\">";
    for (int i = 0; i <= scene::GRID_SIZE; ++i) {
        const int at = i * CELL_PX;
        out += formatText("<line x1=\"%d\" y1=\"%d\" x2=\"%d\" y2=\"%d\"/>", MAP_LEFT + at, MAP_TOP, MAP_LEFT + at,
                          MAP_TOP + MAP_SIDE);
        out += formatText("<line x1=\"%d\" y1=\"%d\" x2=\"%d\" y2=\"%d\"/>", MAP_LEFT, MAP_TOP + at,
                          MAP_LEFT + MAP_SIDE, MAP_TOP + at);
    }
    out += "</g><g class=\"axis\">";
    for (int i = 0; i < scene::GRID_SIZE; ++i) {
        out += formatText("<text x=\"%d\" y=\"%d\">%d</text>", MAP_LEFT + i * CELL_PX + CELL_PX / 2,
                          MAP_TOP + MAP_SIDE + 14, i);
        out += formatText("<text x=\"%d\" y=\"%d\">%d</text>", MAP_LEFT - 12,
                          MAP_TOP + (scene::GRID_SIZE - 1 - i) * CELL_PX + CELL_PX / 2 + 4, i);
    }
    out += formatText("<text x=\"%d\" y=\"%d\">row &#8594; (x, 50 units per cell)</text>", MAP_LEFT + MAP_SIDE / 2,
                      MAP_TOP + MAP_SIDE + 34);
    out += formatText(
        "<text transform=\"translate(%d %d) rotate(-90)\">column &#8594; (&#8722;z, 50 units per "
        "cell)</text>",
        MAP_LEFT - 32, MAP_TOP + MAP_SIDE / 2);
    return out + "</g>";
}

std::string ballStartsSvg(const RunReportInput& input) {
    std::string out;
    const std::vector<scene::BallStart>& starts = input.model.ballStarts();
    for (std::size_t i = 0; i < starts.size(); ++i) {
        const int x = MAP_LEFT + starts[i].row * CELL_PX;
        const int y = MAP_TOP + (scene::GRID_SIZE - 1 - starts[i].column) * CELL_PX;
        out += formatText("<circle cx=\"%d\" cy=\"%d\" r=\"%d\" class=\"start\"/>", x + CELL_PX / 2, y + CELL_PX / 2,
                          CELL_PX * 2 / 5);
        out += formatText("<circle cx=\"%d\" cy=\"%d\" r=\"7\" fill=\"#000\"/>", x + CELL_PX - 7, y + 7);
        out += formatText("<text x=\"%d\" y=\"%d\" class=\"number\">%zu</text>", x + CELL_PX - 7, y + 10, i);
    }
    return out;
}

// The path as polylines, one per run of points in the same speed class.
std::string pathSvg(const BallReport& b, float scale) {
    const int every = std::max(1, static_cast<int>(std::lround(PATH_INTERVAL / physics::FIXED_STEP)));
    std::vector<const PathPoint*> points;
    for (std::size_t i = 0; i < b.path.size(); i += every) points.push_back(&b.path[i]);
    if (!b.path.empty() && points.back() != &b.path.back()) points.push_back(&b.path.back());
    if (points.empty()) return "";

    std::string out;
    std::string line;
    int current = -1;
    for (std::size_t i = 1; i < points.size(); ++i) {
        const int c = speedClass(0.5f * (points[i - 1]->speed + points[i]->speed), scale);
        if (c != current) {
            if (!line.empty()) out += line + "\"/>";
            line = formatText("<polyline stroke=\"%s\" points=\"%.1f,%.1f", SPEED_COLOURS[c],
                              mapX(points[i - 1]->position), mapY(points[i - 1]->position));
            current = c;
        }
        line += formatText(" %.1f,%.1f", mapX(points[i]->position), mapY(points[i]->position));
    }
    if (!line.empty()) out += line + "\"/>";
    return "<g class=\"path\">" + out + "</g>";
}

std::string flagSvg(float x, float y) {
    return formatText("<path d=\"M%.1f,%.1f v-18 l11,4.5 l-11,4.5\" fill=\"%s\" stroke=\"#000\" stroke-width=\"1.2\"/>",
                      x, y, FLAG_COLOUR);
}

std::string markersSvg(const BallReport& b) {
    if (b.path.empty()) return "";
    const glm::vec3 first = b.path.front().position;
    const glm::vec3 last = b.path.back().position;
    std::string out =
        formatText("<circle cx=\"%.1f\" cy=\"%.1f\" r=\"4\" fill=\"#fff\" stroke=\"#000\"/>", mapX(first), mapY(first));
    out += formatText("<rect x=\"%.1f\" y=\"%.1f\" width=\"8\" height=\"8\" fill=\"#000\"/>", mapX(last) - 4,
                      mapY(last) - 4);
    out += formatText("<text x=\"%.1f\" y=\"%.1f\" class=\"label\">%d</text>", mapX(last) + 7, mapY(last) + 4, b.ball);
    if (b.insight.leftTrack && b.insight.lastOn.known())
        out += flagSvg(mapX(b.insight.lastOnPosition), mapY(b.insight.lastOnPosition));
    return out;
}

}  // namespace

std::string formatText(const char* pattern, ...) {
    char buf[512];
    va_list args;
    va_start(args, pattern);
    std::vsnprintf(buf, sizeof buf, pattern, args);
    va_end(args);
    return buf;
}

float speedScale(const std::vector<BallReport>& balls) {
    float top = 0.0f;
    for (const BallReport& b : balls) top = std::max(top, b.topSpeed);
    const double step = niceStep(top, SPEED_CLASSES);
    return static_cast<float>(std::max(50.0, std::ceil(top / step) * step));
}

std::string topViewSvg(const RunReportInput& input) {
    const float scale = speedScale(input.balls);
    std::string out = formatText(
        "<svg xmlns=\"http://www.w3.org/2000/svg\" class=\"map\" width=\"%d\" height=\"%d\" "
        "viewBox=\"0 0 %d %d\" role=\"img\" aria-label=\"top view of the grid\">",
        MAP_WIDTH, MAP_HEIGHT, MAP_WIDTH, MAP_HEIGHT);
    out += formatText("<rect x=\"%d\" y=\"%d\" width=\"%d\" height=\"%d\" fill=\"#f7f4ec\"/>", MAP_LEFT, MAP_TOP,
                      MAP_SIDE, MAP_SIDE);
    out += stacksSvg(input) + gridLinesAndAxesSvg() + ballStartsSvg(input);
    for (const BallReport& b : input.balls) out += pathSvg(b, scale);
    for (const BallReport& b : input.balls) out += markersSvg(b);
    return out + "</svg>";
}

std::string topViewLegendSvg(const RunReportInput& input) {
    const int maxHeight = maxStackHeight(input.model);
    const float scale = speedScale(input.balls);
    std::string out = formatText(
        "<svg xmlns=\"http://www.w3.org/2000/svg\" class=\"legend\" width=\"%d\" "
        "height=\"118\" viewBox=\"0 0 %d 118\">",
        MAP_WIDTH, MAP_WIDTH);
    out += "<text x=\"0\" y=\"14\">Stack height (kloetze, 50 units each):</text>";
    if (maxHeight == 0) out += "<text x=\"250\" y=\"14\">no kloetze placed</text>";
    for (int h = 1; h <= maxHeight && h <= 12; ++h) {
        const int x = 250 + (h - 1) * 40;
        out += formatText(
            "<rect x=\"%d\" y=\"2\" width=\"16\" height=\"16\" fill=\"%s\" stroke=\"#888\"/>"
            "<text x=\"%d\" y=\"14\">%d</text>",
            x, heightColour(h, maxHeight).c_str(), x + 20, h);
    }
    out += "<text x=\"0\" y=\"44\">Ball speed (units/s):</text>";
    const float width = scale / SPEED_CLASSES;
    for (int c = 0; c < SPEED_CLASSES; ++c) {
        const int x = 250 + c * 100;
        out += formatText(
            "<rect x=\"%d\" y=\"36\" width=\"22\" height=\"5\" fill=\"%s\"/>"
            "<text x=\"%d\" y=\"44\">%.0f&#8211;%.0f</text>",
            x, SPEED_COLOURS[c], x + 26, c * width, (c + 1) * width);
    }
    out +=
        "<circle cx=\"10\" cy=\"72\" r=\"9\" class=\"start\"/><text x=\"26\" y=\"76\">ball start cell "
        "(black dot: ball number)</text>";
    out +=
        "<circle cx=\"290\" cy=\"72\" r=\"4\" fill=\"#fff\" stroke=\"#000\"/><text x=\"300\" y=\"76\">where the "
        "path begins</text>";
    out +=
        "<rect x=\"496\" y=\"68\" width=\"8\" height=\"8\" fill=\"#000\"/><text x=\"510\" y=\"76\">where the ball "
        "ended (with its number)</text>";
    out += flagSvg(6, 112) +
           "<text x=\"26\" y=\"108\">where the ball left the track for good (its last contact "
           "with a klotz before it reached the floor)</text>";
    return out + "</svg>";
}

std::string speedPlotSvg(const RunReportInput& input, const BallReport& b) {
    constexpr int W = 360, H = 200, LEFT = 50, RIGHT = 12, TOP = 26, BOTTOM = 40;
    constexpr int PW = W - LEFT - RIGHT, PH = H - TOP - BOTTOM;
    const double seconds = std::max(input.seconds, physics::FIXED_STEP);
    const float scale = speedScale(input.balls);
    auto px = [&](double t) { return LEFT + t / seconds * PW; };
    auto py = [&](double v) { return TOP + PH - v / scale * PH; };

    std::string out = formatText(
        "<svg xmlns=\"http://www.w3.org/2000/svg\" class=\"plot\" width=\"%d\" height=\"%d\" "
        "viewBox=\"0 0 %d %d\">",
        W, H, W, H);
    out += formatText("<text x=\"%d\" y=\"16\" class=\"title\">ball %d: %s</text>", LEFT, b.ball,
                      run::outcomeName(b.insight.outcome));
    out += "<g class=\"axis\">";
    const double tStep = niceStep(seconds, 6);
    for (double t = 0.0; t <= seconds + 1e-9; t += tStep)
        out += formatText(
            "<line x1=\"%.1f\" y1=\"%d\" x2=\"%.1f\" y2=\"%d\" class=\"tick\"/><text x=\"%.1f\" "
            "y=\"%d\">%g</text>",
            px(t), TOP, px(t), TOP + PH, px(t), TOP + PH + 14, t);
    const double vStep = niceStep(scale, 4);
    for (double v = 0.0; v <= scale + 1e-6; v += vStep)
        out += formatText(
            "<line x1=\"%d\" y1=\"%.1f\" x2=\"%d\" y2=\"%.1f\" class=\"tick\"/><text x=\"%d\" "
            "y=\"%.1f\" class=\"right\">%g</text>",
            LEFT, py(v), LEFT + PW, py(v), LEFT - 4, py(v) + 4, v);
    out += formatText("<text x=\"%d\" y=\"%d\">time (s)</text>", LEFT + PW / 2, H - 6);
    out += formatText("<text transform=\"translate(14 %d) rotate(-90)\">speed (units/s)</text></g>", TOP + PH / 2);
    out += formatText("<rect x=\"%d\" y=\"%d\" width=\"%d\" height=\"%d\" fill=\"none\" stroke=\"#444\"/>", LEFT, TOP,
                      PW, PH);

    const int every = std::max(1, static_cast<int>(std::lround(PATH_INTERVAL / physics::FIXED_STEP)));
    std::string points = formatText("%.1f,%.1f", px(0.0), py(0.0));
    for (std::size_t i = 0; i < b.path.size(); i += every)
        points += formatText(" %.1f,%.1f", px(b.path[i].time), py(b.path[i].speed));
    if (!b.path.empty()) points += formatText(" %.1f,%.1f", px(b.path.back().time), py(b.path.back().speed));
    out += "<polyline class=\"speed\" points=\"" + points + "\"/>";

    // A dashed line at time t with its label beside it, inside the plot.
    auto event = [&](double t, int y, const char* colour, const char* label) {
        const double x = px(t);
        const bool left = x > LEFT + PW - 60;
        return formatText("<line x1=\"%.1f\" y1=\"%d\" x2=\"%.1f\" y2=\"%d\" stroke=\"%s\" class=\"event\"/>", x, TOP,
                          x, TOP + PH, colour) +
               formatText("<text x=\"%.1f\" y=\"%d\" fill=\"%s\"%s>", left ? x - 3 : x + 3, y, colour,
                          left ? " text-anchor=\"end\"" : "") +
               label + "</text>";
    };
    if (b.insight.leftTrack && b.insight.lastOn.known())
        out += event(b.insight.lastOnTime, TOP + 12, FLAG_COLOUR, "left track");
    if (b.restTime >= 0.0) out += event(b.restTime, TOP + 24, REST_COLOUR, "at rest");
    return out + "</svg>";
}

}  // namespace app
