// Reading files for the readers: whole into memory, or front to back
// through a small buffer.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "io/Result.h"

namespace io {

// No file the program reads comes near this; a bigger one is refused rather
// than read into memory.
constexpr std::size_t MAX_FILE_BYTES = std::size_t{64} << 20;

// Big enough that streaming costs few reads, small enough to stay in the
// processor's cache while it is scanned.
constexpr std::size_t STREAM_BUFFER_BYTES = std::size_t{256} << 10;

// The file's bytes. Refused before anything is read: what is not a regular
// file (a folder, a device such as /dev/zero, a FIFO, which is opened
// without blocking) and a file larger than limit; the error's message names
// the file, e.g. "\"NAME\" is not a regular file". Failure::CannotOpen when
// the file cannot be opened at all.
Result<std::string> readFile(const std::string& path, std::size_t limit = MAX_FILE_BYTES);

// Owns an open file descriptor and closes it.
class FileDescriptor {
public:
    explicit FileDescriptor(int fd = -1) : fd_(fd) {}
    FileDescriptor(FileDescriptor&& other) noexcept : fd_(other.fd_) { other.fd_ = -1; }
    FileDescriptor& operator=(FileDescriptor&& other) noexcept;
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    ~FileDescriptor() { close(); }

    int get() const { return fd_; }
    void close();

private:
    int fd_;
};

// A file read front to back through a small buffer, for a reader that scans
// a large file once (the .klotz cache): no buffer the size of the file is
// filled first, and what is scanned is still in the processor's cache.
class FileStream {
public:
    // Refuses what readFile refuses, before reading. The buffer grows only
    // for a word longer than it.
    static Result<FileStream> open(const std::string& path, std::size_t limit = MAX_FILE_BYTES,
                                   std::size_t bufferBytes = STREAM_BUFFER_BYTES);

    // Moves the bytes [keep, end), which lie in the buffer (both nullptr at
    // the start), to its front and reads more after them; keep and end then
    // delimit the kept and the new bytes. False when nothing more comes: the
    // end of the file, limit bytes read, or a read error, which ends the
    // file as its end would. Earlier pointers into the buffer are stale.
    bool readMore(const char*& keep, const char*& end);
    // Bytes not read yet, by the length the file had when opened.
    std::size_t unreadBytes() const { return read_ < size_ ? size_ - read_ : 0; }

private:
    FileStream(FileDescriptor fd, std::size_t size, std::size_t limit, std::size_t bufferBytes);

    FileDescriptor fd_;
    std::size_t size_;
    std::size_t limit_;
    std::size_t read_ = 0;
    std::vector<char> buffer_;
};

}  // namespace io
