// Run-length compressed and palette bitmaps as image editors write them:
// the reader's pixels against ImageMagick's own reading of the same file.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>

#include "image/BmpReader.h"
#include "image/ImageFiles.h"
#include "image/TextureRegistry.h"
#include "support/TestSupport.h"

namespace {

using imagetest::Bytes;

Bytes rle(std::int32_t width, std::int32_t height, int bits, const Bytes& data, const Bytes& palette) {
    return imagetest::bmpFile(width, height, bits, data, palette, bits == 8 ? 1 : 2);
}

TEST(BmpCompressed, RunsAbsoluteRunsAndDeltasUnpack) {
    Bytes palette = imagetest::greyPalette();
    imagetest::setEntry(palette, 1, 255, 0, 0);
    imagetest::setEntry(palette, 2, 0, 255, 0);
    // 4 x 3: row 0 a run of three 1s; row 1 absolute 2 1 2 (padded); a
    // delta skips from (0, 2) to (1, 2), a 2 there, end of bitmap.
    const Bytes data = {3, 1, 0, 0, 0, 3, 2, 1, 2, 0, 0, 0, 0, 2, 1, 0, 1, 2, 0, 1};
    const imagetest::Decoded d = imagetest::decodeWith(image::decodeBmp, rle(4, 3, 8, data, palette), "r.bmp");
    ASSERT_TRUE(d.ok) << d.log;
    const Bytes K = {0, 0, 0}, R = {255, 0, 0}, G = {0, 255, 0};
    Bytes expected;
    for (const Bytes* p : {&R, &R, &R, &K, &G, &R, &G, &K, &K, &G, &K, &K})
        expected.insert(expected.end(), p->begin(), p->end());
    EXPECT_EQ(d.image.pixels, expected);

    // RLE4: a run alternates two indices; an absolute run of 3 is 2 bytes.
    const Bytes data4 = {5, 0x12, 0, 0, 0, 3, 0x21, 0x20, 0, 1};
    const imagetest::Decoded d4 = imagetest::decodeWith(image::decodeBmp, rle(5, 2, 4, data4, palette), "r4.bmp");
    ASSERT_TRUE(d4.ok) << d4.log;
    expected.clear();
    for (const Bytes* p : {&R, &G, &R, &G, &R, &G, &R, &G, &K, &K})
        expected.insert(expected.end(), p->begin(), p->end());
    EXPECT_EQ(d4.image.pixels, expected);

    // Data that stops before its end mark with rows to come is refused.
    imagetest::expectRefused(imagetest::decodeWith(image::decodeBmp, rle(4, 3, 8, {3, 1, 0, 0}, palette), "t.bmp"),
                             "[ERROR] The file t.bmp ends before its pixel data is complete\n");
    // A few bytes may claim any size; the unpacked image is bounded.
    imagetest::expectRefused(imagetest::decodeWith(image::decodeBmp, rle(65536, 65536, 8, {0, 1}, palette), "b.bmp"),
                             "[ERROR] The file b.bmp is a compressed bitmap of 65536 x 65536 pixels; this loader "
                             "unpacks bottom-up ones of at most 16777216 pixels\n");
}

// Runs ImageMagick; false when it is not there or fails.
bool magick(const std::string& arguments) {
    return std::system(("convert " + arguments + " 2>/dev/null").c_str()) == 0;
}

// The texture the registry makes of file, with its format.
image::Image uploaded(const std::string& file, image::PixelFormat& format) {
    image::Image seen;
    image::TextureRegistry registry([&](image::PixelFormat f, const image::Image& im, bool, int*) {
        format = f;
        seen = im;
        return 1u;
    });
    std::ostringstream out, err;
    EXPECT_EQ(registry.loadTexture(file, true, out, err), 1u) << out.str() << err.str();
    return seen;
}

TEST(BmpCompressed, ImageMagicksPaletteAndRleFilesAreTheirColours) {
    testsupport::TempDir dir;
    const std::string grey = dir.file("grey.bmp");
    const std::string packed = dir.file("packed.bmp");
    // A 256-level grey ramp as an 8-bit palette file; a few colours in
    // stripes, run-length compressed.
    if (!magick("-size 4x256 gradient:black-white -type Palette BMP3:" + grey) ||
        !magick("-size 37x9 xc:red -fill blue -draw 'rectangle 5,2 20,6' -fill '#208040' -draw 'point 30,1' "
                "-type Palette -compress RLE BMP3:" + packed))
        GTEST_SKIP() << "ImageMagick's convert is not installed";
    const std::string header = testsupport::readFile(packed).substr(0, 54);
    ASSERT_EQ(header[28], 8) << "not an 8-bit file";
    ASSERT_EQ(header[30], 1) << "ImageMagick did not compress it as RLE8";
    ASSERT_EQ(testsupport::readFile(grey)[28], 8) << "not an 8-bit file";

    for (const std::string& file : {grey, packed}) {
        image::PixelFormat format = image::PixelFormat::Alpha;
        const image::Image image = uploaded(file, format);
        EXPECT_EQ(format, image::PixelFormat::Rgb) << file;
        // ImageMagick's reading, bottom row first like the reader's.
        ASSERT_TRUE(magick(file + " -flip -depth 8 RGB:" + file + ".rgb")) << file;
        const std::string rgb = testsupport::readFile(file + ".rgb");
        EXPECT_EQ(std::string(image.pixels.begin(), image.pixels.end()), rgb) << file;
    }
}

}  // namespace
