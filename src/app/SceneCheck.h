// What tumbalon-sim adds for sharing and guarding runs: the robustness
// check's options, and --check FOLDER, which runs every scene of a folder
// and fails when any scene loses a ball, to guard a collection in CI.
#pragma once

#include <iosfwd>
#include <string>

#include "app/Picture.h"
#include "app/Robustness.h"
#include "klotz/Catalogue.h"

namespace app {

struct ShareOptions {
    bool robustness = false;
    RobustnessOptions robust;
    bool parts = false;
    std::string picture;     // PNG file to render the scene into
    double pictureAt = 0.0;  // seconds into the run
};

// Reads the option at argv[i] (and its value, moving i on) when it is one of
// --robustness [N], --seed S, -j N, --offset D, --delay S, --spin R,
// --parts, --picture FILE.png, --at S. Returns 0 for none of them, 1 when
// read, 2 when refused (the reason written to err).
int readShareOption(int argc, char** argv, int& i, ShareOptions& options, std::ostream& err);

// Whether --picture FILE.png can be written with this renderer; the reason
// on err when not.
bool pictureWritable(const std::string& file, const PictureRenderer& renderer, std::ostream& err);
// The request drawn and encoded as a PNG file's bytes; empty on failure,
// error saying why.
std::string picturePng(const PictureRequest& request, const PictureRenderer& renderer, std::string& error);
// Renders the request and writes it as a PNG file; failures on err.
bool writePicture(const std::string& file, const PictureRequest& request, const PictureRenderer& renderer,
                  std::ostream& err);

// The catalogue from the working folder, without GL; loader warnings go to
// err.
void loadHeadlessCatalogue(klotz::KlotzCatalogue& catalogue, std::ostream& err);

// tumbalon-sim --check FOLDER [--seconds S] [--robustness N ...]: one line
// per scene, "scene=NAME balls=N home=H rest_time=T|never" (with
// " robustness=K/N" when asked), then "check: K of M scenes brought every
// ball home". Returns 0 when every scene brought every ball home, 1 when
// one did not or was refused, 2 for a bad command line.
int runCheck(int argc, char** argv, std::ostream& out, std::ostream& err);

}  // namespace app
