// Number words of the text formats, read as scanf's "%f" and "%d" read them
// but refusing a word that is not one number as a whole.
#pragma once

#include <string_view>

namespace io {

// The whole word as a finite float, correctly rounded as strtof rounds it
// (decimal or hexadecimal, optional sign). "nan", "inf" and values beyond
// the float range are refused; values below it become 0.
bool parseFloat(std::string_view word, float& value);

// The whole word in "%d" syntax: an optional sign and decimal digits.
// Values beyond long long saturate to its least or greatest value, so a
// caller can report them as too large rather than as not a number.
bool parseInteger(std::string_view word, long long& value);

// The fast path of parseFloat for plain decimal numbers (such as "%.13e"
// writes them): reads one from first and returns where it stopped, or
// nullptr where parseFloat must decide. When the number is a whole word the
// value is the one parseFloat gives.
const char* parseDecimalFloatPrefix(const char* first, const char* last, float& value);

}  // namespace io
