// Fuzz target: arbitrary text through the .klotz cache reader.
#include <string>

#include "FuzzDecode.h"
#include "klotz/KlotzCache.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    klotz::CacheParseResult r = klotz::parseKlotzCache(std::string(reinterpret_cast<const char*>(data), size));
    if (!r.ok) return 0;
    const klotz::Mesh& m = r.mesh;
    if (m.faces.size() != 3u * m.faceCount || m.vertices.size() != 3u * m.vertexCount ||
        m.faceNormals.size() != 3u * m.faceNormalCount || m.cornerNormals.size() != 3u * m.cornerNormalCount)
        __builtin_trap();
    for (int index : m.faces)
        if (index < 0 || index >= m.vertexCount) __builtin_trap();
    return 0;
}
