#include "io/FileReader.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace io {

namespace {

class Descriptor {
public:
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor() {
        if (fd_ >= 0) ::close(fd_);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return fd_; }

private:
    int fd_;
};

// Only a hint: the buffer's whole huge pages are filled (zeroed, then read
// into) a few times faster than as 4 KiB pages; a 15 MB cache file reads in
// half the time. Must come before the buffer is first touched.
void adviseHugePages(const char* buffer, std::size_t size) {
    constexpr std::uintptr_t HUGE_PAGE = std::uintptr_t{2} << 20;
    const std::uintptr_t begin = (reinterpret_cast<std::uintptr_t>(buffer) + HUGE_PAGE - 1) & ~(HUGE_PAGE - 1);
    const std::uintptr_t end = (reinterpret_cast<std::uintptr_t>(buffer) + size) & ~(HUGE_PAGE - 1);
    if (end > begin) ::madvise(reinterpret_cast<void*>(begin), end - begin, MADV_HUGEPAGE);
}

std::string sizeText(std::size_t bytes) {
    constexpr std::size_t MIB = std::size_t{1} << 20;
    if (bytes % MIB == 0) return std::to_string(bytes / MIB) + " MiB";
    return std::to_string(bytes) + " bytes";
}

Error refusal(const std::string& path, Failure failure, std::string text) {
    return Error{failure, path, 0, std::move(text)};
}

}  // namespace

Result<std::string> readFile(const std::string& path, std::size_t limit) {
    // O_NONBLOCK: opening a FIFO must not wait for a writer; the descriptor
    // is then examined, not the name, so nothing can be swapped in between.
    Descriptor fd(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    if (fd.get() < 0)
        return refusal(path, Failure::CannotOpen, std::string("can not be opened (") + std::strerror(errno) + ")");
    struct stat info {};
    if (::fstat(fd.get(), &info) != 0)
        return refusal(path, Failure::CannotOpen, std::string("can not be read (") + std::strerror(errno) + ")");
    if (!S_ISREG(info.st_mode)) return refusal(path, Failure::NotRegularFile, "is not a regular file");
    const Error tooLarge = refusal(path, Failure::TooLarge, "is larger than " + sizeText(limit));
    if (static_cast<unsigned long long>(info.st_size) > limit) return tooLarge;

    // Sized once from the file's length; the loop still runs to the end of
    // the file, since some files (under /proc) report no length.
    std::string text;
    text.reserve(static_cast<std::size_t>(info.st_size) + 1);
    adviseHugePages(text.data(), text.capacity());
    text.resize(static_cast<std::size_t>(info.st_size) + 1);
    std::size_t have = 0;
    for (;;) {
        if (have == text.size()) {
            if (have > limit) return tooLarge;
            text.resize(std::min(2 * text.size() + 4096, limit + 1));
        }
        const ssize_t got = ::read(fd.get(), &text[have], text.size() - have);
        if (got < 0) {
            if (errno == EINTR) continue;
            return refusal(path, Failure::CannotOpen, std::string("can not be read (") + std::strerror(errno) + ")");
        }
        if (got == 0) break;
        have += static_cast<std::size_t>(got);
    }
    if (have > limit) return tooLarge;
    text.resize(have);
    return text;
}

}  // namespace io
