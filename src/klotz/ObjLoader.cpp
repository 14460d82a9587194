#include "klotz/ObjLoader.h"

#include <cstdint>
#include <cstdio>
#include <ostream>
#include <vector>

#include "klotz/MeshNormals.h"
#include "klotz/TextInput.h"

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
bool parseVertexIndex(const Word& w, float& value) {
    if (w.empty()) return false;
    char* stop = nullptr;
    value = std::strtof(w.begin, &stop);
    if (stop == w.begin || !std::isfinite(value)) return false;
    return stop == w.end || *stop == '/';
}

void warnAt(std::ostream& out, const std::string& path, int line, const std::string& what) {
    out << "\nWARNING: \"" << path << "\" line " << line << ": " << what << "\n";
}

std::string formatIndex(float raw) {
    char text[64];
    if (std::fabs(raw) < 2147483648.0f)
        std::snprintf(text, sizeof text, "%lld", static_cast<long long>(raw));
    else
        std::snprintf(text, sizeof text, "%g", static_cast<double>(raw));
    return text;
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

    WordScanner scanner(text);
    for (Word word = scanner.next(); !word.empty(); word = scanner.next()) {
        if (word.is("v")) {
            float c[3] = {0.0f, 0.0f, 0.0f};
            int n = 0;
            for (; n < 3; ++n) {
                Word number = scanner.peek();
                if (!parseFiniteFloat(number, c[n])) break;
                scanner.consume(number);
            }
            if (n < 3) {
                // Kept, so the indices of later vertices still match the file.
                for (int k = n; k < 3; ++k) c[k] = 0.0f;
                warnAt(out, path, word.line,
                       "vertex with " + std::to_string(n) + " of 3 numbers; missing coordinates taken as 0");
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
                Word corner = scanner.peek();
                if (!parseVertexIndex(corner, index)) break;
                scanner.consume(corner);
                rawCorners.push_back(index);
                ++face.cornerCount;
            }
            if (face.cornerCount < 3) {
                rawCorners.resize(face.firstCorner);
                warnAt(out, path, word.line, "face with fewer than 3 vertex indices; face skipped");
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
            warnAt(out, path, face.line, reason + "; face skipped");
            continue;
        }
        for (int k = 1; k + 1 < face.cornerCount; ++k) {
            mesh.faces.push_back(corners[0]);
            mesh.faces.push_back(corners[k]);
            mesh.faces.push_back(corners[k + 1]);
        }
    }

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

bool loadObj(const std::string& name, Mesh& mesh, std::ostream& out) {
    const std::string path = name + ".obj";
    std::string text;
    if (!readTextFile(path, text)) {
        out << "Can not open object File \"" << path << "\" !\n";
        return false;
    }
    out << "\nloading .obj-file " << path << "\n";
    mesh = parseObj(text, path, out);
    return true;
}

}  // namespace klotz
