#include <gtest/gtest.h>

#include <cstdio>
#include <sstream>
#include <utility>
#include <vector>

#include "image/ImageFiles.h"
#include "image/TextureRegistry.h"
#include "support/TestSupport.h"

using imagetest::Bytes;

namespace {

struct Upload {
    image::PixelFormat format;
    int width, height, components;
    bool compress;
    Bytes pixels;
};

// Records every upload and hands out names 100, 101, ...; with `compressTo`
// set it reports that compressed size when asked to compress.
struct FakeGl {
    std::vector<Upload> uploads;
    int compressTo = 0;

    image::TextureRegistry registry(image::TextureRegistry::SizeLimit maxSide = {}) {
        return image::TextureRegistry(
            [this](image::PixelFormat f, const image::Image& im, bool c, int* size) {
                uploads.push_back({f, im.width, im.height, im.components, c, im.pixels});
                if (c && compressTo > 0) *size = compressTo;
                return static_cast<unsigned>(100 + uploads.size() - 1);
            },
            std::move(maxSide));
    }
};

class TextureRegistryTest : public ::testing::Test {
protected:
    testsupport::TempDir dir;
    testsupport::ScopedChdir here{dir.path()};
    FakeGl gl;
    image::TextureRegistry registry = gl.registry();
    std::ostringstream out, err;

    void writeBmp24(const std::string& name, int width = 1, int height = 1) {
        const int stride = (width * 3 + 3) / 4 * 4;
        dir.write(name, imagetest::asString(imagetest::bmpFile(width, height, 24, Bytes(stride * height, 9))));
    }
    unsigned load(const std::string& name, bool compress = false) {
        return registry.loadTexture(name, compress, out, err);
    }
};

}  // namespace

TEST_F(TextureRegistryTest, SameNameIsReadAndUploadedOnce) {
    writeBmp24("ball.bmp", 3, 2);
    const unsigned first = load("ball.bmp");
    EXPECT_EQ(first, 100u);
    std::remove("ball.bmp");  // a second read would now fail
    EXPECT_EQ(load("ball.bmp"), first);
    ASSERT_EQ(gl.uploads.size(), 1u);
    const image::TextureEntry* e = registry.entry("ball.bmp");
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(e->texture, first);
    EXPECT_EQ(e->useCount, 2);
    EXPECT_EQ(e->byteSize, 3 * 3 * 2);
    // Tightly packed rows reach the uploader: 3 wide, no row skew.
    EXPECT_EQ(gl.uploads[0].pixels.size(), 18u);
    EXPECT_EQ(gl.uploads[0].format, image::PixelFormat::Rgb);
}

TEST_F(TextureRegistryTest, KeysAreExactButEndingsIgnoreCase) {
    writeBmp24("a.bmp");
    writeBmp24("A.BMP");
    writeBmp24("xbmp");  // no dot: still a bitmap
    dir.write("t.TgA", imagetest::asString(imagetest::tgaFile({}, {}, {1, 2, 3})));
    EXPECT_EQ(load("a.bmp"), 100u);
    EXPECT_EQ(load("A.BMP"), 101u);
    EXPECT_EQ(load("xbmp"), 102u);
    EXPECT_EQ(load("t.TgA"), 103u);
    EXPECT_EQ(registry.size(), 4u);
    EXPECT_EQ(gl.uploads[3].pixels, (Bytes{3, 2, 1}));
    EXPECT_EQ(err.str(), "");
    EXPECT_EQ(image::imageKindOf("ABmP"), image::ImageKind::Bmp);
}

TEST_F(TextureRegistryTest, UnknownEndingsGoToStandardError) {
    writeBmp24("pic.png");
    for (const char* name : {"pic.png", "mp", "", "bm"}) {
        err.str("");
        EXPECT_EQ(load(name), 0u) << name;
        EXPECT_EQ(err.str(), "Unsupported image format\n") << name;
    }
    EXPECT_EQ(out.str(), "");
    EXPECT_EQ(registry.size(), 0u);
    EXPECT_TRUE(gl.uploads.empty());
}

TEST_F(TextureRegistryTest, FailedReadRegistersNothingAndIsRetried) {
    EXPECT_EQ(load("late.bmp"), 0u);
    EXPECT_EQ(registry.entry("late.bmp"), nullptr);
    imagetest::TgaHeader blackAndWhite;
    blackAndWhite.type = 3;
    dir.write("bad.tga", imagetest::asString(imagetest::tgaFile(blackAndWhite, {}, {0})));
    EXPECT_EQ(load("bad.tga"), 0u);
    EXPECT_EQ(out.str(), "[ERROR] The file bad.tga contains black & white data which is unsupported\n");
    EXPECT_EQ(err.str(), "");
    writeBmp24("late.bmp");
    EXPECT_EQ(load("late.bmp"), 100u);
    EXPECT_EQ(registry.entry("late.bmp")->useCount, 1);
}

TEST_F(TextureRegistryTest, TwoComponentImagesAreRefused) {
    imagetest::TgaHeader h;
    h.depth = 16;
    dir.write("sixteen.tga", imagetest::asString(imagetest::tgaFile(h, {}, {1, 2})));
    EXPECT_EQ(load("sixteen.tga"), 0u);
    EXPECT_EQ(out.str(), "[ERROR] The file sixteen.tga has 2 bytes per pixel, which cannot be used as a texture\n");
    EXPECT_TRUE(gl.uploads.empty());
    EXPECT_EQ(registry.size(), 0u);
}

TEST_F(TextureRegistryTest, FormatsAndCompressedSize) {
    gl.compressTo = 8;
    writeBmp24("rgb.bmp", 4, 4);
    dir.write("grey.bmp", imagetest::asString(imagetest::bmpFile(1, 1, 8, {5, 0, 0, 0}, imagetest::greyPalette())));
    dir.write("rgba.bmp", imagetest::asString(imagetest::bmpFile(1, 1, 32, {1, 2, 3, 4})));
    load("rgb.bmp", true);
    load("grey.bmp", false);
    load("rgba.bmp", false);
    ASSERT_EQ(gl.uploads.size(), 3u);
    EXPECT_TRUE(gl.uploads[0].compress);
    EXPECT_EQ(registry.entry("rgb.bmp")->byteSize, 8);
    // A grey palette is colours, not alpha.
    EXPECT_EQ(gl.uploads[1].format, image::PixelFormat::Rgb);
    EXPECT_EQ(registry.entry("grey.bmp")->byteSize, 3);
    EXPECT_EQ(gl.uploads[2].format, image::PixelFormat::Rgba);
    EXPECT_EQ(registry.entry("rgba.bmp")->byteSize, 4);
}

TEST(TextureRegistry, UploaderFailureRegistersNothing) {
    testsupport::TempDir dir;
    dir.write("a.bmp", imagetest::asString(imagetest::bmpFile(1, 1, 24, {1, 2, 3, 0})));
    image::TextureRegistry registry([](image::PixelFormat, const image::Image&, bool, int*) { return 0u; });
    std::ostringstream out, err;
    EXPECT_EQ(registry.loadTexture(dir.file("a.bmp"), false, out, err), 0u);
    EXPECT_EQ(registry.size(), 0u);
}

TEST_F(TextureRegistryTest, BitmapsThatCannotBecomeTexturesAreNamed) {
    dir.write("ball.bmp", "GIF89a");  // another format renamed
    dir.write("empty.bmp", "");
    EXPECT_EQ(load("ball.bmp"), 0u);
    EXPECT_EQ(load("empty.bmp"), 0u);
    EXPECT_EQ(out.str(), "[ERROR] The file ball.bmp is not a bitmap: it does not start with \"BM\"\n"
                         "[ERROR] The file empty.bmp is not a bitmap: it does not start with \"BM\"\n");

    out.str("");
    image::TextureRegistry limited = gl.registry([] { return 4; });
    writeBmp24("wide.bmp", 5, 1);
    writeBmp24("tall.bmp", 1, 5);
    writeBmp24("edge.bmp", 4, 4);
    EXPECT_EQ(limited.loadTexture("wide.bmp", false, out, err), 0u);
    EXPECT_EQ(limited.loadTexture("tall.bmp", false, out, err), 0u);
    EXPECT_EQ(limited.loadTexture("edge.bmp", false, out, err), 100u);
    EXPECT_EQ(out.str(),
              "[ERROR] The file wide.bmp is 5 x 1 pixels; the graphics driver takes textures of at most 4 pixels a side\n"
              "[ERROR] The file tall.bmp is 1 x 5 pixels; the graphics driver takes textures of at most 4 pixels a side\n");
    EXPECT_EQ(limited.size(), 1u);
}
