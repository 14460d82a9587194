#include "io/FileReader.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <utility>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace io {

namespace {

std::string sizeText(std::size_t bytes) {
    constexpr std::size_t MIB = std::size_t{1} << 20;
    if (bytes % MIB == 0) return std::to_string(bytes / MIB) + " MiB";
    return std::to_string(bytes) + " bytes";
}

Error refusal(const std::string& path, Failure failure, std::string text) {
    return Error{failure, path, 0, std::move(text)};
}

Error tooLarge(const std::string& path, std::size_t limit) {
    return refusal(path, Failure::TooLarge, "is larger than " + sizeText(limit));
}

Error unreadable(const std::string& path) {
    return refusal(path, Failure::CannotOpen, std::string("can not be read (") + std::strerror(errno) + ")");
}

struct OpenFile {
    FileDescriptor fd;
    std::size_t size;  // as the file reports it; 0 for some (under /proc)
};

// Opens path and checks what it is before anything is read. O_NONBLOCK:
// opening a FIFO must not wait for a writer; the descriptor is examined,
// not the name, so nothing can be swapped in between.
Result<OpenFile> openRegularFile(const std::string& path, std::size_t limit) {
    FileDescriptor fd(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    if (fd.get() < 0)
        return refusal(path, Failure::CannotOpen, std::string("can not be opened (") + std::strerror(errno) + ")");
    struct stat info {};
    if (::fstat(fd.get(), &info) != 0) return unreadable(path);
    if (!S_ISREG(info.st_mode)) return refusal(path, Failure::NotRegularFile, "is not a regular file");
    if (static_cast<unsigned long long>(info.st_size) > limit) return tooLarge(path, limit);
    return OpenFile{std::move(fd), static_cast<std::size_t>(info.st_size)};
}

// read(2) that goes on after an interruption.
ssize_t readSome(int fd, char* into, std::size_t bytes) {
    for (;;) {
        const ssize_t got = ::read(fd, into, bytes);
        if (got >= 0 || errno != EINTR) return got;
    }
}

}  // namespace

FileDescriptor& FileDescriptor::operator=(FileDescriptor&& other) noexcept {
    if (this != &other) {
        close();
        fd_ = std::exchange(other.fd_, -1);
    }
    return *this;
}

void FileDescriptor::close() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
}

Result<std::string> readFile(const std::string& path, std::size_t limit) {
    const Result<OpenFile> file = openRegularFile(path, limit);
    if (!file) return file.error();
    // Sized once from the file's length; the loop still runs to the end of
    // the file, since some files report no length.
    std::string text(file->size + 1, '\0');
    std::size_t have = 0;
    for (;;) {
        if (have == text.size()) {
            if (have > limit) return tooLarge(path, limit);
            text.resize(std::min(2 * text.size() + 4096, limit + 1));
        }
        const ssize_t got = readSome(file->fd.get(), &text[have], text.size() - have);
        if (got < 0) return unreadable(path);
        if (got == 0) break;
        have += static_cast<std::size_t>(got);
    }
    if (have > limit) return tooLarge(path, limit);
    text.resize(have);
    return text;
}

Result<FileStream> FileStream::open(const std::string& path, std::size_t limit, std::size_t bufferBytes) {
    Result<OpenFile> file = openRegularFile(path, limit);
    if (!file) return file.error();
    return FileStream(std::move(file->fd), file->size, limit, bufferBytes);
}

FileStream::FileStream(FileDescriptor fd, std::size_t size, std::size_t limit, std::size_t bufferBytes)
    : fd_(std::move(fd)), size_(size), limit_(limit), buffer_(std::max<std::size_t>(bufferBytes, 1)) {}

bool FileStream::readMore(const char*& keep, const char*& end) {
    if (fd_.get() < 0) return false;
    const std::size_t kept = static_cast<std::size_t>(end - keep);
    if (kept > 0) std::memmove(buffer_.data(), keep, kept);
    if (kept == buffer_.size()) buffer_.resize(2 * buffer_.size());  // a word longer than the buffer
    keep = buffer_.data();
    end = keep + kept;
    const ssize_t got =
        read_ < limit_ ? readSome(fd_.get(), buffer_.data() + kept, std::min(buffer_.size() - kept, limit_ - read_))
                       : 0;
    if (got <= 0) {
        fd_.close();  // nothing more will be read
        return false;
    }
    read_ += static_cast<std::size_t>(got);
    end += got;
    return true;
}

}  // namespace io
