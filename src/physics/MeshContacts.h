// Private to physics/: how a ball's contacts with the merged klotz mesh
// reach the solver. Every triangle near the ball gives its own contact; on
// a floor curved out of small facets those just ahead touch the ball at
// their edges with normals leaning against its motion, and whichever the
// manifold keeps brakes the ball, by an amount that depends on the order
// of the mesh's tree. A ball touches a smooth surface at one point, the
// nearest: of contacts whose normals lie close together only the nearest
// is kept.
#pragma once

#include <vector>

#include <LinearMath/btVector3.h>

namespace physics {

struct MeshContact {
    btVector3 normal;   // unit, from the mesh toward the ball's centre
    btScalar distance;  // negative while they overlap
    // Unit normal of the flat surface the contact lies in (a face, or an
    // edge or corner inside one), toward the ball; zero when none.
    btVector3 surface{0, 0, 0};
};

// Contacts whose normals are within this (cos of 30 degrees) lie on one
// surface of the track: the facets of a curve, a seam. A floor and its
// wall, or the two sides of a trough, stay apart.
constexpr btScalar ONE_SURFACE_COS = btScalar(0.866);

// Indices of the contacts kept: per surface, the nearest. A contact on an
// edge inside a flat surface is covered by that surface's nearer contact
// whatever its own normal: a ball sunk into a floor touches the floor's
// seams at a slant.
std::vector<int> nearestPerSurface(const std::vector<MeshContact>& contacts);

// A contact approaching at less than this fraction of the ball's speed
// along the surface is grazing: on a step of 0.01 s only a curved surface
// turning under the ball makes one.
constexpr btScalar GRAZING_RATIO = btScalar(0.2);

// A ball riding a surface that turns under it: `previous` is the normal
// of the same surface one step before. The solver will take the approach
// away, and on a curve that shortens the velocity by as much as it turns
// it (round a loop of 1-degree facets a ball would lose a fifth of its
// energy). For a grazing contact the speed along the surface is raised
// beforehand so that what the solver leaves has the ball's own speed: the
// contact turns the velocity instead of shortening it, and its normal
// impulse still carries the friction that keeps the ball rolling. Only the
// approach the surface's turn makes is made up: not a new contact's
// impact, not a push by other balls, not gravity's pull into the surface.
// `velocity` is the ball's at the start of the step, before gravity's
// share. False when nothing changed.
bool keepGrazingSpeed(const MeshContact& contact, const btVector3& previous, btScalar step, const btVector3& gravity,
                      btVector3& velocity);

// The spin of a ball whose grazing contact turned from `previous` to
// `normal`, turned with it (by the rotation taking one normal into the
// other). On a smooth curve a rolling ball never slips; at each crease of
// a faceted one the ball's old spin meets the new facet at the crease's
// angle, and friction took the slip out as heat: on a banked turn that
// was a tenth of a ball's energy at 250 units/s, lost to the facets, not
// to the curve. Turned along, the ball rolls on as over the smooth curve.
btVector3 turnedSpin(const btVector3& previous, const btVector3& normal, const btVector3& spin);
// Only for a ball faster than this (units/s): a slow ball's slip at a
// crease is small, and runs built before kept what friction leaves them.
constexpr btScalar SPIN_TURN_SPEED = btScalar(150);

}  // namespace physics
