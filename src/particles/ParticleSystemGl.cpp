#include <GL/gl.h>

#include "particles/ParticleDraw.h"

namespace particles {

void drawParticles(const ParticleSystem& system) {
    // The current colour is put back with glColor rather than popped, so
    // that colour material follows it and the next lit object does not take
    // the last spark's colour.
    GLfloat previousColour[4];
    glGetFloatv(GL_CURRENT_COLOR, previousColour);
    glPushAttrib(GL_ENABLE_BIT | GL_TRANSFORM_BIT);
    glDisable(GL_CULL_FACE);  // squares turn both faces to the camera
    glEnable(GL_BLEND);       // the end colour is transparent
    glDisable(GL_LIGHTING);
    glDisable(GL_TEXTURE_2D);
    glMatrixMode(GL_MODELVIEW);
    const float h = system.halfSize();
    system.forEachLiveNewestFirst([&](int slot) {
        const glm::vec3 p = system.position(slot);
        glPushMatrix();
        glLoadIdentity();
        glTranslatef(p.x, p.y, p.z);
        glRotatef(system.angleX(slot), 1.0f, 0.0f, 0.0f);
        glRotatef(system.angleY(slot), 0.0f, 1.0f, 0.0f);
        const Colour c = system.particleColour(slot);
        glColor4f(c[0], c[1], c[2], c[3]);
        glBegin(GL_QUADS);
        glVertex3f(h, h, 0.0f);
        glVertex3f(h, -h, 0.0f);
        glVertex3f(-h, -h, 0.0f);
        glVertex3f(-h, h, 0.0f);
        glEnd();
        glPopMatrix();
    });
    glPopAttrib();
    glColor4fv(previousColour);
}

}  // namespace particles
