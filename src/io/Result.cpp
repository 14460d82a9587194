#include "io/Result.h"

namespace io {

std::string printable(std::string_view bytes) {
    static const char HEX[] = "0123456789abcdef";
    std::string text;
    text.reserve(bytes.size());
    for (char c : bytes) {
        const unsigned char b = static_cast<unsigned char>(c);
        // Bytes from 0x80 up are escaped too: C1 controls (0x9b is CSI on
        // some terminals) hide among them.
        if (b >= 0x20 && b < 0x7f) {
            text += c;
        } else {
            text += "\\x";
            text += HEX[b >> 4];
            text += HEX[b & 15];
        }
    }
    return text;
}

std::string Error::message() const {
    std::string m = "\"" + printable(file) + "\"";
    if (line > 0) m += " line " + std::to_string(line) + ":";
    return m + " " + text;
}

}  // namespace io
