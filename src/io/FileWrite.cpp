#include "io/FileWrite.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <filesystem>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace io {

namespace {

// A write past the file-size limit raises SIGXFSZ, whose default action ends
// the process; ignored for the duration of a write, it becomes EFBIG.
class IgnoreFileSizeSignal {
public:
    IgnoreFileSizeSignal() { previous_ = std::signal(SIGXFSZ, SIG_IGN); }
    ~IgnoreFileSizeSignal() { std::signal(SIGXFSZ, previous_); }

private:
    void (*previous_)(int);
};

bool writeAll(int fd, const std::string& content) {
    const char* p = content.data();
    std::size_t left = content.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, p, left);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        p += n;
        left -= static_cast<std::size_t>(n);
    }
    return true;
}

// The file a write to path really changes: symbolic links followed, also
// when the last one points at a file that does not exist yet.
std::string resolveLinks(const std::string& path) {
    std::filesystem::path p = path;
    std::error_code ec;
    for (int hops = 0; hops < 40 && std::filesystem::is_symlink(p, ec); ++hops) {
        const std::filesystem::path target = std::filesystem::read_symlink(p, ec);
        if (ec) break;
        p = target.is_absolute() ? target : p.parent_path() / target;
    }
    return p.string();
}

std::string folderOf(const std::string& path) {
    const std::string folder = std::filesystem::path(path).parent_path().string();
    return folder.empty() ? "." : folder;
}

// The process's umask, which a new file's mode honours; reading it means
// setting it, and the program has one thread.
mode_t currentUmask() {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return mask;
}

bool fail(std::string& error, int code) {
    error = std::strerror(code ? code : EIO);
    return false;
}

bool readAll(int fd, std::string& content) {
    content.clear();
    char buffer[1 << 16];
    for (off_t at = 0;;) {
        const ssize_t n = ::pread(fd, buffer, sizeof buffer, at);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return false;
        if (n == 0) return true;
        content.append(buffer, static_cast<std::size_t>(n));
        at += n;
    }
}

bool writeAllAt(int fd, const std::string& content) {
    std::size_t done = 0;
    while (done < content.size()) {
        const ssize_t n = ::pwrite(fd, content.data() + done, content.size() - done, static_cast<off_t>(done));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += static_cast<std::size_t>(n);
    }
    return true;
}

bool replaceContent(int fd, const std::string& content) {
    return writeAllAt(fd, content) && ::ftruncate(fd, static_cast<off_t>(content.size())) == 0 && ::fsync(fd) == 0;
}

// Where the old content goes when even putting it back failed: the user's
// temporary folder. The path, or empty when that failed too.
std::string keepCopy(const std::string& content) {
    const char* folder = std::getenv("TMPDIR");
    std::string path = std::string(folder && *folder ? folder : "/tmp") + "/tumbalon-old-XXXXXX";
    const int fd = ::mkstemp(path.data());
    if (fd < 0) return std::string();
    const bool ok = writeAll(fd, content) && ::fsync(fd) == 0;
    ::close(fd);
    if (ok) return path;
    ::unlink(path.c_str());
    return std::string();
}

// For a folder that takes no new file: the target is rewritten through its
// own descriptor. Its old content is read first, and the file-size limit
// and the disk blocks the new content needs are checked and reserved
// before a byte changes, so a failure leaves the old file as it was; a
// write that fails all the same (an I/O error) puts the old content back.
bool writeInPlace(const std::string& target, const std::string& content, std::string& error) {
    const int fd = ::open(target.c_str(), O_RDWR | O_CLOEXEC);
    if (fd < 0) return fail(error, errno);
    std::string old;
    if (!readAll(fd, old)) {
        const int code = errno;
        ::close(fd);
        return fail(error, code);
    }
    const std::size_t need = std::max(old.size(), content.size());
    rlimit limit{};
    if (::getrlimit(RLIMIT_FSIZE, &limit) == 0 && limit.rlim_cur != RLIM_INFINITY && need > limit.rlim_cur) {
        ::close(fd);
        return fail(error, EFBIG);
    }
    // Blocks in holes and past the end are allocated now or not at all;
    // the bytes already there stay as they are.
    if (need > 0) {
        const int code = ::posix_fallocate(fd, 0, static_cast<off_t>(need));
        if (code != 0) {
            (void)::ftruncate(fd, static_cast<off_t>(old.size()));
            ::close(fd);
            return fail(error, code);
        }
    }
    if (replaceContent(fd, content)) {
        ::close(fd);
        return true;
    }
    const int code = errno ? errno : EIO;
    error = std::strerror(code);
    if (!replaceContent(fd, old)) {
        const std::string copy = keepCopy(old);
        error += "; the file is damaged and its old content " +
                 (copy.empty() ? std::string("is lost") : "was kept in \"" + copy + "\"");
    }
    ::close(fd);
    return false;
}

// Whether target can be replaced at all: a regular file the user may
// write, or nothing yet.
bool checkTarget(const std::string& target, struct stat& existing, bool& exists, std::string& error) {
    exists = ::stat(target.c_str(), &existing) == 0;
    if (exists && !S_ISREG(existing.st_mode)) {
        error = "not a regular file";
        return false;
    }
    // The same refusal a plain open for writing would give.
    if (exists && ::access(target.c_str(), W_OK) != 0) return fail(error, errno);
    return true;
}

}  // namespace

bool probeWritable(const std::string& path, std::string& error) {
    const std::string target = resolveLinks(path);
    struct stat existing {};
    bool exists = false;
    if (!checkTarget(target, existing, exists, error)) return false;
    if (exists) return true;
    std::string temp = folderOf(target) + "/.tumbalon-XXXXXX";
    const int fd = ::mkstemp(temp.data());
    if (fd < 0) return fail(error, errno);
    ::close(fd);
    ::unlink(temp.c_str());
    return true;
}

bool writeFileReplacing(const std::string& path, const std::string& content, std::string& error) {
    IgnoreFileSizeSignal ignoreSignal;
    const std::string target = resolveLinks(path);
    struct stat existing {};
    bool exists = false;
    if (!checkTarget(target, existing, exists, error)) return false;

    std::string temp = folderOf(target) + "/.tumbalon-XXXXXX";
    const int fd = ::mkstemp(temp.data());
    if (fd < 0) {
        const int code = errno;
        if (exists) return writeInPlace(target, content, error);
        return fail(error, code);
    }
    const mode_t mode = exists ? (existing.st_mode & 07777) : (0666 & ~currentUmask());
    bool ok = ::fchmod(fd, mode) == 0;
    if (ok && exists && (existing.st_uid != ::geteuid() || existing.st_gid != ::getegid()))
        (void)::fchown(fd, existing.st_uid, existing.st_gid);  // best effort; only root may
    ok = ok && writeAll(fd, content) && ::fsync(fd) == 0;
    int code = ok ? 0 : errno;
    if (::close(fd) != 0 && ok) {
        ok = false;
        code = errno;
    }
    if (ok && ::rename(temp.c_str(), target.c_str()) != 0) {
        ok = false;
        code = errno;
    }
    if (!ok) {
        ::unlink(temp.c_str());
        return fail(error, code);
    }
    return true;
}

}  // namespace io
