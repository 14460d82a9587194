#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <random>
#include <string>

#include "io/WordScanner.h"
#include "support/TestSupport.h"

namespace {

bool sameBits(float a, float b) { return std::memcmp(&a, &b, sizeof a) == 0; }

TEST(WordScanner, TakesOnlyWholeNumbersAndCountsLines) {
    const std::string text = "1.5 2e0x\n\n  -3 v\r\n";
    io::WordScanner scanner(text);
    float f = 0.0f;
    ASSERT_TRUE(scanner.takeFloat(f));
    EXPECT_EQ(f, 1.5f);
    EXPECT_FALSE(scanner.takeFloat(f));  // "2e0x" is no number and stays
    io::Word w = scanner.next();
    EXPECT_EQ(w.str(), "2e0x");
    EXPECT_EQ(w.line, 1);
    ASSERT_TRUE(scanner.takeFloat(f));
    EXPECT_EQ(f, -3.0f);
    EXPECT_EQ(scanner.line(), 3);
    EXPECT_TRUE(scanner.wordFollowsOnLine());
    EXPECT_TRUE(scanner.next().is("v"));
    EXPECT_FALSE(scanner.wordFollowsOnLine());
    EXPECT_TRUE(scanner.next().empty());
}

// Through a file read in small pieces, words, numbers and lines come out as
// from the whole text: across every buffer boundary, and for a word longer
// than the buffer.
TEST(WordScanner, AFileStreamScansAsTheWholeText) {
    std::mt19937 rng(5);
    std::uniform_real_distribution<float> real(-30.0f, 30.0f);
    std::string text;
    char number[32];
    for (int i = 0; i < 400; ++i) {
        std::snprintf(number, sizeof number, i % 3 ? "%.13e" : "%g", static_cast<double>(real(rng)));
        text += number;
        text += i % 7 ? " " : " \r\n";
        if (i == 200) text += std::string(100, 'x') + "\n# 1.5 \n";
    }
    text += "7";  // no line end after the last number
    testsupport::TempDir dir;
    dir.write("t", text);

    for (std::size_t buffer : {1, 7, 64}) {
        io::Result<io::FileStream> file = io::FileStream::open(dir.file("t"), io::MAX_FILE_BYTES, buffer);
        ASSERT_TRUE(file.ok());
        io::WordScanner fromFile(*file);
        io::WordScanner fromText(text);
        EXPECT_EQ(fromFile.remainingBytes(), text.size());
        for (int i = 0;; ++i) {
            float a = 0.0f, b = 0.0f;
            const bool numberA = fromText.takeFloat(a);
            ASSERT_EQ(fromFile.takeFloat(b), numberA) << buffer << " word " << i;
            if (numberA) {
                EXPECT_TRUE(sameBits(a, b)) << buffer << " word " << i;
                EXPECT_EQ(fromFile.line(), fromText.line());
                continue;
            }
            const std::string wordA = fromText.next().str();
            const io::Word wordB = fromFile.next();
            ASSERT_EQ(wordB.str(), wordA) << buffer << " word " << i;
            EXPECT_EQ(fromFile.line(), fromText.line());
            if (wordA.empty()) break;
            if (wordA == "#") {
                EXPECT_EQ(fromFile.wordFollowsOnLine(), fromText.wordFollowsOnLine());
                fromText.skipLine();
                fromFile.skipLine();
            }
        }
    }
}

}  // namespace
