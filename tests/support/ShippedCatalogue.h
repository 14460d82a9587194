// The shipped klotz set for tests that roll balls over real pieces, loaded
// from a scratch copy of its meshes so no cache lands in the data folder.
// Header only: the support library serves test programs without the klotz
// module too.
#pragma once

#include <filesystem>
#include <sstream>

#include "klotz/Catalogue.h"
#include "support/TestSupport.h"

namespace testsupport {

inline klotz::KlotzCatalogue loadShippedCatalogue() {
    namespace fs = std::filesystem;
    TempDir dir;
    for (const auto& entry : fs::directory_iterator(dataDir()))
        if (entry.path().extension() == ".obj" || entry.path().extension() == ".parts" ||
            entry.path().filename() == klotz::CATALOGUE_FILE)
            fs::copy_file(entry.path(), fs::path(dir.path()) / entry.path().filename());
    ScopedChdir here(dir.path());
    std::ostringstream log;
    klotz::KlotzCatalogue catalogue;
    klotz::loadCatalogueList(catalogue, log);
    klotz::loadKloetze(catalogue, log);
    return catalogue;
}

}  // namespace testsupport
