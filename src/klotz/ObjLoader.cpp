#include "klotz/ObjLoader.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <ostream>
#include <vector>

#include "io/FileReader.h"
#include "io/Numbers.h"
#include "io/WordScanner.h"
#include "klotz/MeshNormals.h"

namespace klotz {

namespace {

// One "f" statement as read; its corners are resolved once the whole
// vertex list is known, since negative indices count back from its end.
struct FaceStatement {
    int line;
    std::size_t firstCorner;  // into the raw corner list
    int cornerCount;
};

// The vertex part of an index word ("7", "7/2", "7//3", "7/2/3"), read as
// "%f" reads it.
bool parseVertexIndex(const io::Word& w, float& value) {
    const std::string_view word = w.view();
    return io::parseFloat(word.substr(0, word.find('/')), value);
}

// The line warnings of one file: the first few in full, then only counted,
// so a broken model of thousands of lines gives a screenful, not thousands.
class LineWarnings {
public:
    LineWarnings(std::ostream& out, const std::string& path) : out_(out), path_(path) {}
    void finish() const {
        if (count_ > SHOWN)
            out_ << "\nWARNING: \"" << io::printable(path_) << "\": " << count_ - SHOWN
                 << " more warnings like these\n";
    }
    void operator()(int line, const std::string& what) {
        if (++count_ <= SHOWN)
            out_ << "\nWARNING: " << io::Error{io::Failure::Malformed, path_, line, what}.message() << "\n";
    }

private:
    static constexpr int SHOWN = 10;
    std::ostream& out_;
    const std::string& path_;
    int count_ = 0;
};

std::string formatNumber(const char* format, float value) {
    char text[64];
    std::snprintf(text, sizeof text, format, static_cast<double>(value));
    return text;
}

std::string formatIndex(float raw) {
    if (std::fabs(raw) < 2147483648.0f) return std::to_string(static_cast<long long>(raw));
    return formatNumber("%g", raw);
}

// 0-based vertex index of a 1-based or negative OBJ index (truncated toward
// zero), or -1 with a reason when it names no vertex.
std::int64_t resolveIndex(float raw, std::int64_t vertexCount, std::string& reason) {
    if (!(std::fabs(raw) < 2147483648.0f)) {
        reason = "face index " + formatIndex(raw) + " is out of range";
        return -1;
    }
    std::int64_t i = static_cast<std::int64_t>(raw);
    if (i == 0) {
        reason = "face index 0 names no vertex (indices count from 1)";
        return -1;
    }
    std::int64_t v = i > 0 ? i - 1 : i + vertexCount;
    if (v < 0 || v >= vertexCount) {
        reason = "face index " + formatIndex(raw) + " is outside the " + std::to_string(vertexCount) + " vertices";
        return -1;
    }
    return v;
}

}  // namespace

void printMeshCounts(const Mesh& mesh, std::ostream& out) {
    char line[160];
    std::snprintf(line, sizeof line, "vertices: %d, vertex-normals: %d, faces: %d, face-normals: %d\n",
                  mesh.vertexCount, mesh.cornerNormalCount, mesh.faceCount, mesh.faceNormalCount);
    out << line;
}

Mesh parseObj(const std::string& text, const std::string& path, std::ostream& out) {
    std::vector<float> objCoordinates;
    std::vector<float> rawCorners;
    std::vector<FaceStatement> statements;

    LineWarnings warnAt(out, path);
    io::WordScanner scanner(text);
    for (io::Word word = scanner.next(); !word.empty(); word = scanner.next()) {
        if (word.is("v")) {
            float c[3] = {0.0f, 0.0f, 0.0f};
            int n = 0;
            while (n < 3 && scanner.takeFloat(c[n])) ++n;
            if (n < 3) {
                // Kept, so the indices of later vertices still match the file.
                for (int k = n; k < 3; ++k) c[k] = 0.0f;
                warnAt(word.line,
                       "vertex with " + std::to_string(n) + " of 3 numbers; missing coordinates taken as 0");
            }
            for (float& coordinate : c)
                if (std::fabs(coordinate) > MAX_VERTEX_COORDINATE) {
                    warnAt(word.line,
                           "vertex coordinate " + formatNumber("%.9g", coordinate) + " lies beyond " +
                               formatNumber("%.9g", MAX_VERTEX_COORDINATE) + "; vertex taken as 0 0 0");
                    c[0] = c[1] = c[2] = 0.0f;
                    break;
                }
            objCoordinates.push_back(c[0] + OBJ_OFFSET_X);
            objCoordinates.push_back(c[1] + OBJ_OFFSET_Y);
            objCoordinates.push_back(c[2] + OBJ_OFFSET_Z);
        } else if (word.is("f")) {
            FaceStatement face{word.line, rawCorners.size(), 0};
            float index = 0.0f;
            // Three corners wherever they stand; further corners of a polygon
            // only on the same line, so a stray number on a later line stays
            // an ignored word.
            while (face.cornerCount < 3 || scanner.wordFollowsOnLine()) {
                io::Word corner = scanner.peek();
                if (!parseVertexIndex(corner, index)) break;
                scanner.consume(corner);
                rawCorners.push_back(index);
                ++face.cornerCount;
            }
            if (face.cornerCount < 3) {
                rawCorners.resize(face.firstCorner);
                warnAt(word.line, "face with fewer than 3 vertex indices; face skipped");
            } else {
                statements.push_back(face);
            }
        } else if (word.is("g")) {
            // The group name; a bare "g" does not swallow the next line.
            if (scanner.wordFollowsOnLine()) scanner.next();
        } else if (*word.begin == '#') {
            scanner.skipLine();
        }
    }

    Mesh mesh;
    const std::int64_t vertexCount = static_cast<std::int64_t>(objCoordinates.size() / 3);
    std::vector<std::int32_t> corners;
    for (const FaceStatement& face : statements) {
        corners.clear();
        std::string reason;
        for (int k = 0; k < face.cornerCount; ++k) {
            std::int64_t v = resolveIndex(rawCorners[face.firstCorner + k], vertexCount, reason);
            if (v < 0) break;
            corners.push_back(static_cast<std::int32_t>(v));
        }
        if (static_cast<int>(corners.size()) < face.cornerCount) {
            warnAt(face.line, reason + "; face skipped");
            continue;
        }
        for (int k = 1; k + 1 < face.cornerCount; ++k) {
            mesh.faces.push_back(corners[0]);
            mesh.faces.push_back(corners[k]);
            mesh.faces.push_back(corners[k + 1]);
        }
    }

    warnAt.finish();

    mesh.vertexCount = static_cast<int>(vertexCount);
    mesh.faceCount = static_cast<int>(mesh.faces.size() / 3);
    mesh.faceNormalCount = mesh.faceCount;
    mesh.cornerNormalCount = 3 * mesh.faceCount;
    printMeshCounts(mesh, out);

    mesh.vertices = std::move(objCoordinates);
    mesh.vertices.shrink_to_fit();
    mesh.faces.shrink_to_fit();
    computeFaceNormals(mesh, out);
    computeCornerNormals(mesh);
    return mesh;
}

io::Result<Mesh> loadObj(const std::string& name, std::ostream& out) {
    const std::string path = name + ".obj";
    io::Result<std::string> text = io::readFile(path);
    if (!text) {
        if (text.error().failure == io::Failure::CannotOpen)
            out << "Can not open object File \"" << io::printable(path) << "\" !\n";
        else
            out << text.error().message() << "\n";
        return text.error();
    }
    out << "\nloading .obj-file " << io::printable(path) << "\n";
    return parseObj(*text, path, out);
}

}  // namespace klotz
