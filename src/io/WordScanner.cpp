#include "io/WordScanner.h"

#include "io/Numbers.h"

namespace io {

bool WordScanner::takeFloat(float& value) {
    skipBlanks();
    // Parsing in place saves finding the word's end first; a cache file is
    // mostly such numbers.
    const char* stop = parseDecimalFloatPrefix(pos_, end_, value);
    if (stop && (stop == end_ || isBlank(*stop))) {
        pos_ = stop;
        return true;
    }
    const Word w = peek();
    if (!parseFloat(w.view(), value)) return false;
    consume(w);
    return true;
}

bool WordScanner::wordFollowsOnLine() const {
    for (const char* p = pos_; p != end_; ++p) {
        if (*p == '\n') return false;
        if (!isBlank(*p)) return true;
    }
    return false;
}

void WordScanner::skipLine() {
    while (pos_ != end_ && *pos_ != '\n') ++pos_;
    if (pos_ != end_) {
        ++pos_;
        ++line_;
    }
}

}  // namespace io
