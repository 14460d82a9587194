#include "io/WordScanner.h"

#include "io/Numbers.h"

namespace io {

namespace {

// Longer than any number the fast path in takeFloat reads at once.
constexpr std::ptrdiff_t NUMBER_LOOKAHEAD = 64;

}  // namespace

bool WordScanner::readMore(const char*& at) {
    if (!file_) return false;
    const std::ptrdiff_t offset = at - pos_;
    const bool more = file_->readMore(pos_, end_);
    at = pos_ + offset;
    return more;
}

void WordScanner::skipBlanks() {
    do {
        while (pos_ != end_ && isBlank(*pos_)) {
            if (*pos_ == '\n') ++line_;
            ++pos_;
        }
    } while (pos_ == end_ && readMore(pos_));
}

Word WordScanner::peek() {
    skipBlanks();
    const char* e = pos_;
    do {
        while (e != end_ && !isBlank(*e)) ++e;
    } while (e == end_ && readMore(e));
    return Word{pos_, e, line_};
}

bool WordScanner::takeFloat(float& value) {
    skipBlanks();
    if (end_ - pos_ < NUMBER_LOOKAHEAD) readMore(pos_);
    // Parsing in place saves finding the word's end first; a cache file is
    // mostly such numbers. A number reaching the end of what has been read
    // may go on, so it takes the slow way.
    const char* stop = parseDecimalFloatPrefix(pos_, end_, value);
    if (stop && stop != end_ && isBlank(*stop)) {
        pos_ = stop;
        return true;
    }
    const Word w = peek();
    if (!parseFloat(w.view(), value)) return false;
    consume(w);
    return true;
}

bool WordScanner::wordFollowsOnLine() {
    const char* p = pos_;
    do {
        for (; p != end_; ++p) {
            if (*p == '\n') return false;
            if (!isBlank(*p)) return true;
        }
    } while (readMore(p));
    return false;
}

void WordScanner::skipLine() {
    do {
        while (pos_ != end_ && *pos_ != '\n') ++pos_;
    } while (pos_ == end_ && readMore(pos_));
    if (pos_ != end_) {
        ++pos_;
        ++line_;
    }
}

}  // namespace io
