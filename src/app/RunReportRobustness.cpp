#include "app/RunReportRobustness.h"

#include <algorithm>
#include <map>

#include "app/RunReportSvg.h"

namespace app {

namespace {

constexpr int BAR_WIDTH = 300;
constexpr int BAR_HEIGHT = 16;

std::string weakCellsSvg(const RobustnessResult& r) {
    // Failures per cell, whatever the level and type.
    std::map<std::pair<int, int>, int> perCell;
    for (const WeakSpot& w : r.weakSpots)
        if (w.place.known()) perCell[{w.place.row, w.place.column}] += w.failures;
    int most = 1;
    for (const auto& entry : perCell) most = std::max(most, entry.second);
    std::string out = "<g class=\"weak\">";
    for (const auto& entry : perCell) {
        const GridCellBox box = gridCellBox(entry.first.first, entry.first.second);
        const double strength = 0.25 + 0.65 * entry.second / most;
        out += formatText(
            "<rect x=\"%d\" y=\"%d\" width=\"%d\" height=\"%d\" fill=\"#d7301f\" fill-opacity=\"%.2f\" "
            "stroke=\"#8b1a10\" stroke-width=\"2\"><title>%d failures</title></rect>",
            box.x, box.y, box.side, box.side, strength, entry.second);
        out += formatText("<text x=\"%d\" y=\"%d\" class=\"label\">%d</text>", box.x + 3, box.y + box.side - 4,
                          entry.second);
    }
    return out + "</g>";
}

std::string shareBarsSvg(const RobustnessResult& r) {
    const int rows = static_cast<int>(r.ballHome.size());
    const int width = 70 + BAR_WIDTH + 90;
    const int height = rows * (BAR_HEIGHT + 6) + 6;
    std::string out = formatText(
        "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"%d\" height=\"%d\" viewBox=\"0 0 %d %d\" role=\"img\" "
        "aria-label=\"share of runs each ball came home\">",
        width, height, width, height);
    for (int i = 0; i < rows; ++i) {
        const double share = r.runs > 0 ? static_cast<double>(r.ballHome[i]) / r.runs : 0.0;
        const int y = 6 + i * (BAR_HEIGHT + 6);
        out += formatText("<text x=\"0\" y=\"%d\">ball %d</text>", y + BAR_HEIGHT - 4, i);
        out += formatText("<rect x=\"60\" y=\"%d\" width=\"%d\" height=\"%d\" fill=\"#f3d6d2\"/>", y, BAR_WIDTH,
                          BAR_HEIGHT);
        out += formatText("<rect x=\"60\" y=\"%d\" width=\"%.1f\" height=\"%d\" fill=\"%s\"/>", y, BAR_WIDTH * share,
                          BAR_HEIGHT, share >= 1.0 ? "#2a9d3a" : "#f0a020");
        out += formatText("<text x=\"%d\" y=\"%d\">%.0f%% (%d of %d)</text>", 66 + BAR_WIDTH, y + BAR_HEIGHT - 4,
                          100.0 * share, r.ballHome[i], r.runs);
    }
    return out + "</svg>";
}

std::string base64(const std::string& bytes) {
    static const char* const DIGITS = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    out.reserve((bytes.size() + 2) / 3 * 4);
    for (std::size_t i = 0; i < bytes.size(); i += 3) {
        const std::size_t n = std::min<std::size_t>(3, bytes.size() - i);
        unsigned v = 0;
        for (std::size_t k = 0; k < 3; ++k)
            v = v << 8 | (k < n ? static_cast<unsigned char>(bytes[i + k]) : 0u);
        for (std::size_t k = 0; k < 4; ++k) out += k <= n ? DIGITS[(v >> (18 - 6 * k)) & 63] : '=';
    }
    return out;
}

}  // namespace

std::string pictureSectionHtml(const RunReportInput& input) {
    if (input.picturePng.empty()) return "";
    return "<h2>Picture</h2>\n<p class=\"note\">The run as the start camera sees it.</p>\n"
           "<img alt=\"the run seen from the start camera\" style=\"max-width: 100%\" src=\"data:image/png;base64," +
           base64(input.picturePng) + "\"/>\n";
}

std::string partsSectionHtml(const RunReportInput& input) {
    if (!input.parts) return "";
    int pieces = 0;
    for (const PartCount& p : *input.parts) pieces += p.count;
    std::string out = "<h2>Parts</h2>\n<p class=\"note\">The pieces to rebuild this run: " + std::to_string(pieces) +
                      " kloetze of " + std::to_string(input.parts->size()) + " types.</p>\n";
    out += "<table class=\"parts\">\n<tr><th>Klotz type</th><th>Count</th></tr>\n";
    for (const PartCount& p : *input.parts)
        out += "<tr><td>" + escapeXml(p.type) + "</td><td>" + std::to_string(p.count) + "</td></tr>\n";
    return out + "</table>\n";
}

std::string robustnessSectionHtml(const RunReportInput& input) {
    if (!input.robustness) return "";
    const RobustnessResult& r = *input.robustness;
    std::string out = "<h2>Robustness</h2>\n";
    out += "<p><strong>" + std::to_string(r.allHome) + " of " + std::to_string(r.runs) +
           " runs brought every ball home</strong>, each run with every ball released a little off its start, a "
           "moment later and turning.</p>\n";
    out +=
        "<p class=\"note\">Cells where balls left the track, shaded by how often (the number: failures there).</p>\n";
    out += gridViewSvg(input, weakCellsSvg(r), "cells where balls left the track") + "\n";
    out += "<h3>Share of runs each ball came home</h3>\n" + shareBarsSvg(r) + "\n";
    if (r.weakSpots.empty()) return out + "<p>No weak spots: every ball came home in every run.</p>\n";
    out += "<h3>Weak spots</h3>\n<table class=\"weak\">\n<tr><th>Where balls left the track</th><th>Failures</th></tr>\n";
    for (const WeakSpot& w : r.weakSpots) {
        const std::string where = w.place.known() ? run::describePlace(w.place) : "before touching any klotz";
        out += "<tr><td>" + escapeXml(where) + "</td><td>" + std::to_string(w.failures) + "</td></tr>\n";
    }
    return out + "</table>\n";
}

}  // namespace app
