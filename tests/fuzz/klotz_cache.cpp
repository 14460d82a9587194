// Fuzz target: arbitrary text through the .klotz cache reader.
#include <string_view>

#include "FuzzDecode.h"
#include "klotz/KlotzCache.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // Parsed in place, so the sanitizers see any read past the end.
    const io::Result<klotz::Mesh> r = klotz::parseKlotzCache(std::string_view(reinterpret_cast<const char*>(data), size));
    if (!r) return 0;
    const klotz::Mesh& m = *r;
    if (m.faces.size() != 3u * m.faceCount || m.vertices.size() != 3u * m.vertexCount ||
        m.faceNormals.size() != 3u * m.faceNormalCount || m.cornerNormals.size() != 3u * m.cornerNormalCount)
        __builtin_trap();
    for (int index : m.faces)
        if (index < 0 || index >= m.vertexCount) __builtin_trap();
    return 0;
}
