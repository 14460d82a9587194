#include "io/FileWrite.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <filesystem>

#include <fcntl.h>
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

bool writeInPlace(const std::string& target, const std::string& content, std::string& error) {
    const int fd = ::open(target.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
    if (fd < 0) return fail(error, errno);
    bool ok = writeAll(fd, content);
    int code = ok ? 0 : errno;
    if (::close(fd) != 0 && ok) {
        ok = false;
        code = errno;
    }
    return ok || fail(error, code);
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
