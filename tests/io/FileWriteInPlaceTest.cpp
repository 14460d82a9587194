// Writing in place, where the folder takes no new file: a write that cannot
// be completed leaves the old file exactly as it was.
#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <string>

#include <sched.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "io/FileWrite.h"
#include "support/TestSupport.h"

namespace {

namespace fs = std::filesystem;

// Runs body in a child process and returns its exit status, or 100 plus
// the signal that ended it.
template <typename Body>
int inChild(Body body) {
    const pid_t pid = ::fork();
    if (pid == 0) ::_exit(body());
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 100 + WTERMSIG(status);
}

std::string pattern(char c, std::size_t n) { return std::string(n, c); }

TEST(FileWriteInPlace, FileSizeLimitLeavesTheOldFileWhole) {
    testsupport::TempDir dir;
    ::chmod(dir.path().c_str(), 0755);
    fs::create_directory(dir.file("locked"));
    const std::string target = dir.file("locked/scene.tumbalon");
    const std::string old = pattern('o', 1500);
    dir.write("locked/scene.tumbalon", old);
    ::chmod(target.c_str(), 0666);
    ::chmod(dir.file("locked").c_str(), 0555);
    // As `ulimit -f 2` for an ordinary user: 2048 bytes at most.
    const int status = inChild([&] {
        if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0)) return 3;
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit{2048, 2048};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        std::string error;
        if (io::writeFileReplacing(target, pattern('n', 10000), error)) return 4;
        if (error != "File too large") return 5;
        if (testsupport::readFile(target) != old) return 6;
        // What fits is still written.
        if (!io::writeFileReplacing(target, pattern('s', 2000), error)) return 7;
        if (testsupport::readFile(target) != pattern('s', 2000)) return 8;
        return 0;
    });
    ::chmod(dir.file("locked").c_str(), 0755);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.file("locked")), {}), 1);
}

// A small file system of its own, full: no inode left for a temporary file
// and no block left for a larger content.
TEST(FileWriteInPlace, FullFileSystemLeavesTheOldFileWhole) {
    testsupport::TempDir dir;
    const std::string target = dir.file("report.html");
    const std::string old = pattern('o', 20000);
    const int status = inChild([&] {
        if (::unshare(CLONE_NEWNS) != 0) return 50;
        if (::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0) return 50;
        // Three inodes: the root folder, the target and the filler.
        if (::mount("tumbalon-test", dir.path().c_str(), "tmpfs", 0, "size=256k,nr_inodes=3") != 0) return 50;
        {
            std::ofstream(target, std::ios::binary) << old;
            std::ofstream filler(dir.file("filler"), std::ios::binary);
            const std::string block(4096, 'f');
            while (filler.write(block.data(), block.size())) {
            }
        }
        std::string error;
        if (io::writeFileReplacing(target, pattern('n', 30000), error)) return 2;
        if (error != "No space left on device") return 3;
        if (testsupport::readFile(target) != old) return 4;
        // Content that fits in the blocks the file has is written.
        if (!io::writeFileReplacing(target, pattern('s', 8000), error)) return 5;
        if (testsupport::readFile(target) != pattern('s', 8000)) return 6;
        return 0;
    });
    if (status == 50) GTEST_SKIP() << "no small file system of its own can be mounted here (needs root)";
    EXPECT_EQ(status, 0);
}

}  // namespace
