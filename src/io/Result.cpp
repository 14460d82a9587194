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

bool hasControlCharacters(std::string_view bytes) {
    for (std::size_t i = 0; i < bytes.size();) {
        const unsigned char b = static_cast<unsigned char>(bytes[i]);
        if (b < 0x20 || b == 0x7f) return true;
        if (b < 0x80) {
            ++i;
            continue;
        }
        // A UTF-8 sequence: its length from the lead byte, then continuation
        // bytes; overlong forms and surrogates are not UTF-8 either.
        const int length = b >= 0xc2 && b <= 0xdf ? 2 : b >= 0xe0 && b <= 0xef ? 3 : b >= 0xf0 && b <= 0xf4 ? 4 : 0;
        if (length == 0 || i + length > bytes.size()) return true;
        unsigned code = b & (0xff >> (length + 1));
        for (int k = 1; k < length; ++k) {
            const unsigned char c = static_cast<unsigned char>(bytes[i + k]);
            if ((c & 0xc0) != 0x80) return true;
            code = (code << 6) | (c & 0x3f);
        }
        const unsigned smallest[] = {0, 0, 0x80, 0x800, 0x10000};
        if (code < smallest[length] || code > 0x10ffff || (code >= 0xd800 && code <= 0xdfff)) return true;
        if (code <= 0x9f) return true;  // C1
        i += length;
    }
    return false;
}

std::string Error::message() const {
    std::string m = "\"" + printable(file) + "\"";
    if (line > 0) m += " line " + std::to_string(line) + ":";
    return m + " " + text;
}

}  // namespace io
