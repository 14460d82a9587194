#include <algorithm>
#include <cmath>
#include <cstdlib>

#include <GL/freeglut.h>

#include "physics/Actors.h"
#include "render/InsightPanel.h"
#include "render/SceneRenderer.h"
#include "render/TextOverlay.h"

namespace render {

namespace {

constexpr int GRID_LINES = scene::GRID_SIZE + 1;
constexpr float GRID_EXTENT = scene::GRID_SIZE * scene::CELL_SIZE;  // world units
constexpr float OUTLINE_SHADE = 0.35f;     // of the klotz colour
constexpr float HIDDEN_BALL_SHADE = 0.7f;  // of a ball's texture, seen through track
constexpr int SHADOW_SEGMENTS = 20;
constexpr int HIDDEN_BALL_FINEST = 1;  // level of detail: 16 x 16 at most

void drawGrid(const RenderColours& colours) {
    glColor4fv(colours.gridColour.data());
    glNormal3f(0.0f, 1.0f, 0.0f);  // lit like everything else
    for (int i = 0; i < GRID_LINES; ++i) {
        float at = static_cast<float>(i) * scene::CELL_SIZE;
        glBegin(GL_LINES);
        glVertex3f(0.0f, 0.0f, -at);
        glVertex3f(GRID_EXTENT, 0.0f, -at);
        glVertex3f(at, 0.0f, 0.0f);
        glVertex3f(at, 0.0f, -GRID_EXTENT);
        glEnd();
    }
}

// The dark outlines over the filled kloetze: the crease lines of each type,
// and on curved types the edges of the back faces, which show only where
// the klotz's outline meets what lies behind it.
void drawOutlines(const SceneView& view) {
    const scene::SceneModel& model = view.model;
    const RenderColours& colours = view.resources.colours;
    const std::vector<unsigned>& outlines = view.resources.outlineLists;
    const std::vector<bool>& curved = view.resources.curvedTypes;
    glPushAttrib(GL_ENABLE_BIT | GL_CURRENT_BIT | GL_POLYGON_BIT | GL_LINE_BIT);
    glDisable(GL_LIGHTING);
    glColor4f(colours.klotzColour[0] * OUTLINE_SHADE, colours.klotzColour[1] * OUTLINE_SHADE,
              colours.klotzColour[2] * OUTLINE_SHADE, 1.0f);
    glLineWidth(1.5f);
    const std::size_t count =
        std::min({model.placedPoses().size(), model.placedTypes().size(), model.placedDisplayLists().size()});
    for (std::size_t i = 0; i < count; ++i) {
        const int type = model.placedTypes()[i];
        if (type < 0 || type >= static_cast<int>(outlines.size()) || outlines[type] == 0) continue;
        glPushMatrix();
        glMultMatrixf(model.placedPoses()[i].data());
        glCallList(outlines[type]);
        glPopMatrix();
    }
    glPolygonMode(GL_BACK, GL_LINE);
    glCullFace(GL_FRONT);
    glLineWidth(2.0f);
    for (std::size_t i = 0; i < count; ++i) {
        const int type = model.placedTypes()[i];
        if (type < 0 || type >= static_cast<int>(curved.size()) || !curved[type]) continue;
        glPushMatrix();
        glMultMatrixf(model.placedPoses()[i].data());
        glCallList(static_cast<GLuint>(model.placedDisplayLists()[i]));
        glPopMatrix();
    }
    glPopAttrib();
}

// Klotz i's moving parts where their bodies are.
void drawMovingParts(const SceneView& view, int i) {
    const scene::SceneModel& model = view.model;
    if (!view.catalogue || i >= static_cast<int>(model.placedActors().size()) || i >= static_cast<int>(model.placedTypes().size())) return;
    const physics::ActorHandle actor = model.placedActors()[i];
    const int parts = view.world.movingPartCount(actor);
    for (int k = 0; k < parts; ++k) {
        const int list = view.catalogue->partDisplayListOf(model.placedTypes()[i], k);
        if (list == 0) continue;
        glPushMatrix();
        glMultMatrixf(view.world.movingPartMatrix(actor, k).data());
        glCallList(static_cast<GLuint>(list));
        glPopMatrix();
    }
}

// highlighted: index drawn in selectedKlotzColour, or -1.
void drawKloetze(const SceneView& view, int highlighted) {
    const RenderColours& colours = view.resources.colours;
    const scene::SceneModel& model = view.model;
    const bool outlined = view.clearLook && !view.state.wireframe;
    // The faces give way a little in depth, so lines along them win.
    if (outlined) {
        glEnable(GL_POLYGON_OFFSET_FILL);
        glPolygonOffset(1.0f, 1.0f);
    }
    glColor4fv(colours.klotzColour.data());
    std::size_t count = std::min(model.placedPoses().size(), model.placedDisplayLists().size());
    for (std::size_t i = 0; i < count; ++i) {
        glPushMatrix();
        glMultMatrixf(model.placedPoses()[i].data());
        GLuint list = static_cast<GLuint>(model.placedDisplayLists()[i]);
        if (static_cast<int>(i) == highlighted) {
            glColor4fv(colours.selectedKlotzColour.data());
            glCallList(list);
            glColor4fv(colours.klotzColour.data());
        } else {
            glCallList(list);
        }
        glPopMatrix();
        drawMovingParts(view, static_cast<int>(i));
    }
    if (outlined) {
        glDisable(GL_POLYGON_OFFSET_FILL);
        drawOutlines(view);
        glColor4fv(colours.klotzColour.data());
    }
}

// A soft dark disc on the surface under the ball, darker and tighter the
// nearer the ball is to it.
void drawBallShadow(const SceneView& view, physics::ActorHandle ball) {
    if (!view.world.isActor(ball)) return;
    const glm::vec3 centre = view.world.getGlobalPosition(ball);
    // From just under the ball, so the ray does not start inside it.
    const glm::vec3 from = centre - glm::vec3(0.0f, BALL_DRAW_RADIUS + 0.05f, 0.0f);
    physics::RayHit hit;
    if (!view.world.raycastClosest(from, glm::vec3(0.0f, -1.0f, 0.0f), SHADOW_REACH, &hit)) return;
    const ShadowDisc disc = shadowDisc(hit.distance);
    if (disc.alpha <= 0.0f) return;
    // A frame on the surface: normal n, two directions along it.
    // The side the ray came from, whichever way the mesh's triangle faces.
    const glm::vec3 n = hit.normal.y < 0.0f ? -hit.normal : hit.normal;
    const glm::vec3 u = glm::normalize(glm::abs(n.x) < 0.9f ? glm::cross(n, glm::vec3(1, 0, 0))
                                                             : glm::cross(n, glm::vec3(0, 0, 1)));
    const glm::vec3 v = glm::cross(n, u);
    const glm::vec3 c = hit.point + n * 0.5f;
    glBegin(GL_TRIANGLE_FAN);
    glColor4f(0.0f, 0.0f, 0.0f, disc.alpha);
    glVertex3f(c.x, c.y, c.z);
    glColor4f(0.0f, 0.0f, 0.0f, 0.0f);
    for (int k = 0; k <= SHADOW_SEGMENTS; ++k) {
        const float a = 6.2831853f * static_cast<float>(k) / SHADOW_SEGMENTS;
        const glm::vec3 p = c + disc.radius * (std::cos(a) * u + std::sin(a) * v);
        glVertex3f(p.x, p.y, p.z);
    }
    glEnd();
}

template <typename EachBall>
void forEachDrawnBall(const SceneView& view, EachBall each) {
    const std::vector<physics::ActorHandle>& balls = view.model.ballActors();
    for (std::size_t i = 0; i < balls.size(); ++i)
        if (!ballHidden(view.state, static_cast<int>(i))) each(balls[i]);
    for (physics::ActorHandle ball : view.model.shotBalls()) each(ball);
}

// finest: the finest level of detail used, 0 for the finest there is.
void drawBall(const SceneView& view, physics::ActorHandle ball, int finest = 0) {
    // A released handle is skipped rather than drawn at a stale pose.
    if (!view.world.isActor(ball)) return;
    glPushMatrix();
    std::array<float, 16> m = physics::poseToMatrix(view.world.getGlobalPose(ball));
    glMultMatrixf(m.data());  // rotates with the ball, so the texture shows the rolling
    const int level = ballDetailLevel(glm::distance(view.eye, glm::vec3(m[12], m[13], m[14])));
    glCallList(view.resources.ballLists[std::max(level, finest)]);
    glPopMatrix();
}

void drawSimulationPicture(const SceneView& view) {
    drawKloetze(view, -1);
    const bool clear = view.clearLook && !view.state.wireframe;
    if (clear) {
        glPushAttrib(GL_ENABLE_BIT | GL_CURRENT_BIT | GL_DEPTH_BUFFER_BIT | GL_LIGHTING_BIT | GL_POLYGON_BIT |
                     GL_COLOR_BUFFER_BIT);
        glDisable(GL_LIGHTING);
        glDisable(GL_CULL_FACE);
        glEnable(GL_BLEND);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        glDepthMask(GL_FALSE);
        glShadeModel(GL_SMOOTH);
        glEnable(GL_POLYGON_OFFSET_FILL);
        glPolygonOffset(-1.0f, -2.0f);
        forEachDrawnBall(view, [&](physics::ActorHandle ball) { drawBallShadow(view, ball); });
        glPopAttrib();
    }
    glBindTexture(GL_TEXTURE_2D, view.resources.ballTexture);
    glEnable(GL_TEXTURE_2D);
    glColor4fv(view.resources.colours.ballColour.data());
    if (view.resources.ballLists[0] != 0) {
        if (clear) {
            // Where track hides a ball, the parts behind it: unlit and
            // dimmed. Drawn before the balls themselves, against the track
            // alone, so a coarser sphere serves: the visible parts are drawn
            // over it next.
            glPushAttrib(GL_ENABLE_BIT | GL_CURRENT_BIT | GL_DEPTH_BUFFER_BIT);
            glDisable(GL_LIGHTING);
            glDepthFunc(GL_GREATER);
            glDepthMask(GL_FALSE);
            glColor4f(HIDDEN_BALL_SHADE, HIDDEN_BALL_SHADE, HIDDEN_BALL_SHADE, 1.0f);
            forEachDrawnBall(view, [&](physics::ActorHandle ball) { drawBall(view, ball, HIDDEN_BALL_FINEST); });
            glPopAttrib();
        }
        forEachDrawnBall(view, [&](physics::ActorHandle ball) { drawBall(view, ball); });
    }
    glDisable(GL_TEXTURE_2D);
}

void drawMarker(const SceneView& view) {
    const scene::SceneState& state = view.state;
    double phase = advanceMarkerPhase(view.marker, view.now);
    int h = stackHeight(view.model, state.selectedRow, state.selectedColumn);
    glm::vec3 offset = markerOffset(state.selectedRow, state.selectedColumn, h, phase);
    glColor4fv(view.resources.colours.markerColour.data());
    glPushMatrix();
    glTranslatef(offset.x, offset.y, offset.z);
    glCallList(view.resources.markerList);
    glPopMatrix();
}

int nextRandom(const SceneView& view) { return view.nextRandom() % (particles::RANDOM_MAX + 1); }

void drawBallStarts(const SceneView& view) {
    const scene::SceneState& state = view.state;
    const RenderColours& colours = view.resources.colours;
    glColor4fv(colours.markerColour.data());
    const std::vector<scene::BallStart>& starts = view.model.ballStarts();
    for (std::size_t i = 0; i < starts.size(); ++i) {
        int index = static_cast<int>(i);
        int h = stackHeight(view.model, starts[i].row, starts[i].column);
        glm::vec3 centre = scene::levelCentre(starts[i].row, starts[i].column, h);
        glPushMatrix();
        glTranslatef(centre.x, centre.y, centre.z);
        if (state.followBall && index == state.followedBall) {
            glColor4fv(colours.followedStartColour.data());
            glCallList(view.resources.ringList);
            glColor4fv(colours.markerColour.data());
        } else {
            glCallList(view.resources.ringList);
        }
        if (state.particlesOn && index == state.particleBall) {
            RingEmission emission;
            emission.position = ringEmissionPoint(centre, nextRandom(view));
            if (view.emitRing) view.emitRing(emission);
            glColor4fv(colours.markerColour.data());  // the particle code may change the colour
        }
        glPopMatrix();
    }
}

void drawBuildingPicture(const SceneView& view) {
    int highlighted = highlightedKlotz(view.state, view.model);
    if (highlighted < 0) drawMarker(view);
    drawKloetze(view, highlighted);
    drawBallStarts(view);
}

// Red outlines on the top of each weak klotz, seen through whatever is in
// front of them.
void drawWeakPlaces(const std::vector<run::KlotzPlace>& places) {
    if (places.empty()) return;
    glPushAttrib(GL_ENABLE_BIT | GL_LINE_BIT | GL_CURRENT_BIT);
    glDisable(GL_LIGHTING);
    glDisable(GL_DEPTH_TEST);
    glLineWidth(3.0f);
    glColor3f(0.9f, 0.1f, 0.05f);
    for (const run::KlotzPlace& p : places) {
        const float x0 = p.row * scene::CELL_SIZE, x1 = x0 + scene::CELL_SIZE;
        const float z0 = -p.column * scene::CELL_SIZE, z1 = z0 - scene::CELL_SIZE;
        const float y = (p.level + 1) * scene::CELL_SIZE;
        glBegin(GL_LINE_LOOP);
        glVertex3f(x0, y, z0);
        glVertex3f(x1, y, z0);
        glVertex3f(x1, y, z1);
        glVertex3f(x0, y, z1);
        glEnd();
    }
    glPopAttrib();
}

}  // namespace

void renderScene(const SceneView& view) {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    drawGrid(view.resources.colours);
    if (view.state.simulationRunning)
        drawSimulationPicture(view);
    else
        drawBuildingPicture(view);
    if (particlesDrawn(view.state) && view.drawParticles) view.drawParticles();
    if (view.state.insightShown) drawWeakPlaces(view.weakPlaces);
    if (view.state.insightShown && view.insight) drawInsightPanel(*view.insight, view.state.simulationRunning);
    drawTextLines(view.overlay, Corner::TopRight, TextSize::Large);
    if (view.drawHud) view.drawHud();
    glFlush();
    glutSwapBuffers();
}

}  // namespace render
