#include "app/ConsoleInput.h"

#include <cerrno>

#include <poll.h>
#include <unistd.h>

namespace app {

ConsoleRead readConsoleNow(std::string& bytes) {
    pollfd input{STDIN_FILENO, POLLIN, 0};
    if (::poll(&input, 1, 0) <= 0) return ConsoleRead::Nothing;
    if (input.revents & POLLNVAL) return ConsoleRead::Ended;
    char buffer[4096];
    const ssize_t got = ::read(STDIN_FILENO, buffer, sizeof buffer);
    if (got > 0) {
        bytes.append(buffer, static_cast<std::size_t>(got));
        return ConsoleRead::Bytes;
    }
    if (got < 0 && (errno == EINTR || errno == EAGAIN)) return ConsoleRead::Nothing;
    return ConsoleRead::Ended;
}

}  // namespace app
