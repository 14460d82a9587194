// The scene file: six sections of white-space separated decimal numbers
// (ball start per cell, ball start list, cell stacks, klotz types, klotz
// poses, selection). Saving replaces the target only once the new content
// is completely written; loading checks the whole file before it builds
// anything, so a refused file leaves the model empty and consistent.
#pragma once

#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

#include "io/Result.h"
#include "klotz/Catalogue.h"
#include "physics/Physics.h"
#include "scene/SceneModel.h"

namespace scene {

// The file's content, read but not yet built.
struct SceneFileData {
    SceneFileData() { cellBallStart.fill(-1); }
    std::array<int, CELL_COUNT> cellBallStart;
    std::vector<BallStart> ballStarts;
    std::array<std::vector<int>, CELL_COUNT> cellStack;
    std::vector<int> klotzTypes;  // catalogue index per placed klotz
    std::vector<PoseMatrix> poses;
    int selectedRow = 0;
    int selectedColumn = 0;
};

// The text saveScene writes: each number followed by one blank, a line end
// after sections 1 to 5, none after section 6.
std::string formatScene(const SceneModel& model, const SceneState& state);

// Reads and checks text as a scene for a catalogue of typeCount types. The
// error's text says what is wrong and where (section and number, counted
// from 1) when the file is truncated, malformed or does not describe a
// consistent scene.
io::Result<SceneFileData> parseScene(const std::string& text, int typeCount);

// Fills an empty model from checked data: one ball per ball start, one klotz
// actor per placed klotz at its stored pose, and the selection.
void buildScene(const SceneFileData& data, SceneModel& model, SceneState& state, klotz::KlotzCatalogue& catalogue,
                physics::PhysicsWorld& world);

// Writes the scene to fileName through a temporary file in the same folder
// that is renamed over it, so a failed save leaves an existing file as it
// was. A failure is reported on out, naming the file; returns success.
bool saveScene(const SceneModel& model, const SceneState& state, const std::string& fileName, std::ostream& out);

// Loads fileName into the empty model. A file that cannot be opened gives
// "Can not open object File \"NAME\" !\n"; one refused unread (not a
// regular file, too large) or refused for its content a message naming it
// and what is wrong. Either way the model stays empty; returns success.
bool loadScene(SceneModel& model, SceneState& state, klotz::KlotzCatalogue& catalogue,
               physics::PhysicsWorld& world, const std::string& fileName, std::ostream& out);
// The same from a file's text already in memory; fileName only names it.
bool loadSceneText(SceneModel& model, SceneState& state, klotz::KlotzCatalogue& catalogue,
                   physics::PhysicsWorld& world, const std::string& text, const std::string& fileName,
                   std::ostream& out);

// Reads and checks fileName; a file that cannot be read or is refused is
// reported on out ("Can not open object File ..." or "scene file ...
// refused: ...") and gives nothing.
std::optional<SceneFileData> readSceneFile(const std::string& fileName, int typeCount, std::ostream& out);
// The same for a file's text already in memory.
std::optional<SceneFileData> checkSceneText(const std::string& text, int typeCount, const std::string& fileName,
                                            std::ostream& out);

}  // namespace scene
