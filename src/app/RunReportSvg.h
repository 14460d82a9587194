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

// Ball b's speed from 0 to input.seconds, on a speed axis shared by all
// plots so they compare at a glance.
std::string speedPlotSvg(const RunReportInput& input, const BallReport& b);

// printf into a string of at most 511 characters.
std::string formatText(const char* pattern, ...) __attribute__((format(printf, 1, 2)));

// The run's highest ball speed rounded up to a round number: the top of the
// speed scale (colours and plots). Units per second.
float speedScale(const std::vector<BallReport>& balls);

}  // namespace app
