// Transition figures: a ball rolling at 250 units/s through the shipped
// concave bend (sag_1, sag_2: from a 45-degree ramp into flat track) and
// convex bend (crest_1 .. crest_4: from flat track into the ramp), and for
// comparison through the sharp kinks they replace. "Speed kept" is the
// speed leaving the bend against that of a loss-free rolling sphere after
// the same drop; "lift" the largest gap between ball and track. Pieces come
// from TUMBALON_DATA or ./data; figures are -1 when a piece is missing.
#include <cstdlib>
#include <map>
#include <sstream>
#include <string>

#include "Bench.h"
#include "klotz/ObjLoader.h"
#include "physics/PieceLayout.h"

namespace {

using piecelayout::Layout;
using piecelayout::Placed;

constexpr float SPEED = 250;  // units/s

const klotz::Mesh* shippedMesh(const std::string& name) {
    static std::map<std::string, klotz::Mesh> loaded;
    auto it = loaded.find(name);
    if (it == loaded.end()) {
        const char* env = std::getenv("TUMBALON_DATA");
        std::ostringstream quiet;
        io::Result<klotz::Mesh> mesh = klotz::loadObj(std::string(env ? env : "data") + "/" + name, quiet);
        it = loaded.emplace(name, mesh ? std::move(*mesh) : klotz::Mesh()).first;
    }
    return it->second.empty() ? nullptr : &it->second;
}

// A pass at SPEED through a layout without turn; empty when a piece is missing.
piecelayout::Pass run(const std::vector<Placed>& pieces,
                      piecelayout::Pass (*pass)(Layout&, float)) {
    Layout layout(shippedMesh, pieces, 0);
    if (!layout.missing().empty()) return {};
    return pass(layout, SPEED);
}

const piecelayout::Pass& sag() {
    static piecelayout::Pass p = run(piecelayout::sagLayout(), piecelayout::sagPass);
    return p;
}
const piecelayout::Pass& crest() {
    static piecelayout::Pass p = run(piecelayout::crestLayout(), piecelayout::crestPass);
    return p;
}
// The sharp kinks: a slope onto a straight in place of the concave bend,
// and a ramp of slopes after the straight in place of the convex one.
const piecelayout::Pass& sharpFoot() {
    static piecelayout::Pass p = run(piecelayout::sagLayout("slope", "straight"), piecelayout::sagPass);
    return p;
}
const piecelayout::Pass& sharpTop() {
    std::vector<Placed> ramp{{"straight", {-50, 0, 0}}};
    for (int k = 0; k < 6; ++k) ramp.push_back({"slope", {50.0f * k, -50.0f * (k + 1), 0}});
    static piecelayout::Pass p = run(ramp, piecelayout::crestPass);
    return p;
}

}  // namespace

BENCH_FIGURE(transition_concave_speed_kept_percent) { return sag().keptPercent; }
BENCH_FIGURE(transition_concave_max_lift) { return sag().maxLift; }
BENCH_FIGURE(transition_convex_speed_kept_percent) { return crest().keptPercent; }
BENCH_FIGURE(transition_convex_max_lift) { return crest().maxLift; }
BENCH_FIGURE(kink_concave_speed_kept_percent) { return sharpFoot().keptPercent; }
BENCH_FIGURE(kink_convex_max_lift) { return sharpTop().maxLift; }
