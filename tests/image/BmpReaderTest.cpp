#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>

#include "image/BmpReader.h"
#include "image/ImageFiles.h"
#include "support/TestSupport.h"

using imagetest::Bytes;
using imagetest::bmpFile;

namespace {

imagetest::Decoded decode(const Bytes& file, const std::string& name = "pic.bmp") {
    return imagetest::decodeWith(image::decodeBmp, file, name);
}

using imagetest::Decoded;
using imagetest::expectRefused;

}  // namespace

TEST(BmpReader, TwentyFourBitRowsDropPaddingAndComeRedFirst) {
    // 3 pixels wide: 9 bytes per row plus 3 padding bytes in the file.
    const Bytes rows = {1, 2, 3, 4, 5, 6, 7, 8, 9, 0xEE, 0xEE, 0xEE,
                        10, 11, 12, 13, 14, 15, 16, 17, 18, 0xEE, 0xEE, 0xEE};
    const Decoded d = decode(bmpFile(3, 2, 24, rows));
    ASSERT_TRUE(d.ok) << d.log;
    EXPECT_EQ(d.log, "");
    EXPECT_EQ(d.image.width, 3);
    EXPECT_EQ(d.image.height, 2);
    EXPECT_EQ(d.image.components, 3);
    // File order kept: the file's first (bottom) row comes first.
    EXPECT_EQ(d.image.pixels, (Bytes{3, 2, 1, 6, 5, 4, 9, 8, 7, 12, 11, 10, 15, 14, 13, 18, 17, 16}));
}

TEST(BmpReader, ThirtyTwoBitKeepsAlpha) {
    const Decoded d = decode(bmpFile(2, 1, 32, {1, 2, 3, 200, 4, 5, 6, 7}));
    ASSERT_TRUE(d.ok);
    EXPECT_EQ(d.image.components, 4);
    EXPECT_EQ(d.image.pixels, (Bytes{3, 2, 1, 200, 6, 5, 4, 7}));
}

// A palette is colours, a grey ramp too: taken for alpha it made the ball a
// plain white one.
TEST(BmpReader, GreyPaletteGivesGreyColours) {
    const Bytes rows = {0, 9, 255, 0xEE, 7, 8, 1, 0xEE};
    const Decoded d = decode(bmpFile(3, 2, 8, rows, imagetest::greyPalette()));
    ASSERT_TRUE(d.ok);
    EXPECT_EQ(d.image.components, 3);
    EXPECT_EQ(d.image.pixels, (Bytes{0, 0, 0, 9, 9, 9, 255, 255, 255, 7, 7, 7, 8, 8, 8, 1, 1, 1}));
}

TEST(BmpReader, PaletteEntriesGiveTheirColours) {
    Bytes palette = imagetest::greyPalette();
    imagetest::setEntry(palette, 9, 9, 100, 200);  // red alone equals 9
    imagetest::setEntry(palette, 200, 1, 2, 3);    // no channel equals 200
    const Decoded d = decode(bmpFile(2, 1, 8, {200, 9, 0, 0}, palette));
    ASSERT_TRUE(d.ok);
    EXPECT_EQ(d.image.components, 3);
    EXPECT_EQ(d.image.pixels, (Bytes{1, 2, 3, 9, 100, 200}));
}

TEST(BmpReader, TopDownBitmapIsTurnedBottomUp) {
    const Bytes rows = {1, 2, 3, 0, 4, 5, 6, 0};  // file rows: top, then bottom
    const Decoded d = decode(bmpFile(1, -2, 24, rows));
    ASSERT_TRUE(d.ok) << d.log;
    EXPECT_EQ(d.image.height, 2);
    EXPECT_EQ(d.image.pixels, (Bytes{6, 5, 4, 3, 2, 1}));
}

TEST(BmpReader, LastRowMayLackItsPadding) {
    const Decoded d = decode(bmpFile(1, 2, 24, {1, 2, 3, 0, 4, 5, 6}));
    ASSERT_TRUE(d.ok) << d.log;
    EXPECT_EQ(d.image.pixels, (Bytes{3, 2, 1, 6, 5, 4}));
}

TEST(BmpReader, RefusedVariantsKeepTheirMessages) {
    const std::string depth = "[ERROR] bitmap loader does not support this bit depth\n";
    expectRefused(decode(bmpFile(2, 1, 16, {0, 0, 0, 0})), depth);
    expectRefused(decode(bmpFile(8, 1, 1, {0, 0, 0, 0})), depth);
    const std::string compressed = "[ERROR] This bitmap loader does not support compressed files (yet)\n";
    expectRefused(decode(bmpFile(2, 1, 8, {0, 0, 0, 0}, imagetest::greyPalette(), 4)), compressed);  // JPEG
    expectRefused(decode(bmpFile(2, 1, 24, {0, 0, 0, 0}, {}, 1)), compressed);  // RLE8 of 24-bit pixels
}

TEST(BmpReader, WrongSignatureAndMissingFileFailSilently) {
    Bytes file = bmpFile(1, 1, 24, {1, 2, 3, 0});
    file[0] = 'M';
    expectRefused(decode(file), "");
    expectRefused(decode(Bytes{'B'}), "");
    expectRefused(decode(Bytes{}), "");

    testsupport::TempDir dir;
    image::Image out;
    std::ostringstream log;
    EXPECT_FALSE(image::readBmp(dir.file("absent.bmp"), out, log));
    EXPECT_EQ(log.str(), "");
}

TEST(BmpReader, TruncatedFilesAreRefusedByName) {
    const Bytes whole = bmpFile(2, 2, 24, Bytes(16, 7));
    expectRefused(decode(Bytes(whole.begin(), whole.begin() + 53), "a.bmp"),
                  "[ERROR] The file a.bmp ends inside its bitmap header\n");
    // Only the final padding may be missing, not a pixel byte.
    expectRefused(decode(Bytes(whole.begin(), whole.end() - 3), "a.bmp"),
                  "[ERROR] The file a.bmp ends before its pixel data is complete\n");
    const Bytes paletted = bmpFile(1, 1, 8, {0, 0, 0, 0}, imagetest::greyPalette());
    expectRefused(decode(Bytes(paletted.begin(), paletted.begin() + 1000), "p.bmp"),
                  "[ERROR] The file p.bmp ends inside its colour palette\n");
}

TEST(BmpReader, SizesTheFileCannotHoldAreRefusedBeforeAllocating) {
    const std::string tooShort = "[ERROR] The file big.bmp ends before its pixel data is complete\n";
    // width x height x 4 far beyond memory; would overflow 32-bit sizes.
    expectRefused(decode(bmpFile(0x7fffffff, 0x7fffffff, 32, Bytes(64, 1)), "big.bmp"), tooShort);
    expectRefused(decode(bmpFile(0x40000000, 4, 32, Bytes(64, 1)), "big.bmp"), tooShort);
    expectRefused(decode(bmpFile(1, -0x7fffffff, 24, Bytes(64, 1)), "big.bmp"), tooShort);
    expectRefused(decode(bmpFile(4, 1000, 8, Bytes(64, 1), imagetest::greyPalette()), "big.bmp"), tooShort);
}

TEST(BmpReader, EmptyOrNegativeSizesAreRefused) {
    expectRefused(decode(bmpFile(0, 1, 24, {}), "z.bmp"),
                  "[ERROR] The file z.bmp has an invalid image size of 0 x 1 pixels\n");
    expectRefused(decode(bmpFile(2, 0, 24, {}), "z.bmp"),
                  "[ERROR] The file z.bmp has an invalid image size of 2 x 0 pixels\n");
    expectRefused(decode(bmpFile(-2, 1, 24, Bytes(8, 0)), "z.bmp"),
                  "[ERROR] The file z.bmp has an invalid image size of -2 x 1 pixels\n");
    expectRefused(decode(bmpFile(1, INT32_MIN, 24, Bytes(8, 0)), "z.bmp"),
                  "[ERROR] The file z.bmp has an invalid image size of 1 x -2147483648 pixels\n");
}

TEST(BmpReader, ReadsFromDiskAndShipsTheBallTexture) {
    testsupport::TempDir dir;
    dir.write("one.bmp", imagetest::asString(bmpFile(1, 1, 24, {1, 2, 3, 0})));
    image::Image out;
    std::ostringstream log;
    ASSERT_TRUE(image::readBmp(dir.file("one.bmp"), out, log));
    EXPECT_EQ(out.pixels, (Bytes{3, 2, 1}));

    // The ball texture: 24-bit, power-of-two sides, not a flat colour.
    ASSERT_TRUE(image::readBmp(testsupport::dataDir() + "/some01.bmp", out, log)) << log.str();
    EXPECT_EQ(out.components, 3);
    EXPECT_EQ(out.width & (out.width - 1), 0);
    EXPECT_EQ(out.height & (out.height - 1), 0);
    std::size_t differing = 0;
    for (std::size_t i = 3; i < out.pixels.size(); i += 3)
        if (out.pixels[i] != out.pixels[0] || out.pixels[i + 1] != out.pixels[1] || out.pixels[i + 2] != out.pixels[2])
            ++differing;
    EXPECT_GT(differing, out.pixels.size() / 3 / 4);
}

namespace {

// A 7 x 3 picture (odd width: rows need padding at every depth but 4 bits)
// in the plain 40-byte layout. "eight": channels 0 or 255, exact in 16 bits;
// "many": 21 colours, too many for 4 bits; "two": black and white; "alpha":
// "eight" with three alpha levels in 32 bits.
Bytes plainPicture(const std::string& kind) {
    const bool alpha = kind == "alpha";
    Bytes rows;
    for (int i = 0; i < 21; ++i) {
        const int k = kind == "two" ? (i % 3 == 0 ? 7 : 0) : i % 8;
        Bytes bgra = {std::uint8_t(k & 4 ? 255 : 0), std::uint8_t(k & 2 ? 255 : 0), std::uint8_t(k & 1 ? 255 : 0),
                      std::uint8_t(64 + i % 3 * 64)};
        if (kind == "many") bgra = {std::uint8_t(i * 37), std::uint8_t(255 - i * 12), std::uint8_t(i * 12)};
        rows.insert(rows.end(), bgra.begin(), bgra.begin() + (alpha ? 4 : 3));
        if (i % 7 == 6)
            while (rows.size() % 4 != 0) rows.push_back(0);
    }
    return bmpFile(7, 3, alpha ? 32 : 24, rows);
}

}  // namespace

TEST(BmpReader, ImageMagickBitmapsDecodeLikeThePlainLayout) {
    if (std::system("convert -version > /dev/null 2>&1") != 0) GTEST_SKIP() << "ImageMagick's convert is missing";
    struct Variant {
        const char* picture;
        const char* options;
        int bits, headerBytes;  // what the written file must have, so the case means something
    };
    const Variant variants[] = {
        {"eight", "BMP:", 24, 124},
        {"eight", "-type palette BMP3:", 4, 40},
        {"eight", "-type palette BMP:", 4, 124},
        {"many", "-type palette -compress none BMP3:", 8, 40},  // RLE8 otherwise
        {"many", "-type palette -compress none BMP:", 8, 124},
        {"two", "-type palette BMP3:", 1, 40},
        {"two", "-type palette BMP:", 1, 124},
        {"eight", "-define bmp:subtype=RGB565 BMP:", 16, 124},
        {"eight", "-define bmp:subtype=RGB555 BMP:", 16, 124},
        {"alpha", "BMP:", 32, 124},
    };
    testsupport::TempDir dir;
    for (const Variant& v : variants) {
        SCOPED_TRACE(std::string(v.picture) + " " + v.options);
        const Bytes plain = plainPicture(v.picture);
        dir.write("in.bmp", imagetest::asString(plain));
        const std::string command = "convert '" + dir.file("in.bmp") + "' " + v.options + "'" + dir.file("out.bmp") + "'";
        ASSERT_EQ(std::system(command.c_str()), 0);
        const std::string written = dir.read("out.bmp");
        const Bytes file(written.begin(), written.end());
        ASSERT_GT(file.size(), 54u);
        EXPECT_EQ(file[28], v.bits);
        EXPECT_EQ(file[14], v.headerBytes);

        const Decoded expected = decode(plain);
        const Decoded d = decode(file);
        ASSERT_TRUE(d.ok) << d.log;
        EXPECT_EQ(d.log, "");
        EXPECT_EQ(d.image.width, 7);
        EXPECT_EQ(d.image.height, 3);
        EXPECT_EQ(d.image.components, expected.image.components);
        EXPECT_EQ(d.image.pixels, expected.image.pixels);
    }
}

TEST(BmpReader, ShortPalettesMasksAfterAPlainHeaderAndTheirRefusals) {
    // ImageMagick writes full palettes; GIMP writes as many entries as the
    // colour count says.
    Bytes three = {0, 0, 255, 0, 0, 255, 0, 0, 255, 0, 0, 0};  // red, green, blue
    Bytes file = bmpFile(3, 1, 8, {2, 0, 1, 0}, three);
    file[46] = 3;
    Decoded d = decode(file);
    ASSERT_TRUE(d.ok) << d.log;
    EXPECT_EQ(d.image.pixels, (Bytes{0, 0, 255, 255, 0, 0, 0, 255, 0}));

    // Red in the lowest byte, no alpha mask: three components.
    Bytes masks;
    for (std::uint32_t m : {0x000000ffu, 0x0000ff00u, 0x00ff0000u}) imagetest::put32(masks, m);
    d = decode(bmpFile(2, 1, 32, {1, 2, 3, 9, 4, 5, 6, 9}, masks, 3));
    ASSERT_TRUE(d.ok) << d.log;
    EXPECT_EQ(d.image.components, 3);
    EXPECT_EQ(d.image.pixels, (Bytes{1, 2, 3, 4, 5, 6}));

    masks[0] = 0xff;
    masks[2] = 0xff;  // red 0x00ff00ff: not one run of bits
    expectRefused(decode(bmpFile(2, 1, 32, Bytes(8, 0), masks, 3), "m.bmp"),
                  "[ERROR] The file m.bmp has colour masks this bitmap loader does not support\n");
    Bytes os2 = bmpFile(1, 1, 24, {1, 2, 3, 0});
    os2[14] = 12;
    expectRefused(decode(os2, "o.bmp"),
                  "[ERROR] The file o.bmp has a bitmap header of 12 bytes; this loader reads Windows headers of 40 "
                  "bytes or more\n");
    // A 4-bit file with its palette but JPEG-compressed.
    expectRefused(decode(bmpFile(2, 1, 4, {0x12, 0, 0, 0}, Bytes(64, 0), 4)),
                  "[ERROR] This bitmap loader does not support compressed files (yet)\n");
}
