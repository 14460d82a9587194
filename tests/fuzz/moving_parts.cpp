// Fuzz target: arbitrary text through the moving-parts reader. Whatever it
// accepts must be a part the world can take.
#include <cmath>
#include <string>

#include "klotz/MovingParts.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const auto parts = klotz::parseMovingParts(std::string(reinterpret_cast<const char*>(data), size), "fuzz.parts");
    if (!parts) return 0;
    if (parts->size() > static_cast<std::size_t>(klotz::MAX_PARTS)) __builtin_trap();
    for (const klotz::PartDecl& p : *parts) {
        if (!(p.lower <= p.upper) || !(p.mass > 0) || p.restitution < 0 || p.restitution > 1 || p.damping < 0 ||
            p.damping > 1 || !std::isfinite(p.spring) || p.path.size() > static_cast<std::size_t>(klotz::MAX_PATH_POINTS))
            __builtin_trap();
        if (p.joint == klotz::PartJoint::DRIVEN && (p.path.empty() || !(p.speed > 0))) __builtin_trap();
    }
    return 0;
}
