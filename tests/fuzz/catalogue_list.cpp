// Fuzz target: arbitrary text through the catalogue list reader. Every name
// it keeps must be one a type may have.
#include <ostream>
#include <string>

#include "FuzzDecode.h"
#include "io/Result.h"
#include "klotz/Catalogue.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static fuzzdecode::NullBuffer buffer;
    static std::ostream discard(&buffer);
    const std::vector<std::string> names =
        klotz::parseCatalogueList(std::string(reinterpret_cast<const char*>(data), size), "fuzz.cfg", discard);
    for (const std::string& name : names)
        if (name.empty() || name.size() > klotz::MAX_NAME_LENGTH || name.find('/') != std::string::npos ||
            io::hasControlCharacters(name))
            __builtin_trap();
    return 0;
}
