// One way for a loader to hand back either its value or a located error
// message, and the escaping that keeps file bytes harmless in messages.
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <variant>

namespace io {

// The bytes with everything outside printable ASCII written as \xNN, so a
// hostile file cannot send terminal escape sequences through a message.
std::string printable(std::string_view bytes);

// Whether bytes hold anything a terminal may take for a command: a C0
// control (tab and line ends included), DEL, a C1 control, or bytes that are
// not UTF-8 (a lone 0x9b is CSI on some terminals). Letters beyond ASCII in
// UTF-8 are text.
bool hasControlCharacters(std::string_view bytes);

// Why a loader gave no value.
enum class Failure {
    CannotOpen,      // the file could not be opened or read (absent, no permission)
    NotRegularFile,  // refused unread: a folder, a device, a FIFO
    TooLarge,        // refused unread: over the reader's size limit
    Malformed,       // read, but its content is refused
};

struct Error {
    Failure failure = Failure::Malformed;
    std::string file;  // as given; may be empty when the caller names the file
    int line = 0;      // 1-based; 0 when the error has no line
    std::string text;  // what is wrong, file bytes in it already escaped

    // "\"FILE\" line N: TEXT", or "\"FILE\" TEXT" without a line.
    std::string message() const;
};

template <typename T>
class Result {
public:
    Result(T value) : state_(std::in_place_index<0>, std::move(value)) {}
    Result(Error error) : state_(std::in_place_index<1>, std::move(error)) {}

    bool ok() const { return state_.index() == 0; }
    explicit operator bool() const { return ok(); }

    // Asking a failed result for its value (or a good one for its error)
    // is a programming mistake; std::get throws.
    T& value() { return std::get<0>(state_); }
    const T& value() const { return std::get<0>(state_); }
    T& operator*() { return value(); }
    const T& operator*() const { return value(); }
    T* operator->() { return &value(); }
    const T* operator->() const { return &value(); }
    const Error& error() const { return std::get<1>(state_); }

private:
    std::variant<T, Error> state_;
};

}  // namespace io
