// The run report's sections for sharing and fixing a run: the bill of
// pieces and, when the run was repeated, where it fails.
#pragma once

#include <string>

#include "app/RunReport.h"

namespace app {

// The run's picture as an inline image; empty without one.
std::string pictureSectionHtml(const RunReportInput& input);

// A table of every klotz type used and how many; empty without parts.
std::string partsSectionHtml(const RunReportInput& input);

// The top view with the cells where balls left the track shaded by how
// often, a bar per ball for its share of runs home, and the weak spots as a
// list; empty without a robustness result.
std::string robustnessSectionHtml(const RunReportInput& input);

}  // namespace app
