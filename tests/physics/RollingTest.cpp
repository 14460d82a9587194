#include <gtest/gtest.h>

#include "physics/Actors.h"
#include "physics/Physics.h"
#include "physics/TrackGeometry.h"

namespace {

using namespace physics;
using namespace trackgeometry;

TEST(KlotzContact, DroppedBallComesToRestOnTheGrooveFloor) {
    // Separate meshes per klotz and one shared mesh behave alike.
    for (bool shared : {false, true}) {
        PhysicsWorld world;
        PieceMesh piece = flatPiece();
        MeshHandle mesh = registerMesh(world, piece);
        for (int i = 0; i < 3; ++i)
            place(world, shared ? mesh : registerMesh(world, piece), levelCentre(2 + i, 3, 1));
        glm::vec3 centre = levelCentre(3, 3, 1);
        ActorHandle ball = ballAt(world, {centre.x + 5, centre.y + 60, centre.z});
        world.simulate(2.0f);
        glm::vec3 settled = world.getGlobalPosition(ball);
        EXPECT_NEAR(settled.y, centre.y + FLOOR_Y + BALL_RADIUS, 0.1f) << shared;
        EXPECT_NEAR(settled.z, centre.z, 0.1f);
        for (int i = 0; i < 200; ++i) {
            world.simulate(0.01f);
            EXPECT_LT(glm::length(world.getGlobalPosition(ball) - settled), 0.05f);
        }
    }
}

}  // namespace
