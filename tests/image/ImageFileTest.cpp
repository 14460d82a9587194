#include <gtest/gtest.h>

#include <sstream>

#include "image/BmpReader.h"
#include "image/TgaReader.h"
#include "support/TestSupport.h"

namespace {

// A folder or a device is refused before reading, as an image refusal; a
// missing file stays silent.
TEST(ImageFile, ReadersRefuseWhatIsNotARegularFile) {
    testsupport::TempDir dir;
    for (auto read : {image::readBmp, image::readTga}) {
        image::Image out;
        std::ostringstream log;
        EXPECT_FALSE(read("/dev/zero", out, log));
        EXPECT_EQ(log.str(), "[ERROR] \"/dev/zero\" is not a regular file\n");
        std::ostringstream quiet;
        EXPECT_FALSE(read(dir.file("none.tga"), out, quiet));
        EXPECT_EQ(quiet.str(), "");
    }
}

}  // namespace
