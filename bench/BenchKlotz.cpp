// Klotz mesh loading figures: a 50,000-triangle OBJ file (shared vertices,
// as exporters write them with normals and texture coordinates), loaded from
// the OBJ text with all normals computed, and the same mesh from its cache;
// corner normals of 100,000 triangles around one vertex.
#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <cmath>
#include <sstream>
#include <string>

#include "Bench.h"
#include "klotz/KlotzCache.h"
#include "klotz/MeshNormals.h"
#include "klotz/ObjLoader.h"

namespace {

constexpr int GRID_ROWS = 125;
constexpr int GRID_COLUMNS = 200;  // 2 * 125 * 200 = 50,000 triangles

// A wavy height field over the klotz's 50 x 50 footprint.
std::string generatedObj() {
    std::ostringstream obj;
    obj << "# generated bench mesh\no field\n";
    for (int i = 0; i <= GRID_ROWS; ++i)
        for (int j = 0; j <= GRID_COLUMNS; ++j) {
            double x = 50.0 * i / GRID_ROWS, z = -50.0 * j / GRID_COLUMNS;
            obj << "v " << x << ' ' << 25 + 10 * std::sin(x * 0.3) * std::cos(z * 0.2) << ' ' << z << '\n';
            obj << "vt " << double(i) / GRID_ROWS << ' ' << double(j) / GRID_COLUMNS << '\n';
        }
    obj << "vn 0 1 0\ns 1\nusemtl wood\n";
    for (int i = 0; i < GRID_ROWS; ++i)
        for (int j = 0; j < GRID_COLUMNS; ++j) {
            int a = i * (GRID_COLUMNS + 1) + j + 1, b = a + 1, c = a + GRID_COLUMNS + 1, d = c + 1;
            obj << "f " << a << '/' << a << "/1 " << c << '/' << c << "/1 " << d << '/' << d << "/1\n";
            obj << "f " << a << '/' << a << "/1 " << d << '/' << d << "/1 " << b << '/' << b << "/1\n";
        }
    return obj.str();
}

// Both figures share one scratch folder holding field.obj and field.klotz,
// removed when the bench ends.
class ScratchFolder {
public:
    ScratchFolder() {
        std::string pattern = (std::filesystem::temp_directory_path() / "tumbalon-bench-XXXXXX").string();
        if (mkdtemp(pattern.data())) path_ = pattern;
        std::ofstream(file("field.obj"), std::ios::binary) << generatedObj();
    }
    ~ScratchFolder() {
        std::error_code ec;
        if (!path_.empty()) std::filesystem::remove_all(path_, ec);
    }
    std::string file(const std::string& name) const { return path_ + "/" + name; }

private:
    std::string path_;
};

const ScratchFolder& benchFolder() {
    static ScratchFolder folder;
    return folder;
}

template <typename F>
double secondsOf(F&& work) {
    auto start = std::chrono::steady_clock::now();
    work();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

}  // namespace

BENCH_FIGURE(obj_load_50k_triangles_s) {
    const std::string name = benchFolder().file("field");
    std::ostringstream quiet;
    int faces = 0;
    double seconds = secondsOf([&] {
        io::Result<klotz::Mesh> mesh = klotz::loadObj(name, quiet);
        faces = mesh ? mesh->faceCount : 0;
    });
    return faces == 2 * GRID_ROWS * GRID_COLUMNS ? seconds : -1.0;
}

BENCH_FIGURE(cache_load_50k_triangles_s) {
    const std::string name = benchFolder().file("field");
    std::ostringstream quiet;
    const klotz::Mesh written = klotz::loadObj(name, quiet).value();
    klotz::writeKlotzCache(name, written, quiet);
    int faces = 0;
    double seconds = secondsOf([&] {
        io::Result<klotz::Mesh> mesh = klotz::readKlotzCache(name, quiet);
        faces = mesh ? mesh->faceCount : 0;
    });
    return faces == written.faceCount ? seconds : -1.0;
}

// The slowest of three fans of 100,000 triangles on vertex 0: a flat disc
// (one face normal), a cone (a normal per triangle, all within 45 degrees of
// each other) and triangles collapsed onto the centre (three corners each
// on it, normal (1, 0, 0)).
BENCH_FIGURE(corner_normals_100k_fan_s) {
    constexpr int TRIANGLES = 100000;
    double slowest = 0;
    for (int shape = 0; shape < 3; ++shape) {
        klotz::Mesh mesh;
        mesh.vertices = {0, shape == 1 ? 5.0f : 0.0f, 0};
        for (int i = 0; i < TRIANGLES; ++i) {
            const double a = 6.283185307179586 * i / TRIANGLES;
            mesh.vertices.insert(mesh.vertices.end(), {float(25 * std::cos(a)), 0.0f, float(-25 * std::sin(a))});
            if (shape == 2) mesh.faces.insert(mesh.faces.end(), {0, 0, 0});
            else mesh.faces.insert(mesh.faces.end(), {0, 1 + i, 1 + (i + 1) % TRIANGLES});
        }
        mesh.vertexCount = TRIANGLES + 1;
        mesh.faceCount = TRIANGLES;
        std::ostringstream quiet;
        klotz::computeFaceNormals(mesh, quiet);
        slowest = std::max(slowest, secondsOf([&] { klotz::computeCornerNormals(mesh); }));
    }
    return slowest;
}
