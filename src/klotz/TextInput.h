// Private to the klotz module: whole-file reading and a white-space word
// scanner over an in-memory text, shared by the catalogue, OBJ and cache
// readers. Readers parse from memory so tests can feed them strings.
#pragma once

#include <charconv>
#include <cstdlib>
#include <cmath>
#include <cstring>
#include <string>

namespace klotz {

// Reads the whole file; false if it cannot be opened or read (also for a
// folder of that name).
bool readTextFile(const std::string& path, std::string& text);

inline bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

struct Word {
    const char* begin = nullptr;
    const char* end = nullptr;
    int line = 0;  // 1-based line the word starts on

    bool empty() const { return begin == end; }
    std::size_t size() const { return static_cast<std::size_t>(end - begin); }
    std::string str() const { return std::string(begin, end); }
    bool is(const char* s) const { return size() == std::strlen(s) && std::memcmp(begin, s, size()) == 0; }
};

// Parses the whole word as a finite float, as "%f" would read it (correctly
// rounded to float). The text must be NUL-terminated after the last word,
// which std::string guarantees.
inline bool parseFiniteFloat(const Word& w, float& value) {
    if (w.empty()) return false;
    // from_chars rounds as strtof does but is several times faster; strtof
    // remains for what it alone reads (hex floats, out-of-range values).
    const char* b = (*w.begin == '+' && w.size() > 1 && w.begin[1] != '-') ? w.begin + 1 : w.begin;
    auto [stop, ec] = std::from_chars(b, w.end, value);
    if (ec == std::errc() && stop == w.end) return std::isfinite(value);
    char* end = nullptr;
    value = std::strtof(w.begin, &end);
    return end == w.end && std::isfinite(value);
}

class WordScanner {
public:
    explicit WordScanner(const std::string& text) : pos_(text.data()), end_(text.data() + text.size()) {}

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
    // Whether another word starts before the current line ends.
    bool wordFollowsOnLine() const {
        for (const char* p = pos_; p != end_; ++p) {
            if (*p == '\n') return false;
            if (!isBlank(*p)) return true;
        }
        return false;
    }
    // Drops everything up to and including the next line end.
    void skipLine() {
        while (pos_ != end_ && *pos_ != '\n') ++pos_;
        if (pos_ != end_) {
            ++pos_;
            ++line_;
        }
    }
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

}  // namespace klotz
