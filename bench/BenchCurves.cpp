// Curved-track figures: the lowest release height from which a ball
// completes a vertical loop (the textbook rolling ball needs 2.7 (R - r)),
// for loops of floor radius 50 and 100 in all four turns, and the speed a
// ball keeps through the shipped `curve`.
#include <algorithm>
#include <array>
#include <cstdlib>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "klotz/ObjLoader.h"

#include "Bench.h"
#include "physics/CurvedTrack.h"

namespace {

using namespace trackgeometry;

// Per radius, the threshold in each turn.
const std::array<float, 4>& loopThresholds(float radius) {
    static std::array<float, 4> r50{}, r100{};
    std::array<float, 4>& cached = radius < 75 ? r50 : r100;
    if (cached[0] == 0)
        for (int turn = 0; turn < 4; ++turn) cached[turn] = loopThreshold(Loop{radius, 30.0f, 60.0f}, turn);
    return cached;
}

double spreadPercent(const std::array<float, 4>& t) {
    const auto [lo, hi] = std::minmax_element(t.begin(), t.end());
    return 100.0 * (*hi - *lo) / *lo;
}

}  // namespace

BENCH_FIGURE(loop_min_release_over_R_minus_r_R50_turn0) { return loopThresholds(50)[0]; }
BENCH_FIGURE(loop_min_release_over_R_minus_r_R50_turn1) { return loopThresholds(50)[1]; }
BENCH_FIGURE(loop_min_release_over_R_minus_r_R50_turn2) { return loopThresholds(50)[2]; }
BENCH_FIGURE(loop_min_release_over_R_minus_r_R50_turn3) { return loopThresholds(50)[3]; }
BENCH_FIGURE(loop_min_release_over_R_minus_r_R100_turn0) { return loopThresholds(100)[0]; }
BENCH_FIGURE(loop_min_release_over_R_minus_r_R100_turn1) { return loopThresholds(100)[1]; }
BENCH_FIGURE(loop_min_release_over_R_minus_r_R100_turn2) { return loopThresholds(100)[2]; }
BENCH_FIGURE(loop_min_release_over_R_minus_r_R100_turn3) { return loopThresholds(100)[3]; }
// The case farthest from 2.7 and the largest spread between the turns.
BENCH_FIGURE(loop_min_release_over_R_minus_r) {
    float worst = 2.7f;
    for (float radius : {50.0f, 100.0f})
        for (float t : loopThresholds(radius))
            if (std::abs(t - 2.7f) > std::abs(worst - 2.7f)) worst = t;
    return worst;
}
BENCH_FIGURE(loop_turn_spread_percent) {
    return std::max(spreadPercent(loopThresholds(50)), spreadPercent(loopThresholds(100)));
}

// How much of its speed a ball keeps through a turn (entered at x=-25 of
// its first cell along +x, left along +z), from a straight onto a straight,
// rolled in at 100, 150 and 250 units/s in each of the four turns: its speed
// 25 units into the straight after, against the speed it came with, in per
// cent. Per speed, the lowest and highest of the turns. The shipped `curve`
// turns in one cell; `turn_wide_1` .. `turn_wide_6` over 3 x 3 cells, at
// the offsets `turnParts` lists from the first.

namespace {

bool loadShipped(const std::string& base, PieceMesh& piece) {
    const char* env = std::getenv("TUMBALON_DATA");
    std::ostringstream quiet;
    const io::Result<klotz::Mesh> mesh = klotz::loadObj(std::string(env ? env : "data") + "/" + base, quiet);
    if (!mesh || mesh->empty()) return false;
    piece.vertices = mesh->vertices;
    piece.faces = mesh->faces;
    return true;
}

struct TurnParts {
    std::vector<std::pair<std::string, glm::vec3>> parts;  // type and cell, in the first part's frame
    glm::vec3 exitCell;                                     // the cell whose z=+25 face is the exit
};

TurnParts turnParts(const std::string& name) {
    if (name == "curve") return {{{"curve", glm::vec3(0.0f)}}, glm::vec3(0.0f)};
    const glm::vec3 cells[] = {{0, 0, 0}, {50, 0, 0}, {100, 0, 0}, {50, 0, 50}, {100, 0, 50}, {100, 0, 100}};
    TurnParts t{{}, cells[5]};
    for (int k = 0; k < 6; ++k) t.parts.push_back({name + "_" + std::to_string(k + 1), cells[k]});
    return t;
}

float turnSpeedKept(const std::vector<std::pair<PieceMesh, glm::vec3>>& parts, glm::vec3 exitCell,
                    const PieceMesh& straight, int turns, float speed) {
    physics::PhysicsWorld world;
    const glm::quat q = quarterTurns(turns), across = quarterTurns(3);
    const glm::vec3 o(500.0f, 75.0f, -500.0f);
    for (const auto& [mesh, cell] : parts) world.setGlobalOrientationQuat(place(world, registerMesh(world, mesh), o + q * cell), q);
    const physics::MeshHandle sm = registerMesh(world, straight);
    world.setGlobalOrientationQuat(place(world, sm, o + q * glm::vec3(-50, 0, 0)), q);
    world.setGlobalOrientationQuat(place(world, sm, o + q * (exitCell + glm::vec3(0, 0, 50))), q * across);
    const glm::vec3 in = q * glm::vec3(1, 0, 0), out = q * glm::vec3(0, 0, 1), up(0, 1, 0);
    const physics::ActorHandle ball =
        ballAt(world, o + q * glm::vec3(-65, FLOOR_Y + physics::BALL_RADIUS, 0), in * speed);
    world.setAngularVelocity(ball, glm::cross(up, in * speed) / physics::BALL_RADIUS);
    const glm::vec3 measure = o + q * exitCell;
    for (int step = 0; step < 300; ++step) {
        world.simulate(0.01f);
        const glm::vec3 p = world.getGlobalPosition(ball) - measure;
        if (p.y < -25.0f) return 0.0f;  // off the track
        if (glm::dot(p, out) > 50.0f)
            return std::abs(glm::dot(p, in)) < 12.0f ? 100.0f * glm::length(world.getLinearVelocity(ball)) / speed : 0.0f;
    }
    return 0.0f;
}

std::pair<float, float> turnKeptRange(const std::string& name, float speed) {
    const TurnParts layout = turnParts(name);
    std::vector<std::pair<PieceMesh, glm::vec3>> parts;
    PieceMesh straight;
    if (!loadShipped("straight", straight)) return {-1.0f, -1.0f};
    for (const auto& [type, cell] : layout.parts) {
        PieceMesh m;
        if (!loadShipped(type, m)) return {-1.0f, -1.0f};
        parts.push_back({m, cell});
    }
    float lo = 1e9f, hi = -1e9f;
    for (int turn = 0; turn < 4; ++turn) {
        const float kept = turnSpeedKept(parts, layout.exitCell, straight, turn, speed);
        lo = std::min(lo, kept);
        hi = std::max(hi, kept);
    }
    return {lo, hi};
}

}  // namespace

BENCH_FIGURE(curve_curve_speed_kept_percent_100_lowest) { return turnKeptRange("curve", 100).first; }
BENCH_FIGURE(curve_curve_speed_kept_percent_100_highest) { return turnKeptRange("curve", 100).second; }
BENCH_FIGURE(curve_curve_speed_kept_percent_150_lowest) { return turnKeptRange("curve", 150).first; }
BENCH_FIGURE(curve_curve_speed_kept_percent_150_highest) { return turnKeptRange("curve", 150).second; }
BENCH_FIGURE(curve_curve_speed_kept_percent_250_lowest) { return turnKeptRange("curve", 250).first; }
BENCH_FIGURE(curve_curve_speed_kept_percent_250_highest) { return turnKeptRange("curve", 250).second; }
BENCH_FIGURE(curve_turn_wide_speed_kept_percent_100_lowest) { return turnKeptRange("turn_wide", 100).first; }
BENCH_FIGURE(curve_turn_wide_speed_kept_percent_100_highest) { return turnKeptRange("turn_wide", 100).second; }
BENCH_FIGURE(curve_turn_wide_speed_kept_percent_150_lowest) { return turnKeptRange("turn_wide", 150).first; }
BENCH_FIGURE(curve_turn_wide_speed_kept_percent_150_highest) { return turnKeptRange("turn_wide", 150).second; }
BENCH_FIGURE(curve_turn_wide_speed_kept_percent_250_lowest) { return turnKeptRange("turn_wide", 250).first; }
BENCH_FIGURE(curve_turn_wide_speed_kept_percent_250_highest) { return turnKeptRange("turn_wide", 250).second; }

// The shipped loop (`loop_1` .. `loop_8`, a straight before and after it):
// the lowest height above the groove floor from which a ball rolled down
// without loss (its speed at the floor sqrt(10/7 g h)) comes out of the
// exit, by bisection to a unit, in each of the four turns.

namespace {

// True when a ball rolled into the loop at `speed`, the loop turned `turns`
// quarter turns, leaves by the straight after it.
bool loopPassed(const std::vector<std::pair<PieceMesh, glm::vec3>>& parts, const PieceMesh& straight, int turns,
                float speed) {
    physics::PhysicsWorld world;
    const glm::quat q = quarterTurns(turns);
    const glm::vec3 o(500.0f, 75.0f, -500.0f);
    for (const auto& [mesh, cell] : parts) world.setGlobalOrientationQuat(place(world, registerMesh(world, mesh), o + q * cell), q);
    const physics::MeshHandle sm = registerMesh(world, straight);
    world.setGlobalOrientationQuat(place(world, sm, o + q * glm::vec3(-50, 0, 0)), q);
    world.setGlobalOrientationQuat(place(world, sm, o + q * glm::vec3(100, 0, 50)), q);
    const glm::vec3 in = q * glm::vec3(1, 0, 0), up(0, 1, 0);
    const physics::ActorHandle ball = ballAt(world, o + q * glm::vec3(-45, FLOOR_Y + physics::BALL_RADIUS, 0), in * speed);
    world.setAngularVelocity(ball, glm::cross(up, in * speed) / physics::BALL_RADIUS);
    // The loop's axis is at x = 25, 42 above the floor; the ball's centre
    // runs 8 inside the groove bottom.
    const float axisY = FLOOR_Y + 42, ring = 42 - physics::BALL_RADIUS;
    bool top = false;
    for (int step = 0; step < 600; ++step) {
        world.simulate(0.01f);
        const glm::vec3 p = glm::inverse(q) * (world.getGlobalPosition(ball) - o);
        top = top || p.y > axisY + ring - 3;
        // Fallen off the upper half: clearly inside the circle the centre runs on.
        if (p.y > axisY && std::hypot(p.x - 25, p.y - axisY) < ring - 3) return false;
        if (p.x > 110 && std::abs(p.z - 50) < 12 && p.y < 0) return top;
        if (p.x < -60 || p.y < -40) return false;
    }
    return false;
}

}  // namespace

// Lowest release height over the loop's groove floor, per turn.
static float loopPieceThreshold(int turns) {
    PieceMesh straight;
    if (!loadShipped("straight", straight)) return -1;
    std::vector<std::pair<PieceMesh, glm::vec3>> parts;
    const glm::vec3 cells[] = {{0, 0, 0}, {50, 0, 0}, {50, 50, 0}, {0, 50, 0}, {0, 50, 50}, {50, 50, 50}, {0, 0, 50}, {50, 0, 50}};
    for (int k = 0; k < 8; ++k) {
        PieceMesh m;
        if (!loadShipped("loop_" + std::to_string(k + 1), m)) return -1;
        parts.push_back({m, cells[k]});
    }
    float lo = 20, hi = 300;
    while (hi - lo > 1) {
        const float mid = 0.5f * (lo + hi);
        (loopPassed(parts, straight, turns, rollingSpeedFrom(mid)) ? hi : lo) = mid;
    }
    return hi;
}

BENCH_FIGURE(loop_piece_min_release_height_turn0) { return loopPieceThreshold(0); }
BENCH_FIGURE(loop_piece_min_release_height_turn1) { return loopPieceThreshold(1); }
BENCH_FIGURE(loop_piece_min_release_height_turn2) { return loopPieceThreshold(2); }
BENCH_FIGURE(loop_piece_min_release_height_turn3) { return loopPieceThreshold(3); }
