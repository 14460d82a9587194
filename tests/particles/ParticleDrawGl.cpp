// Draws sparks in a real GLUT window (run under Xvfb): they reach the
// screen in their colour, leave the GL state as they found it, and a reset
// system draws nothing.
#include <GL/freeglut.h>

#include <vector>

#include <gtest/gtest.h>

#include "particles/ParticleDraw.h"
#include "particles/ParticleSystem.h"

namespace {

constexpr int SIZE = 100;

void noDisplay() {}

// Pixels of the back buffer that are not black, and the reddest one.
int litPixels(int* maxRed) {
    std::vector<unsigned char> rgb(SIZE * SIZE * 3);
    glReadBuffer(GL_BACK);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, SIZE, SIZE, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
    int count = 0;
    *maxRed = 0;
    for (std::size_t i = 0; i < rgb.size(); i += 3) {
        if (rgb[i] || rgb[i + 1] || rgb[i + 2]) ++count;
        *maxRed = std::max(*maxRed, static_cast<int>(rgb[i]));
    }
    return count;
}

TEST(ParticleDraw, DrawsLiveSparksAndRestoresState) {
    int argc = 1;
    char name[] = "testgl_particles";
    char* argv[] = {name, nullptr};
    glutInit(&argc, argv);
    glutInitDisplayMode(GLUT_RGB | GLUT_DOUBLE | GLUT_DEPTH);
    glutInitWindowSize(SIZE, SIZE);
    glutCreateWindow("particles");
    glutDisplayFunc(noDisplay);
    for (int i = 0; i < 10; ++i) glutMainLoopEvent();
    glViewport(0, 0, SIZE, SIZE);
    glEnable(GL_CULL_FACE);
    glEnable(GL_LIGHTING);
    glEnable(GL_COLOR_MATERIAL);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    // The camera lives in the projection: world x, y -50..50 on screen.
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(-50, 50, -50, 50, -100, 100);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glTranslatef(1000.0f, 0.0f, 0.0f);  // the draw must not depend on this
    glColor4f(0.1f, 0.2f, 0.3f, 0.4f);

    particles::ParticleSystem system;
    system.setParticle(0, {0, 0, 0}, {0, 0, 0}, system.lifetime(), 0.0f, 0.0f);
    system.setParticle(1, {-30, -30, 0}, {0, 0, 0}, system.lifetime(), 180.0f, 0.0f);  // seen from the back
    system.setParticle(2, {30, 30, 0}, {0, 0, 0}, 1e-6f, 0.0f, 0.0f);  // about to die: the end colour, clear
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    particles::drawParticles(system);
    glFinish();
    int maxRed = 0;
    const int lit = litPixels(&maxRed);
    EXPECT_GE(lit, 2 * 4 * 4 - 8);  // two squares of 4 x 4 units
    EXPECT_LE(lit, 2 * 6 * 6);
    EXPECT_NEAR(maxRed, 166, 2);  // the start colour, unlit
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));

    EXPECT_TRUE(glIsEnabled(GL_CULL_FACE));
    EXPECT_TRUE(glIsEnabled(GL_LIGHTING));
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    GLfloat colour[4];
    glGetFloatv(GL_CURRENT_COLOR, colour);
    EXPECT_FLOAT_EQ(colour[0], 0.1f);
    EXPECT_FLOAT_EQ(colour[3], 0.4f);
    // Colour material must follow the restored colour too, or the next
    // lit object takes the last spark's colour.
    GLfloat material[4];
    glGetMaterialfv(GL_FRONT, GL_DIFFUSE, material);
    EXPECT_FLOAT_EQ(material[0], 0.1f);
    EXPECT_FLOAT_EQ(material[3], 0.4f);
    GLfloat modelView[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, modelView);
    EXPECT_EQ(modelView[12], 1000.0f);

    system.reset();
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    particles::drawParticles(system);
    glFinish();
    EXPECT_EQ(litPixels(&maxRed), 0);
}

}  // namespace
