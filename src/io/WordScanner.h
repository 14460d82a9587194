// A white-space word scanner over text in memory, counting lines, for the
// text readers (catalogue list, OBJ, .klotz cache, scene file).
#pragma once

#include <cstddef>
#include <cstring>
#include <string>
#include <string_view>

#include "io/Result.h"

namespace io {

// What isspace accepts in the C locale.
inline bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

struct Word {
    const char* begin = nullptr;
    const char* end = nullptr;
    int line = 0;  // 1-based line the word stands on

    bool empty() const { return begin == end; }
    std::size_t size() const { return static_cast<std::size_t>(end - begin); }
    std::string_view view() const { return std::string_view(begin, size()); }
    std::string str() const { return std::string(begin, end); }
    // For messages: the word with unprintable bytes escaped.
    std::string printable() const { return io::printable(view()); }
    bool is(const char* s) const { return size() == std::strlen(s) && std::memcmp(begin, s, size()) == 0; }
};

class WordScanner {
public:
    // The text must outlive the scanner.
    explicit WordScanner(std::string_view text) : pos_(text.data()), end_(text.data() + text.size()) {}

    // The next word without consuming it; empty at the end of the text.
    Word peek() {
        skipBlanks();
        const char* e = pos_;
        while (e != end_ && !isBlank(*e)) ++e;
        return Word{pos_, e, line_};
    }
    Word next() {
        Word w = peek();
        pos_ = w.end;
        return w;
    }
    void consume(const Word& w) { pos_ = w.end; }

    // Consumes the next word only when the whole word is a number as
    // parseFloat reads it; otherwise nothing is consumed (value is then
    // unspecified).
    bool takeFloat(float& value);

    // Whether another word starts before the current line ends.
    bool wordFollowsOnLine() const;
    // Drops everything up to and including the next line end.
    void skipLine();
    // The line the scanner stands on (that of the word consumed last).
    int line() const { return line_; }
    std::size_t remainingBytes() const { return static_cast<std::size_t>(end_ - pos_); }

private:
    void skipBlanks() {
        while (pos_ != end_ && isBlank(*pos_)) {
            if (*pos_ == '\n') ++line_;
            ++pos_;
        }
    }

    const char* pos_;
    const char* end_;
    int line_ = 1;
};

}  // namespace io
