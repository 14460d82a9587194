#include <GL/freeglut.h>
#include <GL/glu.h>

#include "render/Marker.h"
#include "render/Resources.h"
#include "render/SceneLayout.h"

namespace render {

namespace {

unsigned compileMarker() {
    GLuint list = glGenLists(1);
    glNewList(list, GL_COMPILE);
    glBegin(GL_TRIANGLES);
    // A normal is given only where it changes; it holds for the following
    // triangles as in the table.
    bool first = true;
    glm::vec3 current(0.0f);
    for (const MarkerTriangle& t : MARKER_TRIANGLES) {
        if (first || t.normal != current) {
            glNormal3f(t.normal.x, t.normal.y, t.normal.z);
            current = t.normal;
            first = false;
        }
        for (const glm::vec3& c : t.corners) glVertex3f(c.x, c.y, c.z);
    }
    glEnd();
    glEndList();
    return list;
}

}  // namespace

void buildPrimitives(RenderResources& res, view::Camera& camera, TextureLoader loadTexture) {
    camera.setStartPose();
    res.colours = RenderColours{};
    res.ballTexture = loadTexture ? loadTexture(BALL_TEXTURE_FILE, true) : 0u;
    if (res.quadric == nullptr) res.quadric = gluNewQuadric();
    if (res.quadric != nullptr) {
        gluQuadricTexture(res.quadric, GL_TRUE);  // texture coordinates for the balls
        gluQuadricDrawStyle(res.quadric, GLU_FILL);
        gluQuadricNormals(res.quadric, GLU_SMOOTH);
        // Every ball is the same sphere: tessellated once, not per ball and frame.
        for (int level = 0; level < BALL_LEVELS; ++level) {
            res.ballLists[level] = glGenLists(1);
            glNewList(res.ballLists[level], GL_COMPILE);
            gluSphere(res.quadric, BALL_DRAW_RADIUS, BALL_LEVEL_DIVISIONS[level], BALL_LEVEL_DIVISIONS[level]);
            glEndList();
        }
    }
    res.markerList = compileMarker();
    res.ringList = glGenLists(1);
    glNewList(res.ringList, GL_COMPILE);
    glRotatef(90.0f, 1.0f, 0.0f, 0.0f);  // lays the torus flat
    glutSolidTorus(RING_INNER_RADIUS, RING_OUTER_RADIUS, RING_SIDES, RING_RINGS);
    glEndList();
}

void releaseResources(RenderResources& res) {
    if (res.markerList != 0) glDeleteLists(res.markerList, 1);
    res.markerList = 0;
    if (res.ringList != 0) glDeleteLists(res.ringList, 1);
    res.ringList = 0;
    for (unsigned& list : res.ballLists) {
        if (list != 0) glDeleteLists(list, 1);
        list = 0;
    }
    if (res.quadric != nullptr) gluDeleteQuadric(res.quadric);
    res.quadric = nullptr;
}

}  // namespace render
