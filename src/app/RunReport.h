// The run report of tumbalon-sim --report: one self-contained XHTML page
// (inline SVG and CSS, no scripts, nothing fetched) with a top view of the
// grid and the balls' paths, a table of the balls and a speed plot per ball.
#pragma once

#include <string>
#include <vector>

#include "app/PartsList.h"
#include "app/Robustness.h"
#include "app/Simulator.h"
#include "klotz/Catalogue.h"
#include "scene/SceneModel.h"

namespace app {

struct RunReportInput {
    std::string sceneName;
    double seconds = 0.0;  // simulated time
    const scene::SceneModel& model;
    const klotz::KlotzCatalogue& catalogue;
    const std::vector<BallReport>& balls;  // with their paths
    const std::vector<PartCount>* parts = nullptr;          // the bill of pieces
    const RobustnessResult* robustness = nullptr;           // the repeated runs, when asked
    std::string picturePng{};                                // a PNG file's bytes: the run seen from the start camera
};

std::string runReportPage(const RunReportInput& input);

// Text made safe inside XML elements and attribute values.
std::string escapeXml(const std::string& text);

}  // namespace app
