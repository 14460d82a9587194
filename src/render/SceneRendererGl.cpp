#include <algorithm>
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

// highlighted: index drawn in selectedKlotzColour, or -1.
void drawKloetze(const SceneView& view, int highlighted) {
    const RenderColours& colours = view.resources.colours;
    const scene::SceneModel& model = view.model;
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
    }
}

void drawBall(const SceneView& view, physics::ActorHandle ball) {
    // A released handle is skipped rather than drawn at a stale pose.
    if (!view.world.isActor(ball)) return;
    glPushMatrix();
    std::array<float, 16> m = physics::poseToMatrix(view.world.getGlobalPose(ball));
    glMultMatrixf(m.data());  // rotates with the ball, so the texture shows the rolling
    glCallList(view.resources.ballLists[ballDetailLevel(glm::distance(view.eye, glm::vec3(m[12], m[13], m[14])))]);
    glPopMatrix();
}

void drawSimulationPicture(const SceneView& view) {
    drawKloetze(view, -1);
    glBindTexture(GL_TEXTURE_2D, view.resources.ballTexture);
    glEnable(GL_TEXTURE_2D);
    glColor4fv(view.resources.colours.ballColour.data());
    if (view.resources.ballLists[0] != 0) {
        const std::vector<physics::ActorHandle>& balls = view.model.ballActors();
        for (std::size_t i = 0; i < balls.size(); ++i)
            if (!ballHidden(view.state, static_cast<int>(i))) drawBall(view, balls[i]);
        for (physics::ActorHandle ball : view.model.shotBalls()) drawBall(view, ball);
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
    if (view.state.insightShown && view.insight) drawInsightPanel(*view.insight, view.state.simulationRunning);
    drawTextLines(view.overlay, Corner::TopRight, TextSize::Large);
    glFlush();
    glutSwapBuffers();
}

}  // namespace render
