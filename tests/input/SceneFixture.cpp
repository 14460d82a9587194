#include "SceneFixture.h"

namespace scenetest {

klotz::Mesh cubeMesh(float half) {
    klotz::Mesh mesh;
    for (int i = 0; i < 8; ++i) {
        mesh.vertices.push_back(i & 1 ? half : -half);
        mesh.vertices.push_back(i & 2 ? half : -half);
        mesh.vertices.push_back(i & 4 ? half : -half);
    }
    mesh.faces = {0, 2, 3, 0, 3, 1, 4, 5, 7, 4, 7, 6, 0, 1, 5, 0, 5, 4,
                  2, 6, 7, 2, 7, 3, 0, 4, 6, 0, 6, 2, 1, 3, 7, 1, 7, 5};
    mesh.vertexCount = 8;
    mesh.faceCount = 12;
    return mesh;
}

SceneFixture::SceneFixture() {
    for (int t = 0; t < 2; ++t) {
        klotz::KlotzType type;
        type.name = "cube" + std::to_string(t);
        type.mesh = cubeMesh(t == 0 ? 25.0f : 20.0f);
        catalogue.catalogueNames.push_back(type.name);
        catalogue.klotzTypes.push_back(type);
        catalogue.typeDisplayLists.push_back(t + 1);
    }
    palette.init(catalogue.typeCount(), 500);
}

// No test may hand the world a stale or invalid handle.
SceneFixture::~SceneFixture() { EXPECT_EQ(physicsLog.str(), ""); }

}  // namespace scenetest
