#include <gtest/gtest.h>

#include <sstream>

#include "image/ImageFiles.h"
#include "image/TgaReader.h"
#include "support/TestSupport.h"

using imagetest::Bytes;
using imagetest::TgaHeader;
using imagetest::tgaFile;

namespace {

imagetest::Decoded decode(const Bytes& file, const std::string& name = "pic.tga") {
    return imagetest::decodeWith(image::decodeTga, file, name);
}

using imagetest::Decoded;
using imagetest::expectRefused;

TgaHeader header(int type, int width, int height, int depth) {
    TgaHeader h;
    h.type = type;
    h.width = width;
    h.height = height;
    h.depth = depth;
    return h;
}

TgaHeader mapped(int type, int width, int height, int entries, int bits) {
    TgaHeader h = header(type, width, height, 8);
    h.colourMapType = 1;
    h.colourMapLength = entries;
    h.colourMapBits = bits;
    return h;
}

// A 24-bit colour map of three entries, stored B, G, R.
const Bytes MAP24 = {3, 2, 1, 6, 5, 4, 9, 8, 7};

}  // namespace

TEST(TgaReader, TrueColourRowsAreReversedAndRedBlueSwapped) {
    // File rows A (first) then B, 2 x 2 pixels.
    const Bytes a = {1, 2, 3, 4, 5, 6};
    const Bytes b = {7, 8, 9, 10, 11, 12};
    Bytes data = a;
    data.insert(data.end(), b.begin(), b.end());
    const Decoded d = decode(tgaFile(header(2, 2, 2, 24), {}, data));
    ASSERT_TRUE(d.ok) << d.log;
    EXPECT_EQ(d.image.components, 3);
    EXPECT_EQ(d.image.pixels, (Bytes{9, 8, 7, 12, 11, 10, 3, 2, 1, 6, 5, 4}));
}

TEST(TgaReader, AlphaAndEightBitTrueColour) {
    TgaHeader h = header(2, 2, 1, 32);
    h.id = "skipped id";
    Decoded d = decode(tgaFile(h, {}, {1, 2, 3, 4, 5, 6, 7, 8}));
    ASSERT_TRUE(d.ok);
    EXPECT_EQ(d.image.components, 4);
    EXPECT_EQ(d.image.pixels, (Bytes{3, 2, 1, 4, 7, 6, 5, 8}));

    d = decode(tgaFile(header(2, 3, 1, 8), {}, {1, 2, 3}));
    ASSERT_TRUE(d.ok);
    EXPECT_EQ(d.image.components, 1);
    EXPECT_EQ(d.image.pixels, (Bytes{1, 2, 3}));

    // Run-length 8-bit: bytes unchanged too.
    d = decode(tgaFile(header(10, 3, 1, 8), {}, {130, 5}));
    ASSERT_TRUE(d.ok);
    EXPECT_EQ(d.image.pixels, (Bytes{5, 5, 5}));

    // 16-bit pixels come back as read with 2 components.
    d = decode(tgaFile(header(2, 1, 1, 16), {}, {0x34, 0x12}));
    ASSERT_TRUE(d.ok);
    EXPECT_EQ(d.image.components, 2);
    EXPECT_EQ(d.image.pixels, (Bytes{0x34, 0x12}));
}

TEST(TgaReader, RunLengthPacketBoundaries) {
    // 128: run of 1; 255: run of 128; 0: one raw value; 127: 128 raw values.
    Bytes data = {128, 1};
    data.insert(data.end(), {255, 2});
    data.insert(data.end(), {0, 3});
    data.push_back(127);
    for (int i = 0; i < 128; ++i) data.push_back(static_cast<std::uint8_t>(i));
    const Decoded d = decode(tgaFile(header(10, 258, 1, 8), {}, data));
    ASSERT_TRUE(d.ok) << d.log;
    Bytes expected = {1};
    expected.insert(expected.end(), 128, 2);
    expected.push_back(3);
    for (int i = 0; i < 128; ++i) expected.push_back(static_cast<std::uint8_t>(i));
    EXPECT_EQ(d.image.pixels, expected);
}

TEST(TgaReader, RunLengthTrueColourFlipsRowsAndMayCrossRows) {
    // A run of 3 crosses from file row 0 {P, P} into row 1 {P, Q}.
    const Bytes data = {130, 1, 2, 3, 0, 4, 5, 6};
    const Decoded d = decode(tgaFile(header(10, 2, 2, 24), {}, data));
    ASSERT_TRUE(d.ok) << d.log;
    EXPECT_EQ(d.image.pixels, (Bytes{3, 2, 1, 6, 5, 4, 3, 2, 1, 3, 2, 1}));
}

TEST(TgaReader, ColourMappedImages) {
    // Type 1, 24-bit map: file rows {0, 1} then {2, 2}.
    Decoded d = decode(tgaFile(mapped(1, 2, 2, 3, 24), MAP24, {0, 1, 2, 2}));
    ASSERT_TRUE(d.ok) << d.log;
    EXPECT_EQ(d.image.components, 3);
    EXPECT_EQ(d.image.pixels, (Bytes{7, 8, 9, 7, 8, 9, 1, 2, 3, 4, 5, 6}));

    // 32-bit map: entry k at k x 4, alpha kept.
    d = decode(tgaFile(mapped(1, 2, 1, 2, 32), {1, 2, 3, 4, 5, 6, 7, 8}, {1, 0}));
    ASSERT_TRUE(d.ok);
    EXPECT_EQ(d.image.components, 4);
    EXPECT_EQ(d.image.pixels, (Bytes{7, 6, 5, 8, 3, 2, 1, 4}));

    // Type 9: a run of index 2 then a raw index 0, one row each.
    d = decode(tgaFile(mapped(9, 2, 2, 3, 24), MAP24, {129, 2, 1, 0, 1}));
    ASSERT_TRUE(d.ok) << d.log;
    EXPECT_EQ(d.image.pixels, (Bytes{1, 2, 3, 4, 5, 6, 7, 8, 9, 7, 8, 9}));
}

TEST(TgaReader, TrueColourSkipsACarriedColourMap) {
    TgaHeader h = header(2, 1, 1, 24);
    h.colourMapType = 1;
    h.colourMapLength = 2;
    h.colourMapBits = 16;
    const Decoded d = decode(tgaFile(h, {0xAA, 0xAA, 0xBB, 0xBB}, {1, 2, 3}));
    ASSERT_TRUE(d.ok) << d.log;
    EXPECT_EQ(d.image.pixels, (Bytes{3, 2, 1}));
}

TEST(TgaReader, RefusedTypesNameTheFile) {
    const auto refuse = [](int type) { return decode(tgaFile(header(type, 1, 1, 8), {}, {0}), "x.tga"); };
    expectRefused(refuse(0), "[ERROR] The file x.tga contains no image data\n");
    expectRefused(refuse(3), "[ERROR] The file x.tga contains black & white data which is unsupported\n");
    expectRefused(refuse(11), "[ERROR] The file x.tga contains compressed black & white data which is unsupported\n");
    expectRefused(refuse(32), "[ERROR] The file x.tga contains compressed color map data which is un-supported\n");
    expectRefused(refuse(33), "[ERROR] The file x.tga contains compressed color map data which is un-supported "
                              "(4pass quad tree process)\n");
    expectRefused(refuse(5), "[ERROR] The file x.tga does not appear to be valid\n");
}

TEST(TgaReader, TruncatedFilesAreRefused) {
    expectRefused(decode({}, "t.tga"), "[ERROR] The file t.tga ends inside its header\n");
    expectRefused(decode(Bytes(17, 0), "t.tga"), "[ERROR] The file t.tga ends inside its header\n");
    TgaHeader h = header(2, 1, 1, 24);
    h.id = "abcdef";
    Bytes file = tgaFile(h, {}, {});
    file.resize(20);
    expectRefused(decode(file, "t.tga"), "[ERROR] The file t.tga ends inside its image ID field\n");
    const std::string incomplete = "[ERROR] The file t.tga ends before its image data is complete\n";
    expectRefused(decode(tgaFile(header(2, 2, 2, 24), {}, Bytes(11, 1)), "t.tga"), incomplete);
    expectRefused(decode(tgaFile(mapped(1, 2, 2, 3, 24), MAP24, {0, 0, 0}), "t.tga"), incomplete);
    expectRefused(decode(tgaFile(mapped(1, 1, 1, 3, 24), Bytes(8, 0), {}), "t.tga"),
                  "[ERROR] The file t.tga ends inside its colour map\n");
    // A raw packet whose values are cut off, and a run without its value.
    expectRefused(decode(tgaFile(header(10, 4, 1, 24), {}, {3, 1, 2, 3, 4, 5, 6}), "t.tga"), incomplete);
    expectRefused(decode(tgaFile(header(10, 2, 1, 24), {}, {0, 1, 2, 3, 128, 1}), "t.tga"), incomplete);
}

TEST(TgaReader, SizesTheFileCannotFillAreRefusedBeforeAllocating) {
    const std::string incomplete = "[ERROR] The file h.tga ends before its image data is complete\n";
    expectRefused(decode(tgaFile(header(2, 65535, 65535, 32), {}, Bytes(100, 1)), "h.tga"), incomplete);
    // Two run packets of 4 bytes expand to at most 256 pixels.
    expectRefused(decode(tgaFile(header(10, 257, 1, 24), {}, {255, 1, 2, 3, 255, 1, 2, 3}), "h.tga"), incomplete);
    expectRefused(decode(tgaFile(header(2, 0, 5, 24), {}, {}), "h.tga"),
                  "[ERROR] The file h.tga has an invalid image size of 0 x 5 pixels\n");
}

TEST(TgaReader, MalformedPacketsIndicesAndDepthsAreRefused) {
    expectRefused(decode(tgaFile(header(10, 2, 1, 24), {}, {255, 1, 2, 3}), "m.tga"),
                  "[ERROR] The file m.tga has a run-length packet that runs past the end of the image\n");
    expectRefused(decode(tgaFile(header(10, 2, 1, 8), {}, {0, 1, 1, 2, 3}), "m.tga"),
                  "[ERROR] The file m.tga has a run-length packet that runs past the end of the image\n");
    expectRefused(decode(tgaFile(mapped(1, 2, 1, 3, 24), MAP24, {0, 3}), "m.tga"),
                  "[ERROR] The file m.tga uses colour index 3 beyond its colour map of 3 entries\n");
    expectRefused(decode(tgaFile(mapped(9, 2, 1, 0, 24), {}, {129, 0}), "m.tga"),
                  "[ERROR] The file m.tga uses colour index 0 beyond its colour map of 0 entries\n");
    expectRefused(decode(tgaFile(mapped(1, 1, 1, 1, 16), {1, 2}, {0}), "m.tga"),
                  "[ERROR] The file m.tga has colour map entries of 16 bits; only 24 and 32 are supported\n");
    expectRefused(decode(tgaFile(header(2, 1, 1, 15), {}, {1, 2}), "m.tga"),
                  "[ERROR] The file m.tga has an unsupported pixel depth of 15 bits\n");
    expectRefused(decode(tgaFile(header(10, 1, 1, 0), {}, {0}), "m.tga"),
                  "[ERROR] The file m.tga has an unsupported pixel depth of 0 bits\n");
}

TEST(TgaReader, ReadsFromDiskAndMissingFileIsSilent) {
    testsupport::TempDir dir;
    dir.write("a.tga", imagetest::asString(tgaFile(header(2, 1, 1, 24), {}, {1, 2, 3})));
    image::Image out;
    std::ostringstream log;
    ASSERT_TRUE(image::readTga(dir.file("a.tga"), out, log));
    EXPECT_EQ(out.pixels, (Bytes{3, 2, 1}));
    EXPECT_FALSE(image::readTga(dir.file("absent.tga"), out, log));
    EXPECT_EQ(log.str(), "");
    EXPECT_TRUE(out.pixels.empty());
}

TEST(TgaReader, HelpersSwapAndFlip) {
    Bytes b = {1, 2, 3, 4, 5, 6, 7, 8};
    image::swapRedBlue(b.data(), 2, 4);
    EXPECT_EQ(b, (Bytes{3, 2, 1, 4, 7, 6, 5, 8}));
    Bytes rows = {1, 1, 2, 2, 3, 3};
    image::flipRows(rows.data(), 2, 3);
    EXPECT_EQ(rows, (Bytes{3, 3, 2, 2, 1, 1}));
}
