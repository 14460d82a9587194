// PNG files read back through libpng itself, and screenshot names that never
// overwrite.
#include <csetjmp>
#include <cstdio>
#include <filesystem>
#include <fstream>

#include <png.h>

#include <gtest/gtest.h>

#include "image/PngWriter.h"
#include "support/TestSupport.h"

namespace {

struct Read {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgb;
};

Read readPng(const std::string& file) {
    Read r;
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, file.c_str())) return r;
    image.format = PNG_FORMAT_RGB;
    r.rgb.resize(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, r.rgb.data(), 0, nullptr)) return r;
    r.width = static_cast<int>(image.width);
    r.height = static_cast<int>(image.height);
    return r;
}

TEST(PngWriter, WritesPixelsThatReadBackTopRowFirst) {
    testsupport::TempDir dir;
    const std::string file = dir.path() + "/p.png";
    std::vector<std::uint8_t> rgb(3 * 2 * 3, 0);
    rgb[0] = 255;                       // top left red
    rgb[(1 * 3 + 2) * 3 + 2] = 200;     // bottom right blue
    std::string error;
    ASSERT_TRUE(image::writePng(file, 3, 2, rgb, error)) << error;
    const Read back = readPng(file);
    EXPECT_EQ(back.width, 3);
    EXPECT_EQ(back.height, 2);
    EXPECT_EQ(back.rgb, rgb);

    // A size that does not match the pixels writes nothing.
    EXPECT_FALSE(image::writePng(dir.path() + "/q.png", 4, 2, rgb, error));
    EXPECT_FALSE(std::filesystem::exists(dir.path() + "/q.png"));
    EXPECT_FALSE(image::writePng(dir.path() + "/no/such/folder.png", 3, 2, rgb, error));
    EXPECT_FALSE(error.empty());
}

TEST(PngWriter, PictureNamesSkipTakenOnes) {
    testsupport::TempDir dir;
    EXPECT_EQ(image::freePictureName(dir.path(), "tumbalon"), dir.path() + "/tumbalon-000.png");
    std::ofstream(dir.path() + "/tumbalon-000.png") << "x";
    std::ofstream(dir.path() + "/tumbalon-001.png") << "x";
    EXPECT_EQ(image::freePictureName(dir.path(), "tumbalon"), dir.path() + "/tumbalon-002.png");
}

}  // namespace
