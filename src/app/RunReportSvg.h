// The drawings of the run report: the top view of the grid with the balls'
// paths and its legend, and one speed-over-time plot per ball. SVG elements
// to be placed inline in the XHTML page.
#pragma once

#include <string>

#include "app/RunReport.h"

namespace app {

// The top view and, after it, its legend.
std::string topViewSvg(const RunReportInput& input);
std::string topViewLegendSvg(const RunReportInput& input);

// The top view's grid, stacks and ball starts with overlay (SVG elements)
// drawn over the stacks; label names the drawing for screen readers.
std::string gridViewSvg(const RunReportInput& input, const std::string& overlay, const std::string& label);
// Where a cell lies in that drawing: its top left corner and side, pixels.
struct GridCellBox {
    int x = 0;
    int y = 0;
    int side = 0;
};
GridCellBox gridCellBox(int row, int column);

// Ball b's speed from 0 to input.seconds, on a speed axis shared by all
// plots so they compare at a glance.
std::string speedPlotSvg(const RunReportInput& input, const BallReport& b);

// printf into a string of at most 511 characters.
std::string formatText(const char* pattern, ...) __attribute__((format(printf, 1, 2)));

// The run's highest ball speed rounded up to a round number: the top of the
// speed scale (colours and plots). Units per second.
float speedScale(const std::vector<BallReport>& balls);

}  // namespace app
