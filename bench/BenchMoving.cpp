// The cost of moving pieces: a world of 20 lifts and 20 switches, each
// with balls going through, against the same track without moving parts.
#include <chrono>
#include <cstdlib>
#include <memory>
#include <sstream>
#include <string>
#include <unistd.h>

#include <glm/gtc/quaternion.hpp>

#include "Bench.h"
#include "klotz/Catalogue.h"
#include "physics/Actors.h"
#include "physics/Physics.h"
#include "scene/SceneModel.h"

namespace {

// The shipped set, read in its folder (where the program writes its caches).
const klotz::KlotzCatalogue* shipped() {
    static std::unique_ptr<klotz::KlotzCatalogue> catalogue = [] {
        auto c = std::make_unique<klotz::KlotzCatalogue>();
        const char* env = std::getenv("TUMBALON_DATA");
        char here[4096];
        if (!getcwd(here, sizeof here) || chdir(env ? env : "data") != 0) return c;
        std::ostringstream quiet;
        klotz::loadCatalogueList(*c, quiet);
        klotz::loadKloetze(*c, quiet);
        if (chdir(here) != 0) c->klotzTypes.clear();
        return c;
    }();
    return catalogue.get();
}

int typeNamed(const std::string& name) {
    for (int t = 0; t < shipped()->typeCount(); ++t)
        if (shipped()->klotzTypes[t].name == name) return t;
    return -1;
}

// Twenty lanes: a straight feeding a lift with two balls, and a straight
// feeding a switch with three; with moving=false the lifts are straights
// and the switches splitters, their shape without the bar.
double simSpeedMovingPieces(bool moving) {
    const int lift = typeNamed(moving ? "lift" : "straight"), turn = typeNamed(moving ? "switch" : "splitter");
    const int straight = typeNamed("straight");
    if (lift < 0 || turn < 0 || straight < 0) return -1;
    double best = 0;
    for (int run = 0; run < 3; ++run) {
        physics::PhysicsWorld world;
        scene::SceneModel model;
        const auto place = [&](int type, int row, int column) {
            physics::Pose pose;
            pose.translation = scene::levelCentre(row, column, 0);
            model.makeKlotzActor(*shipped(), world, type, pose);
        };
        const auto ball = [&](int row, int column, float dx) {
            const physics::ActorHandle b = physics::createBallActor(world);
            world.setGlobalPosition(b, scene::levelCentre(row, column, 0) + glm::vec3(dx, -13, 0));
            world.setLinearVelocity(b, {60, 0, 0});
        };
        for (int k = 0; k < 20; ++k) {
            const int column = k < 10 ? 2 * k : 2 * (k - 10);
            const int row = k < 10 ? 2 : 12;
            place(straight, row, column);
            place(lift, row + 1, column);
            place(straight, row + 5, column);
            place(turn, row + 6, column);
            ball(row, column, -15);
            ball(row, column, 5);
            for (float dx : {-20.0f, -2.0f, 16.0f}) ball(row + 5, column, dx);
        }
        world.simulate(0.5f);  // past the start
        const auto start = std::chrono::steady_clock::now();
        for (int i = 0; i < 100; ++i) world.simulate(0.01f);
        const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        best = std::max(best, 1.0 / seconds);
    }
    return best;
}

}  // namespace

BENCH_FIGURE(sim_speed_20_lifts_20_switches) { return simSpeedMovingPieces(true); }
BENCH_FIGURE(sim_speed_20_lifts_20_switches_without_parts) { return simSpeedMovingPieces(false); }
