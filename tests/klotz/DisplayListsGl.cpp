#include <gtest/gtest.h>

#include <sstream>
#include <vector>

#include <GL/freeglut.h>

#include "klotz/DisplayLists.h"
#include "klotz/ObjLoader.h"

namespace {

// A small window gives the lists a GL context.
void ensureContext() {
    static bool made = false;
    if (made) return;
    int argc = 1;
    char name[] = "testgl_klotz";
    char* argv[] = {name, nullptr};
    glutInit(&argc, argv);
    glutInitDisplayMode(GLUT_RGBA | GLUT_DEPTH);
    glutInitWindowSize(64, 64);
    glutCreateWindow("klotz lists");
    made = true;
}

klotz::Mesh fold30() {
    std::ostringstream quiet;
    return klotz::parseObj("v 0 0 0\nv 50 0 0\nv 0 50 0\nv 0 -43.30127 25\nf 1 2 3\nf 4 2 1\n", "fold.obj", quiet);
}

// Triangles drawn by a list, counted through GL feedback.
int trianglesDrawnBy(int list) {
    std::vector<GLfloat> buffer(4096);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(-200, 200, -200, 200, -200, 200);  // nothing clipped
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glFeedbackBuffer(static_cast<GLsizei>(buffer.size()), GL_3D, buffer.data());
    glRenderMode(GL_FEEDBACK);
    glCallList(static_cast<GLuint>(list));
    const int values = glRenderMode(GL_RENDER);
    int triangles = 0;
    for (int i = 0; i < values;) {
        if (buffer[i] == GL_POLYGON_TOKEN) {
            int corners = static_cast<int>(buffer[i + 1]);
            EXPECT_EQ(corners, 3);
            ++triangles;
            i += 2 + 3 * corners;
        } else {
            ADD_FAILURE() << "unexpected feedback token " << buffer[i];
            break;
        }
    }
    return triangles;
}

std::vector<float> currentNormalAfter(int list) {
    glNormal3f(9, 9, 9);
    glCallList(static_cast<GLuint>(list));
    GLfloat n[4] = {};
    glGetFloatv(GL_CURRENT_NORMAL, n);
    return {n[0], n[1], n[2]};
}

TEST(DisplayListsGl, FlatAndSmoothListsDrawEveryTriangleWithTheirNormals) {
    ensureContext();
    glDisable(GL_CULL_FACE);
    klotz::Mesh mesh = fold30();
    const int flat = klotz::buildDisplayList(mesh, false);
    const int smooth = klotz::buildDisplayList(mesh, true);
    ASSERT_NE(flat, smooth);
    EXPECT_TRUE(glIsList(static_cast<GLuint>(flat)));
    EXPECT_EQ(trianglesDrawnBy(flat), 2);
    EXPECT_EQ(trianglesDrawnBy(smooth), 2);
    // The last normal a list sets: the last face normal when flat, the last
    // corner's smoothed normal when smooth (that corner is on the fold).
    ASSERT_NE(mesh.faceNormals[4], mesh.cornerNormals[16]);
    EXPECT_EQ(currentNormalAfter(flat), (std::vector<float>{mesh.faceNormals[3], mesh.faceNormals[4], mesh.faceNormals[5]}));
    EXPECT_EQ(currentNormalAfter(smooth),
              (std::vector<float>{mesh.cornerNormals[15], mesh.cornerNormals[16], mesh.cornerNormals[17]}));
    klotz::deleteDisplayLists({flat, smooth});
    EXPECT_FALSE(glIsList(static_cast<GLuint>(flat)));
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST(DisplayListsGl, EmptyMeshGivesAValidEmptyList) {
    ensureContext();
    const int list = klotz::buildDisplayList(klotz::Mesh(), true);
    EXPECT_NE(list, 0);
    EXPECT_TRUE(glIsList(static_cast<GLuint>(list)));
    EXPECT_EQ(trianglesDrawnBy(list), 0);
    EXPECT_EQ(currentNormalAfter(list), (std::vector<float>{9, 9, 9}));
    klotz::deleteDisplayLists({list});
}

TEST(DisplayListsGl, OneListPerTypeInTypeOrder) {
    ensureContext();
    klotz::KlotzCatalogue catalogue;
    catalogue.klotzTypes.resize(3);
    catalogue.klotzTypes[1].mesh = fold30();
    std::vector<int> lists = klotz::buildTypeDisplayLists(catalogue, false);
    ASSERT_EQ(lists.size(), 3u);
    EXPECT_EQ(trianglesDrawnBy(lists[0]), 0);
    EXPECT_EQ(trianglesDrawnBy(lists[1]), 2);
    EXPECT_NE(lists[0], lists[2]);
    klotz::deleteDisplayLists(lists);
}

}  // namespace
