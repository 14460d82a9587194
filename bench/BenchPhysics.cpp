// Physics figures: smooth rolling over piece seams, tunnelling, simulation
// speed with many balls and the cost of short ray casts. Pieces come from
// data/straight.obj and data/slope.obj when present (TUMBALON_DATA or
// ./data), else from the equivalent test geometry.
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <memory>
#include <fstream>
#include <sstream>

#include "Bench.h"
#include "BulletBaseline.h"
#include "klotz/ObjLoader.h"
#include "physics/Actors.h"
#include "physics/Physics.h"
#include "physics/TrackGeometry.h"

namespace {

using namespace trackgeometry;

bool loadPiece(const char* base, PieceMesh& piece) {
    if (std::getenv("BENCH_TEST_PIECES")) return false;
    const char* env = std::getenv("TUMBALON_DATA");
    std::string name = std::string(env ? env : "data") + "/" + base;
    if (!std::ifstream(name + ".obj")) return false;
    std::ostringstream quiet;
    const io::Result<klotz::Mesh> mesh = klotz::loadObj(name, quiet);
    if (!mesh || mesh->empty()) return false;
    piece.vertices = mesh->vertices;
    piece.faces = mesh->faces;
    return true;
}

// True when the piece's groove floor falls 45 degrees along +x like the
// test slope (floor at local y = 4 - x).
bool straightSlope(const PieceMesh& slope) {
    physics::PhysicsWorld probe;
    place(probe, registerMesh(probe, slope), levelCentre(2, 2, 2));
    const glm::vec3 centre = levelCentre(2, 2, 2);
    for (float x : {-15.0f, 0.0f, 15.0f}) {
        physics::RayHit hit;
        if (!probe.raycastClosest({centre.x + x, centre.y + 60.0f, centre.z}, {0, -1, 0}, 100.0f, &hit) ||
            std::abs(hit.point.y - (centre.y + 4.0f - x)) > 0.5f)
            return false;
    }
    return true;
}

struct Pieces {
    PieceMesh flat, slope;    // what the figures use
    PieceMesh shippedSlope;   // empty when data/slope.obj is missing
    bool shipped = false;
    Pieces() {
        shipped = loadPiece("straight", flat) && loadPiece("slope", shippedSlope);
        if (!shipped) flat = flatPiece();
        // The slope chain is defined on 45-degree slopes.
        slope = shipped && straightSlope(shippedSlope) ? shippedSlope : slopePiece();
    }
};

const Pieces& pieces() {
    static Pieces p;
    return p;
}

const RollResult& rolling() {
    static RollResult r = rollAlongFlats(pieces().flat, 8, 150.0f);
    return r;
}

double seconds(std::chrono::steady_clock::time_point since) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

// A 10 x 10 field of straight pieces along x (the grooves run x 0..500);
// balls in a line in every groove, 17 apart, rolling at 100..190 units/s
// (one speed per groove, so they stay apart). In the simulated second none
// reaches the far wall; with 400 balls the front of each line runs on past
// the pieces over the floor.
struct FieldBall {
    glm::vec3 at, velocity, spin;
};
FieldBall fieldBall(int i) {
    int column = i % 10, slot = i / 10;
    glm::vec3 at = levelCentre(0, column, 0);
    at.x = 10.0f + slot * 17.0f;
    at.y = at.x < 500.0f ? REST_Y : physics::BALL_RADIUS;
    float speed = 100.0f + 10.0f * column;
    return {at, {speed, 0, 0}, {0, 0, -speed / physics::BALL_RADIUS}};
}
glm::vec3 fieldPiece(int k) { return levelCentre(k / 10, k % 10, 0); }
constexpr int FIELD_PIECES = 100;

struct Field {
    physics::PhysicsWorld world;
    std::vector<physics::ActorHandle> balls;
    explicit Field(int ballCount, bool contactReports = false) {
        world.setContactReporting(contactReports);
        physics::MeshHandle mesh = registerMesh(world, pieces().flat);
        for (int k = 0; k < FIELD_PIECES; ++k) place(world, mesh, fieldPiece(k));
        for (int i = 0; i < ballCount; ++i) {
            FieldBall f = fieldBall(i);
            physics::ActorHandle b = ballAt(world, f.at, f.velocity);
            world.setAngularVelocity(b, f.spin);
            balls.push_back(b);
        }
        world.simulate(0.01f);  // builds the static mesh outside the timing
    }
    void step() { world.simulate(0.01f); }
};

// The same field in plain Bullet, built with the physics module's settings
// and shapes (its pieces merged into one mesh, the five boundary planes)
// and stepped by Bullet alone: what our layer costs on top.
struct BaselineField {
    std::unique_ptr<benchbaseline::BulletBaseline> bullet;

    explicit BaselineField(int ballCount, bool = false) {
        const PieceMesh& piece = pieces().flat;
        std::vector<float> vertices;
        std::vector<std::int32_t> faces;
        for (int k = 0; k < FIELD_PIECES; ++k) {
            const auto base = static_cast<std::int32_t>(vertices.size() / 3);
            const glm::vec3 at = fieldPiece(k);
            for (std::size_t v = 0; v + 2 < piece.vertices.size(); v += 3) {
                vertices.push_back(piece.vertices[v] + at.x);
                vertices.push_back(piece.vertices[v + 1] + at.y);
                vertices.push_back(piece.vertices[v + 2] + at.z);
            }
            for (std::int32_t f : piece.faces) faces.push_back(base + f);
        }
        std::vector<benchbaseline::Ball> balls;
        for (int i = 0; i < ballCount; ++i) {
            const FieldBall f = fieldBall(i);
            balls.push_back({f.at, f.velocity, f.spin});
        }
        bullet = std::make_unique<benchbaseline::BulletBaseline>(vertices, faces, balls);
    }
    void step() { bullet->step(); }
};

// Simulated seconds per wall-clock second over one simulated second, the
// best of five runs (the machine is shared).
template <class World>
double simSpeed(int ballCount, bool contactReports = false) {
    double best = 0;
    for (int run = 0; run < 5; ++run) {
        World field(ballCount, contactReports);
        auto start = std::chrono::steady_clock::now();
        for (int i = 0; i < 100; ++i) field.step();
        best = std::max(best, 1.0 / seconds(start));
    }
    return best;
}

}  // namespace

BENCH_FIGURE(rolling_speed_loss_percent) { return rolling().speedLossPercent; }
BENCH_FIGURE(rolling_max_hop) { return rolling().maxHop; }
BENCH_FIGURE(resting_drift) { return restingDrift(pieces().flat, 3.0f); }
BENCH_FIGURE(slope_chain_max_gap) { return slopeChainMaxGap(pieces().slope, pieces().flat); }
// The same run down the shipped slope piece, whatever its profile (-1 when
// it is missing): a profile steeper or more curved than a ball can follow
// shows here as a flight, not as a physics fault.
BENCH_FIGURE(slope_chain_max_gap_shipped) {
    return pieces().shipped ? slopeChainMaxGap(pieces().shippedSlope, pieces().flat) : -1.0;
}
BENCH_FIGURE(tunnelling_count) { return tunnellingCount(pieces().flat, 300, 200, 12345u); }
BENCH_FIGURE(sim_speed_1_balls) { return simSpeed<Field>(1); }
BENCH_FIGURE(sim_speed_20_balls) { return simSpeed<Field>(20); }
BENCH_FIGURE(sim_speed_100_balls) { return simSpeed<Field>(100); }
BENCH_FIGURE(sim_speed_400_balls) { return simSpeed<Field>(400); }
BENCH_FIGURE(bullet_baseline_400_balls) { return simSpeed<BaselineField>(400); }
BENCH_FIGURE(sim_speed_400_balls_contacts) { return simSpeed<Field>(400, true); }

// 3,600 closest-hit casts of 4 units from the balls of the 100-ball field
// (the particle system's sparks), in milliseconds.
BENCH_FIGURE(raycast_3600_ms) {
    Field field(100);
    field.world.simulate(0.5f);
    std::vector<glm::vec3> origins;
    for (int i = 0; i < 3600; ++i) origins.push_back(field.world.getGlobalPosition(field.balls[i % 100]));
    const glm::vec3 dirs[4] = {glm::normalize(glm::vec3(1, -1, 0)), glm::normalize(glm::vec3(0, -1, 1)),
                               glm::normalize(glm::vec3(-1, 0.2f, 0)), glm::vec3(0, -1, 0)};
    double best = 1e9;
    int hits = 0;
    for (int round = 0; round < 5; ++round) {
        auto start = std::chrono::steady_clock::now();
        hits = 0;
        physics::RayHit hit;
        for (int i = 0; i < 3600; ++i)
            hits += field.world.raycastClosest(origins[i] + dirs[i % 4] * 8.5f, dirs[i % 4], 4.0f, &hit);
        best = std::min(best, seconds(start) * 1000.0);
    }
    return hits >= 0 ? best : 0;
}

// Merging the static geometry when a simulation starts: 400 slope pieces
// (the shipped one when present) on the whole grid, in milliseconds.
BENCH_FIGURE(static_merge_400_slopes_ms) {
    physics::PhysicsWorld world;
    const PieceMesh& slope = pieces().shipped ? pieces().shippedSlope : pieces().slope;
    physics::MeshHandle mesh = registerMesh(world, slope);
    for (int row = 0; row < 20; ++row)
        for (int column = 0; column < 20; ++column) place(world, mesh, levelCentre(row, column, 0));
    auto start = std::chrono::steady_clock::now();
    world.simulate(0.01f);
    return seconds(start) * 1000.0;
}
