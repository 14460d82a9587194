// The pointed cell and the ghost of the piece the next insert would place.
#include <GL/freeglut.h>

#include "render/Hud.h"

namespace render {

namespace {

constexpr float CELL = 50.0f;     // world units
constexpr float LIFT = 0.6f;      // above the surface, so the outline is not hidden in it
constexpr float ARROW = 9.0f;     // half width of an opening's arrow, world units
constexpr float ARROW_OUT = 10.0f;

void drawCellOutline(const PointedCell& cell) {
    const float x0 = cell.row * CELL;
    const float z0 = -cell.column * CELL;
    const float y = cell.level * CELL + LIFT;
    glLineWidth(3.0f);
    glColor4f(1.0f, 0.85f, 0.1f, 1.0f);
    glBegin(GL_LINE_LOOP);
    glVertex3f(x0, y, z0);
    glVertex3f(x0 + CELL, y, z0);
    glVertex3f(x0 + CELL, y, z0 - CELL);
    glVertex3f(x0, y, z0 - CELL);
    glEnd();
    glLineWidth(1.0f);
}

// A flat arrow over the groove floor at each opening, pointing out of the
// side: magenta, so the ends of the track stand out from the pale ghost and
// from everything else in the scene.
void drawOpenings(const std::vector<Opening>& openings) {
    glColor4f(1.0f, 0.2f, 0.85f, 0.95f);
    for (const Opening& o : openings) {
        const glm::vec3 out = o.outward;
        const glm::vec3 across(-out.z, 0.0f, out.x);
        const glm::vec3 base = o.at + glm::vec3(0.0f, 2.0f, 0.0f);
        const glm::vec3 tip = base + out * ARROW_OUT;
        const glm::vec3 a = base + across * ARROW;
        const glm::vec3 b = base - across * ARROW;
        glBegin(GL_TRIANGLES);
        glNormal3f(0.0f, 1.0f, 0.0f);
        glVertex3f(a.x, a.y, a.z);
        glVertex3f(tip.x, tip.y, tip.z);
        glVertex3f(b.x, b.y, b.z);
        glEnd();
    }
}

}  // namespace

void drawPointedCell(const HudView& hud) {
    if (!hud.pointed) return;
    const PointedCell& cell = *hud.pointed;
    glPushAttrib(GL_ENABLE_BIT | GL_CURRENT_BIT | GL_LINE_BIT | GL_DEPTH_BUFFER_BIT | GL_COLOR_BUFFER_BIT |
                 GL_POLYGON_BIT);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    glDisable(GL_LIGHTING);
    drawCellOutline(cell);

    if (hud.ghostList != 0) {
        glEnable(GL_BLEND);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        glDepthMask(GL_FALSE);  // see the pieces behind through it
        glDisable(GL_CULL_FACE);
        glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
        glTranslatef(cell.row * CELL + 25.0f, cell.level * CELL + 25.0f, -(cell.column * CELL + 25.0f));
        glRotatef(90.0f * static_cast<float>(hud.ghostTurn), 0.0f, 1.0f, 0.0f);
        glEnable(GL_LIGHTING);
        glColor4f(1.0f, 0.95f, 0.7f, 0.5f);  // pale, unlike the kloetze and the balls
        glCallList(static_cast<GLuint>(hud.ghostList));
        for (int list : hud.ghostPartLists)
            if (list != 0) glCallList(static_cast<GLuint>(list));
        glDisable(GL_LIGHTING);
        glDisable(GL_DEPTH_TEST);  // the arrows show even inside the ghost
        if (hud.openings) drawOpenings(*hud.openings);
    }
    glPopMatrix();
    glPopAttrib();
}

}  // namespace render
