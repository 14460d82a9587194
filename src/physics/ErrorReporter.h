// Receives every error, warning, failed assertion and free-text message of
// the physics layer (Bullet's own warnings and our interface checks) and
// writes them to the console. A failed assertion asks the user on the
// console how to go on.
#pragma once

#include <iostream>
#include <string>

namespace physics {

// Report codes and the words printed for them.
constexpr int ERROR_INVALID_PARAMETER = 1;
constexpr int ERROR_INVALID_OPERATION = 2;
constexpr int ERROR_OUT_OF_MEMORY = 3;
constexpr int ERROR_INFO = 205;
constexpr int ERROR_WARNING = 206;

// Answers to a failed assertion.
constexpr int ASSERT_CONTINUE = 0;
constexpr int ASSERT_IGNORE = 1;
constexpr int ASSERT_BREAK = 2;

// The word printed for a report code; "unknown error" for any other code.
const char* errorCodeWord(int code);

class ErrorReporter {
public:
    // Both streams must outlive the reporter.
    explicit ErrorReporter(std::ostream& out = std::cout, std::istream& in = std::cin);
    virtual ~ErrorReporter() = default;

    // One line: "<file> (<line>) :<word> : <message>\n".
    virtual void reportError(int code, const std::string& message, const std::string& file, int line);
    // Prints "access violation : <message> (<file> line <line>)\n", then asks
    // "[a]bort, [r]etry, [i]gnore? " until it gets an answer: retry gives
    // ASSERT_CONTINUE, ignore ASSERT_IGNORE, abort ASSERT_BREAK. End of input
    // counts as ignore, so an unattended run never waits.
    virtual int reportAssertViolation(const std::string& message, const std::string& file, int line);
    // The message as it is, never used as a format.
    virtual void print(const std::string& message);

private:
    std::ostream& out_;
    std::istream& in_;
};

}  // namespace physics
