#include <algorithm>
#include <cstdint>

#include <GL/gl.h>

#include "klotz/DisplayLists.h"

namespace klotz {

int buildDisplayList(const Mesh& mesh, bool smooth) {
    const GLuint id = glGenLists(1);
    glNewList(id, GL_COMPILE);
    // Counts are bounded by the arrays so a hand-made mesh cannot read past them.
    const std::size_t vertexCount = mesh.vertices.size() / 3;
    const int faceCount = static_cast<int>(std::min<std::size_t>(
        {static_cast<std::size_t>(mesh.faceCount), mesh.faces.size() / 3,
         smooth ? mesh.cornerNormals.size() / 9 : mesh.faceNormals.size() / 3}));
    for (int f = 0; f < faceCount; ++f) {
        const std::int32_t* corner = &mesh.faces[3 * static_cast<std::size_t>(f)];
        bool inside = true;
        for (int k = 0; k < 3; ++k) inside = inside && corner[k] >= 0 && static_cast<std::size_t>(corner[k]) < vertexCount;
        if (!inside) continue;
        glBegin(GL_TRIANGLES);
        if (!smooth) glNormal3fv(&mesh.faceNormals[3 * static_cast<std::size_t>(f)]);
        for (int k = 0; k < 3; ++k) {
            if (smooth) glNormal3fv(&mesh.cornerNormals[3 * (3 * static_cast<std::size_t>(f) + k)]);
            glVertex3fv(&mesh.vertices[3 * static_cast<std::size_t>(corner[k])]);
        }
        glEnd();
    }
    glEndList();
    return static_cast<int>(id);
}

std::vector<int> buildTypeDisplayLists(const KlotzCatalogue& catalogue, bool smooth) {
    std::vector<int> ids;
    ids.reserve(catalogue.klotzTypes.size());
    for (const KlotzType& type : catalogue.klotzTypes) ids.push_back(buildDisplayList(type.mesh, smooth));
    return ids;
}

std::vector<std::vector<int>> buildPartDisplayLists(const KlotzCatalogue& catalogue, bool smooth) {
    std::vector<std::vector<int>> ids(catalogue.klotzTypes.size());
    for (std::size_t t = 0; t < catalogue.klotzTypes.size(); ++t)
        for (const KlotzPart& part : catalogue.klotzTypes[t].parts) ids[t].push_back(buildDisplayList(part.mesh, smooth));
    return ids;
}

void deleteDisplayLists(const std::vector<int>& ids) {
    for (int id : ids)
        if (id != 0) glDeleteLists(static_cast<GLuint>(id), 1);
}

}  // namespace klotz
