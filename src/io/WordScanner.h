// A white-space word scanner counting lines, for the text readers
// (catalogue list, OBJ, .klotz cache, scene file): over text in memory, or
// over a file as it is read.
#pragma once

#include <cstddef>
#include <cstring>
#include <string>
#include <string_view>

#include "io/FileReader.h"
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
    // The text must outlive the scanner and its words.
    explicit WordScanner(std::string_view text) : pos_(text.data()), end_(text.data() + text.size()) {}
    // Reads the file as far as it scans; a word is then valid only until the
    // scanner's next call.
    explicit WordScanner(FileStream& file) : file_(&file) {}

    // The next word without consuming it; empty at the end of the text.
    Word peek();
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
    bool wordFollowsOnLine();
    // Drops everything up to and including the next line end.
    void skipLine();
    // The line the scanner stands on (that of the word consumed last).
    int line() const { return line_; }
    std::size_t remainingBytes() const {
        return static_cast<std::size_t>(end_ - pos_) + (file_ ? file_->unreadBytes() : 0);
    }

private:
    void skipBlanks();
    // Reads more of the file, keeping what follows pos_; at moves along with
    // the text. False at the end of the text.
    bool readMore(const char*& at);

    const char* pos_ = nullptr;
    const char* end_ = nullptr;
    int line_ = 1;
    FileStream* file_ = nullptr;
};

}  // namespace io
