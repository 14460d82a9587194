// Compiled GL display lists of klotz meshes. The builders live in the GL
// library (DisplayListsGl.cpp) and need a current GL context; this header
// itself pulls in no GL.
#pragma once

#include <vector>

#include "klotz/Catalogue.h"
#include "klotz/Mesh.h"

namespace klotz {

// Compiles mesh into a new display list in the current context: one
// glBegin/glEnd per triangle; flat gives one normal per triangle (its face
// normal), smooth one per corner. Only normals and vertices, so the caller's
// colour and matrices apply. An empty mesh gives a valid empty list.
int buildDisplayList(const Mesh& mesh, bool smooth);

// One list per type, in type order.
std::vector<int> buildTypeDisplayLists(const KlotzCatalogue& catalogue, bool smooth);

// Per type, one list per moving part.
std::vector<std::vector<int>> buildPartDisplayLists(const KlotzCatalogue& catalogue, bool smooth);

// glDeleteLists for every non-zero id.
void deleteDisplayLists(const std::vector<int>& ids);

}  // namespace klotz
