// Where a klotz type's groove meets the sides of its cell: the openings a
// ball comes in and goes out by, found from the mesh once at start-up so the
// ghost can mark them.
#pragma once

#include <vector>

#include <glm/glm.hpp>

#include "klotz/Catalogue.h"
#include "klotz/Mesh.h"

namespace render {

struct Opening {
    glm::vec3 outward;  // unit axis out of the side, in the mesh's frame
    glm::vec3 at;       // middle of the groove floor on that side, mesh units
};

// A side has an opening where the mesh has vertices on it, away from its
// corners, lower than the side's highest point and above its lowest: the
// notch of a groove. A plain cube has none.
std::vector<Opening> findOpenings(const klotz::Mesh& mesh);
std::vector<std::vector<Opening>> findOpenings(const klotz::KlotzCatalogue& catalogue);

}  // namespace render
