// The ".klotz" cache file: a type's finished mesh as text, four blocks of
// "count values..." (vertices, corner normals, faces, face normals), so later
// starts need not read the OBJ file nor compute the normals again.
#pragma once

#include <iosfwd>
#include <string>

#include "klotz/Mesh.h"

namespace klotz {

// Counts and integers as "%d ", reals as "%.13e " (float widened to double;
// reads back bit for bit), each block ending in "\n".
std::string formatKlotzCache(const Mesh& mesh);

struct CacheParseResult {
    bool ok = false;
    Mesh mesh;          // valid only when ok
    std::string error;  // what is wrong, when not ok
};

// Parses cache text. Any white space separates numbers; exponents of two or
// three digits are accepted. Refuses negative or oversized counts (a count
// is bounded by the bytes left before anything is allocated), counts that
// disagree (3 corner normals and 1 face normal per face), indices outside
// the vertex list, words that are not numbers, non-finite reals and trailing
// data.
CacheParseResult parseKlotzCache(const std::string& text);

enum class CacheStatus {
    Loaded,     // mesh filled from the cache
    Missing,    // no cache file could be opened; nothing printed
    Malformed,  // the file exists but is unusable; reported on out
};

// Reads name + ".klotz" into mesh (left untouched unless Loaded).
CacheStatus readKlotzCache(const std::string& name, Mesh& mesh, std::ostream& out);

// Writes mesh to name + ".klotz", replacing any file there. Returns false
// (with a message on out) when the file cannot be written.
bool writeKlotzCache(const std::string& name, const Mesh& mesh, std::ostream& out);

}  // namespace klotz
