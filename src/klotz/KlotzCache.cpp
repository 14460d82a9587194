#include "klotz/KlotzCache.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <limits>
#include <ostream>
#include <vector>

#include "io/FileReader.h"
#include "io/Numbers.h"
#include "io/WordScanner.h"
#include "klotz/ObjLoader.h"

namespace klotz {

namespace {

void appendInt(std::string& text, long long value) {
    char buf[32];
    int n = std::snprintf(buf, sizeof buf, "%lld ", value);
    text.append(buf, static_cast<std::size_t>(n));
}

void appendReals(std::string& text, const std::vector<float>& values, std::size_t count) {
    char buf[64];
    for (std::size_t i = 0; i < count; ++i) {
        int n = std::snprintf(buf, sizeof buf, "%.13e ", static_cast<double>(values[i]));
        text.append(buf, static_cast<std::size_t>(n));
    }
}

// Parsing state: the scanner plus the first error met.
class CacheReader {
public:
    explicit CacheReader(io::WordScanner& scanner) : scanner_(scanner) {}

    const io::Error& error() const { return error_; }

    // A block count; bounded so that 3 * count numbers (each at least one
    // character and one separator) fit in what is left of the text.
    bool readCount(const char* block, int& count) {
        io::Word w = scanner_.next();
        if (w.empty()) return fail(std::string("the file ends before the ") + block + " count");
        long long value = 0;
        if (!io::parseInteger(w.view(), value))
            return fail(std::string("the ") + block + " count \"" + w.printable() + "\" is not a whole number");
        if (value < 0) return fail(std::string("the ") + block + " count " + w.str() + " is negative");
        const unsigned long long maxNumbers = (scanner_.remainingBytes() + 1) / 2;
        if (static_cast<unsigned long long>(value) > maxNumbers / 3 ||
            value > std::numeric_limits<std::int32_t>::max() / 3)
            return fail(std::string("the ") + block + " count " + w.str() + " is more than the file can hold");
        count = static_cast<int>(value);
        return true;
    }

    // Reals with magnitude at most limit.
    bool readReals(const char* block, std::size_t n, std::vector<float>& values,
                   float limit = std::numeric_limits<float>::max()) {
        values.resize(n);
        for (std::size_t i = 0; i < n; ++i) {
            if (!scanner_.takeFloat(values[i])) {
                io::Word w = scanner_.next();
                if (w.empty()) return fail(std::string("the file ends inside the ") + block);
                return fail("\"" + w.printable() + "\" in the " + block + " is not a finite number");
            }
            if (std::fabs(values[i]) > limit)
                return fail("coordinate " + formatReal(values[i]) + " in the " + block + " on line " +
                            std::to_string(scanner_.line()) + " lies beyond " + formatReal(limit));
        }
        return true;
    }

    bool readIndices(std::size_t n, int vertexCount, std::vector<std::int32_t>& values) {
        values.resize(n);
        for (std::size_t i = 0; i < n; ++i) {
            io::Word w = scanner_.next();
            if (w.empty()) return fail("the file ends inside the faces");
            long long value = 0;
            if (!io::parseInteger(w.view(), value))
                return fail("face index \"" + w.printable() + "\" is not a whole number");
            if (value < 0 || value >= vertexCount)
                return fail("face index " + w.str() + " is outside the " + std::to_string(vertexCount) + " vertices");
            values[i] = static_cast<std::int32_t>(value);
        }
        return true;
    }

    bool expectEnd() {
        io::Word w = scanner_.next();
        if (!w.empty()) return fail("unexpected \"" + w.printable() + "\" after the face normals");
        return true;
    }

    bool fail(const std::string& what) {
        if (error_.text.empty()) error_ = io::Error{io::Failure::Malformed, std::string(), scanner_.line(), what};
        return false;
    }

private:
    static std::string formatReal(float value) {
        char text[32];
        std::snprintf(text, sizeof text, "%.9g", static_cast<double>(value));
        return text;
    }

    io::WordScanner& scanner_;
    io::Error error_;
};

io::Result<Mesh> parseCache(io::WordScanner& scanner) {
    Mesh mesh;
    CacheReader reader(scanner);
    // Each step runs only while the ones before succeeded.
    bool ok = reader.readCount("vertex", mesh.vertexCount) &&
              reader.readReals("vertices", 3 * static_cast<std::size_t>(mesh.vertexCount), mesh.vertices,
                               MAX_VERTEX_COORDINATE) &&
              reader.readCount("corner-normal", mesh.cornerNormalCount) &&
              reader.readReals("corner normals", 3 * static_cast<std::size_t>(mesh.cornerNormalCount),
                               mesh.cornerNormals) &&
              reader.readCount("face", mesh.faceCount);
    if (ok && mesh.cornerNormalCount != 3 * mesh.faceCount)
        ok = reader.fail("the corner-normal count " + std::to_string(mesh.cornerNormalCount) +
                         " is not 3 times the face count " + std::to_string(mesh.faceCount));
    ok = ok && reader.readIndices(3 * static_cast<std::size_t>(mesh.faceCount), mesh.vertexCount, mesh.faces) &&
         reader.readCount("face-normal", mesh.faceNormalCount);
    if (ok && mesh.faceNormalCount != mesh.faceCount)
        ok = reader.fail("the face-normal count " + std::to_string(mesh.faceNormalCount) +
                         " differs from the face count " + std::to_string(mesh.faceCount));
    ok = ok &&
         reader.readReals("face normals", 3 * static_cast<std::size_t>(mesh.faceNormalCount), mesh.faceNormals) &&
         reader.expectEnd();
    if (!ok) return reader.error();
    return mesh;
}

}  // namespace

std::string formatKlotzCache(const Mesh& mesh) {
    std::string text;
    text.reserve(64 + 21 * (mesh.vertices.size() + mesh.cornerNormals.size() + mesh.faceNormals.size()) +
                 8 * mesh.faces.size());
    appendInt(text, mesh.vertexCount);
    appendReals(text, mesh.vertices, 3 * static_cast<std::size_t>(mesh.vertexCount));
    text += '\n';
    appendInt(text, mesh.cornerNormalCount);
    appendReals(text, mesh.cornerNormals, 3 * static_cast<std::size_t>(mesh.cornerNormalCount));
    text += '\n';
    appendInt(text, mesh.faceCount);
    for (std::size_t i = 0; i < 3 * static_cast<std::size_t>(mesh.faceCount); ++i) appendInt(text, mesh.faces[i]);
    text += '\n';
    appendInt(text, mesh.faceNormalCount);
    appendReals(text, mesh.faceNormals, 3 * static_cast<std::size_t>(mesh.faceNormalCount));
    text += '\n';
    return text;
}

io::Result<Mesh> parseKlotzCache(std::string_view text) {
    io::WordScanner scanner(text);
    return parseCache(scanner);
}

io::Result<Mesh> readKlotzCache(const std::string& name, std::ostream& out) {
    const std::string path = name + ".klotz";
    const std::string instead = "; reading \"" + io::printable(name) + ".obj\" instead\n";
    // Streamed: a cache is several times the size of its OBJ file.
    io::Result<io::FileStream> file = io::FileStream::open(path);
    if (!file) {
        // No usable file there is as no cache at all, and as quiet.
        if (file.error().failure != io::Failure::TooLarge) return file.error();
        out << "\nWARNING: .klotz-file " << file.error().message() << instead;
        return file.error();
    }
    out << "\nloading .klotz-file " << io::printable(path) << "\n";
    io::WordScanner scanner(*file);
    io::Result<Mesh> parsed = parseCache(scanner);
    if (!parsed) {
        out << "\nWARNING: .klotz-file \"" << io::printable(path) << "\" is damaged (" << parsed.error().text << ")"
            << instead;
        return parsed;
    }
    printMeshCounts(*parsed, out);
    return parsed;
}

bool writeKlotzCache(const std::string& name, const Mesh& mesh, std::ostream& out) {
    const std::string path = name + ".klotz";
    const std::string text = formatKlotzCache(mesh);
    if (text.size() > io::MAX_FILE_BYTES) {
        // readKlotzCache would refuse it, and every start would write it again.
        out << "\nWARNING: the .klotz-file \"" << io::printable(path) << "\" would be " << text.size()
            << " bytes, more than the " << io::MAX_FILE_BYTES << " a start reads; none is written\n";
        return false;
    }
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    if (!file) {
        out << "can not save to .klotz file \"" << io::printable(path) << "\" !\n";
        return false;
    }
    out << "\ngenerating .klotz-file " << io::printable(path) << "\n";
    file.write(text.data(), static_cast<std::streamsize>(text.size()));
    file.close();
    if (file.fail()) {
        // A half-written cache would only be refused at the next start.
        std::remove(path.c_str());
        out << "can not save to .klotz file \"" << io::printable(path) << "\" !\n";
        return false;
    }
    return true;
}

}  // namespace klotz
