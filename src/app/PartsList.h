// The bill of pieces: how many of each klotz type a scene uses, to rebuild
// it with real parts.
#pragma once

#include <string>
#include <vector>

#include "klotz/Catalogue.h"
#include "scene/SceneModel.h"

namespace app {

struct PartCount {
    std::string type;  // the type's name in the catalogue
    int count = 0;
};

// Every type the scene places, most used first (by name where equal).
std::vector<PartCount> partsList(const scene::SceneModel& model, const klotz::KlotzCatalogue& catalogue);

// "parts: N pieces of K types", then "part=TYPE count=C" per type.
std::vector<std::string> formatParts(const std::vector<PartCount>& parts);

}  // namespace app
