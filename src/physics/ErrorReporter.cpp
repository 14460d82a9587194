#include "physics/ErrorReporter.h"

#include <cctype>

namespace physics {

const char* errorCodeWord(int code) {
    switch (code) {
    case ERROR_INVALID_PARAMETER: return "invalid parameter";
    case ERROR_INVALID_OPERATION: return "invalid operation";
    case ERROR_OUT_OF_MEMORY: return "out of memory";
    case ERROR_INFO: return "info";
    case ERROR_WARNING: return "warning";
    default: return "unknown error";
    }
}

ErrorReporter::ErrorReporter(std::ostream& out, std::istream& in) : out_(out), in_(in) {}

void ErrorReporter::reportError(int code, const std::string& message, const std::string& file, int line) {
    // Streamed, not formatted, so "%" in any part is printed as it is.
    out_ << file << " (" << line << ") :" << errorCodeWord(code) << " : " << message << '\n';
    out_.flush();
}

int ErrorReporter::reportAssertViolation(const std::string& message, const std::string& file, int line) {
    out_ << "access violation : " << message << " (" << file << " line " << line << ")\n";
    for (;;) {
        out_ << "AssertViolation, see console for details. [a]bort, [r]etry, [i]gnore? ";
        out_.flush();
        std::string answer;
        if (!std::getline(in_, answer)) {
            out_ << '\n';
            return ASSERT_IGNORE;
        }
        std::size_t first = answer.find_first_not_of(" \t\r");
        char c = first == std::string::npos ? '\0'
                                            : static_cast<char>(std::tolower(static_cast<unsigned char>(answer[first])));
        if (c == 'a') return ASSERT_BREAK;
        if (c == 'r') return ASSERT_CONTINUE;
        if (c == 'i') return ASSERT_IGNORE;
        out_ << "Please answer a, r or i.\n";
    }
}

void ErrorReporter::print(const std::string& message) {
    out_ << message;
    out_.flush();
}

}  // namespace physics
