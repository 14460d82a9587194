#include <vector>

#include <GL/gl.h>

#include "particles/ParticleDraw.h"

namespace particles {

void drawParticles(const ParticleSystem& system) {
    std::vector<float> vertices;
    std::vector<float> colours;
    system.quads(vertices, colours);
    if (vertices.empty()) return;

    // The current colour is put back with glColor rather than popped, so
    // that colour material follows it and the next lit object does not take
    // the last spark's colour.
    GLfloat previousColour[4];
    glGetFloatv(GL_CURRENT_COLOR, previousColour);
    glPushAttrib(GL_ENABLE_BIT | GL_TRANSFORM_BIT);
    glPushClientAttrib(GL_CLIENT_VERTEX_ARRAY_BIT);
    glDisable(GL_CULL_FACE);  // squares turn both faces to the camera
    glEnable(GL_BLEND);       // the end colour is transparent
    glDisable(GL_LIGHTING);
    glDisable(GL_TEXTURE_2D);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_COLOR_ARRAY);
    glDisableClientState(GL_NORMAL_ARRAY);
    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    glVertexPointer(3, GL_FLOAT, 0, vertices.data());
    glColorPointer(4, GL_FLOAT, 0, colours.data());
    glDrawArrays(GL_QUADS, 0, static_cast<GLsizei>(vertices.size() / 3));
    glPopMatrix();
    glPopClientAttrib();
    glPopAttrib();
    glColor4fv(previousColour);
}

}  // namespace particles
