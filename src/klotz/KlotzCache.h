// The ".klotz" cache file: a type's finished mesh as text, four blocks of
// "count values..." (vertices, corner normals, faces, face normals), so later
// starts need not read the OBJ file nor compute the normals again.
#pragma once

#include <iosfwd>
#include <string>
#include <string_view>

#include "io/Result.h"
#include "klotz/Mesh.h"

namespace klotz {

// Counts and integers as "%d ", reals as "%.13e " (float widened to double;
// reads back bit for bit), each block ending in "\n".
std::string formatKlotzCache(const Mesh& mesh);

// Parses cache text. Any white space separates numbers; exponents of two or
// three digits are accepted. Refuses negative or oversized counts (a count
// is bounded by the bytes left before anything is allocated), counts that
// disagree (3 corner normals and 1 face normal per face), indices outside
// the vertex list, words that are not numbers, non-finite reals, vertex
// coordinates beyond MAX_VERTEX_COORDINATE and trailing data. The error
// names no file; its text says what is wrong.
io::Result<Mesh> parseKlotzCache(std::string_view text);

// Reads name + ".klotz". A file that cannot be opened or is not a regular
// file is no cache: its error is returned with nothing printed. One that is
// too large or malformed is reported on out as damaged.
io::Result<Mesh> readKlotzCache(const std::string& name, std::ostream& out);

// Writes mesh to name + ".klotz", replacing any file there. Returns false
// (with a message on out) when the file cannot be written, and writes
// nothing for a mesh whose cache would be larger than the reader takes
// (io::MAX_FILE_BYTES).
bool writeKlotzCache(const std::string& name, const Mesh& mesh, std::ostream& out);

}  // namespace klotz
