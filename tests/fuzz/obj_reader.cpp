// Fuzz target: arbitrary text through the OBJ mesh reader.
#include <cmath>
#include <ostream>
#include <string>

#include "FuzzDecode.h"
#include "klotz/ObjLoader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static fuzzdecode::NullBuffer buffer;
    static std::ostream discard(&buffer);
    klotz::Mesh mesh = klotz::parseObj(std::string(reinterpret_cast<const char*>(data), size), "fuzz.obj", discard);
    if (mesh.faces.size() != 3u * mesh.faceCount || mesh.vertices.size() != 3u * mesh.vertexCount ||
        mesh.faceNormals.size() != 3u * mesh.faceCount || mesh.cornerNormals.size() != 9u * mesh.faceCount)
        __builtin_trap();
    for (int index : mesh.faces)
        if (index < 0 || index >= mesh.vertexCount) __builtin_trap();
    for (float n : mesh.faceNormals)
        if (!std::isfinite(n)) __builtin_trap();
    // A corner normal sums directions within 45 degrees of its own: never zero.
    for (float n : mesh.cornerNormals)
        if (!std::isfinite(n)) __builtin_trap();
    return 0;
}
