#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <random>
#include <string>

#include "io/Numbers.h"

namespace {

std::uint32_t bitsOf(float f) {
    std::uint32_t b;
    std::memcpy(&b, &f, sizeof b);
    return b;
}

// parseFloat must read every word exactly as strtof does (and refuse where
// strtof gives no finite number or stops early).
void expectAsStrtof(const std::string& word) {
    char* end = nullptr;
    const float expected = std::strtof(word.c_str(), &end);
    const bool whole = !word.empty() && end == word.c_str() + word.size() && std::isfinite(expected);
    float value = 0.0f;
    ASSERT_EQ(io::parseFloat(word, value), whole) << word;
    if (whole) {
        EXPECT_EQ(bitsOf(value), bitsOf(expected)) << word;
    }
}

TEST(ParseFloat, RoundsAsStrtofDoes) {
    std::mt19937 rng(11);
    std::uniform_int_distribution<std::uint32_t> bits;
    char text[64];
    for (int i = 0; i < 20000; ++i) {
        const std::uint32_t b = bits(rng);
        float f;
        std::memcpy(&f, &b, sizeof f);
        const double d = static_cast<double>(f);
        for (const char* format : {"%.13e", "%.9g", "%g", "%.3f", "%.17e"}) {
            std::snprintf(text, sizeof text, format, d);
            expectAsStrtof(text);
        }
        // Near half-way between two floats, where rounding to double first
        // and then to float can go the other way.
        const float next = std::nextafter(f, std::numeric_limits<float>::infinity());
        std::snprintf(text, sizeof text, "%.15g", (d + static_cast<double>(next)) / 2);
        expectAsStrtof(text);
    }
    for (const char* word : {"0", "-0", "+1.5", ".5", "5.", "1e-50", "1e39", "3.4028235e38", "3.40282357e38", "0x1p3",
                             "16777217", "2.5000000000000e+001", "-0.0000000000000e+00", "nan", "inf", "-infinity", "+-1", "1e", "1.5x", "", "-", ".", "e5",
                             "100000000000000000000000000000", "0.000000000000000000000000000000000000000000001"})
        expectAsStrtof(word);
}

TEST(ParseInteger, TakesDSyntaxAndSaturates) {
    long long v = 0;
    EXPECT_TRUE(io::parseInteger("+42", v));
    EXPECT_EQ(v, 42);
    EXPECT_TRUE(io::parseInteger("-99999999999999999999", v));
    EXPECT_EQ(v, std::numeric_limits<long long>::min());
    EXPECT_TRUE(io::parseInteger("99999999999999999999", v));
    EXPECT_EQ(v, std::numeric_limits<long long>::max());
    for (const char* word : {"", "+", "-", "+-1", "1.0", "1e3", "0x10", " 1", "12a"})
        EXPECT_FALSE(io::parseInteger(word, v)) << word;
}

}  // namespace
