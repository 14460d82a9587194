#include "io/Numbers.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <string>

namespace io {

namespace {

// Powers of ten a double holds exactly.
constexpr double EXACT_POWERS_OF_TEN[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                                          1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
constexpr int MAX_EXACT_POWER = 22;
constexpr std::uint64_t MAX_EXACT_MANTISSA = std::uint64_t{1} << 53;

bool isDigit(char c) { return static_cast<unsigned char>(c - '0') < 10; }

// Eight ASCII digits loaded little-endian, tested and valued at once as
// fast_float does it.
bool eightDigits(std::uint64_t v) {
    return ((v & 0xF0F0F0F0F0F0F0F0u) | (((v + 0x0606060606060606u) & 0xF0F0F0F0F0F0F0F0u) >> 4)) ==
           0x3333333333333333u;
}

std::uint64_t eightDigitsValue(std::uint64_t v) {
    v = ((v & 0x0F0F0F0F0F0F0F0Fu) * 2561) >> 8;
    v = ((v & 0x00FF00FF00FF00FFu) * 6553601) >> 16;
    return ((v & 0x0000FFFF0000FFFFu) * 42949672960001u) >> 32;
}

bool eightDigitsAt(const char* p, std::uint64_t& value) {
    std::uint64_t v;
    std::memcpy(&v, p, sizeof v);
    if (!eightDigits(v)) return false;
    value = eightDigitsValue(v);
    return true;
}

// Appends the digits at p to mantissa; returns where they end. digits
// counts them all, so that a mantissa that may have overflowed is noticed.
const char* readDigits(const char* p, const char* last, std::uint64_t& mantissa, int& digits) {
    std::uint64_t eight = 0;
    while (last - p >= 8 && eightDigitsAt(p, eight)) {
        mantissa = mantissa * 100000000u + eight;
        digits += 8;
        p += 8;
    }
    for (; p != last && isDigit(*p); ++p) {
        mantissa = mantissa * 10 + static_cast<unsigned>(*p - '0');
        ++digits;
    }
    return p;
}

// The shape "%.13e" gives every real of a cache file: a digit, a point, 13
// digits, 'e', a sign and two or three digits. Read without a digit loop.
const char* readCacheShape(const char* p, const char* last, std::uint64_t& mantissa, int& exponent) {
    if (last - p < 19) return nullptr;
    std::uint64_t high, low;  // digits 1 to 8 and 6 to 13 after the point
    std::memcpy(&high, p + 2, sizeof high);
    std::memcpy(&low, p + 7, sizeof low);
    const unsigned first = static_cast<unsigned char>(p[0] - '0');
    const unsigned tens = static_cast<unsigned char>(p[17] - '0');
    const unsigned ones = static_cast<unsigned char>(p[18] - '0');
    if (first > 9 || tens > 9 || ones > 9 || p[1] != '.' || p[15] != 'e' || (p[16] != '-' && p[16] != '+') ||
        !eightDigits(high) || !eightDigits(low))
        return nullptr;
    mantissa = first * 10000000000000u + eightDigitsValue(high) * 100000u + eightDigitsValue(low) % 100000u;
    int written = static_cast<int>(tens * 10 + ones);
    const char* q = p + 19;
    if (q != last && isDigit(*q)) written = written * 10 + (*q++ - '0');
    exponent = (p[16] == '-' ? -written : written) - 13;
    return q;
}

// Any decimal number: digits, an optional point and digits, an optional
// exponent. nullptr when there are no digits or too many for the mantissa.
const char* readDecimal(const char* p, const char* last, std::uint64_t& mantissa, int& exponent) {
    int digits = 0;
    const char* q = readDigits(p, last, mantissa, digits);
    const int integerDigits = digits;
    if (q != last && *q == '.') q = readDigits(q + 1, last, mantissa, digits);
    if (digits == 0 || digits > 19) return nullptr;
    exponent = integerDigits - digits;
    if (q != last && (*q == 'e' || *q == 'E')) {
        const char* e = q + 1;
        const bool negativeExponent = e != last && *e == '-';
        if (e != last && (*e == '-' || *e == '+')) ++e;
        if (e == last || !isDigit(*e)) return nullptr;
        int written = 0;
        for (; e != last && isDigit(*e); ++e)
            if (written < 10000) written = written * 10 + (*e - '0');
        exponent += negativeExponent ? -written : written;
        q = e;
    }
    return q;
}

}  // namespace

const char* parseDecimalFloatPrefix(const char* first, const char* last, float& value) {
    const char* p = first;
    const bool negative = p != last && *p == '-';
    if (p != last && (*p == '-' || *p == '+')) ++p;
    std::uint64_t mantissa = 0;
    int exponent = 0;
    const char* q = readCacheShape(p, last, mantissa, exponent);
    if (!q) q = readDecimal(p, last, mantissa, exponent);
    if (!q || mantissa > MAX_EXACT_MANTISSA || exponent < -MAX_EXACT_POWER || exponent > MAX_EXACT_POWER)
        return nullptr;
    // Clinger's fast path: an exact mantissa and an exact power of ten give
    // the correctly rounded double in one operation.
    double d = static_cast<double>(mantissa);
    d = exponent < 0 ? d / EXACT_POWERS_OF_TEN[-exponent] : d * EXACT_POWERS_OF_TEN[exponent];
    // Rounding that double to float equals rounding the decimal to float
    // unless the double lies exactly half-way between two floats.
    std::uint64_t bits;
    std::memcpy(&bits, &d, sizeof bits);
    if ((bits & 0x1FFFFFFFu) == 0x10000000u) return nullptr;
    const float f = static_cast<float>(d);
    value = negative ? -f : f;
    return q;
}

bool parseFloat(std::string_view word, float& value) {
    if (word.empty()) return false;
    const char* first = word.data();
    const char* last = first + word.size();
    if (parseDecimalFloatPrefix(first, last, value) == last) return true;
    // from_chars rounds as strtof does and takes no '+'; strtof remains for
    // what it alone reads (hexadecimal, out-of-range values).
    const char* b = (*first == '+' && word.size() > 1 && first[1] != '-') ? first + 1 : first;
    auto [stop, ec] = std::from_chars(b, last, value);
    if (ec == std::errc() && stop == last) return std::isfinite(value);
    const std::string copy(word);  // strtof needs the end marked
    char* end = nullptr;
    value = std::strtof(copy.c_str(), &end);
    return end == copy.c_str() + copy.size() && std::isfinite(value);
}

bool parseInteger(std::string_view word, long long& value) {
    const char* b = word.data();
    const char* last = b + word.size();
    if (b != last && *b == '+') ++b;
    if (b == last || (*b == '-' && (b + 1 == last || b != word.data()))) return false;
    auto [stop, ec] = std::from_chars(b, last, value);
    if (ec == std::errc::result_out_of_range) {
        value = *b == '-' ? std::numeric_limits<long long>::min() : std::numeric_limits<long long>::max();
        return stop == last;
    }
    return ec == std::errc() && stop == last;
}

}  // namespace io
