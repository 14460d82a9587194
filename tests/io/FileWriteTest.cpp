#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "io/FileWrite.h"
#include "support/TestSupport.h"

namespace {

namespace fs = std::filesystem;

int modeOf(const std::string& path) {
    struct stat st {};
    ::stat(path.c_str(), &st);
    return static_cast<int>(st.st_mode & 07777);
}

// Runs body in a child process (for limits and identities the test itself
// must not take on) and returns the child's exit status.
template <typename Body>
int inChild(Body body) {
    const pid_t pid = ::fork();
    if (pid == 0) ::_exit(body());
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 100 + WTERMSIG(status);
}

TEST(FileWrite, ReplacesTargetsAsTheUserMeantThem) {
    testsupport::TempDir dir;
    std::string error;

    // A link stays a link; the file it names gets the content.
    dir.write("real.tumbalon", "old");
    fs::create_symlink("real.tumbalon", dir.file("link.tumbalon"));
    ASSERT_TRUE(io::writeFileReplacing(dir.file("link.tumbalon"), "new", error)) << error;
    EXPECT_TRUE(fs::is_symlink(dir.file("link.tumbalon")));
    EXPECT_EQ(dir.read("real.tumbalon"), "new");

    // The existing file's permission bits survive the replacement.
    dir.write("private.tumbalon", "old");
    ::chmod(dir.file("private.tumbalon").c_str(), 0640);
    ASSERT_TRUE(io::writeFileReplacing(dir.file("private.tumbalon"), "new", error)) << error;
    EXPECT_EQ(modeOf(dir.file("private.tumbalon")), 0640);

    // Leftovers of earlier crashes and very long names do not block saving.
    for (int i = 0; i < 100; ++i) dir.write("x.tumbalon.tmp" + (i ? std::to_string(i) : std::string()), "");
    EXPECT_TRUE(io::writeFileReplacing(dir.file("x.tumbalon"), "x", error)) << error;
    const std::string longName(250, 'n');
    EXPECT_TRUE(io::writeFileReplacing(dir.file(longName), "x", error)) << error;

    // Nothing but the saved files is left in the folder.
    int files = 0;
    for (const auto& entry : fs::directory_iterator(dir.path()))
        files += entry.path().filename().string().rfind(".tumbalon-", 0) == 0;
    EXPECT_EQ(files, 0);
}

TEST(FileWrite, RefusesWhatIsNotARegularFile) {
    testsupport::TempDir dir;
    std::string error;
    EXPECT_FALSE(io::writeFileReplacing("/dev/null", "x", error));
    EXPECT_EQ(error, "not a regular file");
    EXPECT_TRUE(fs::is_character_file("/dev/null"));
    ::mkfifo(dir.file("fifo").c_str(), 0600);
    EXPECT_FALSE(io::writeFileReplacing(dir.file("fifo"), "x", error));
    EXPECT_TRUE(fs::is_fifo(dir.file("fifo")));
    fs::create_directory(dir.file("folder"));
    EXPECT_FALSE(io::writeFileReplacing(dir.file("folder"), "x", error));
    EXPECT_FALSE(io::writeFileReplacing(dir.file("no/such/folder/x"), "x", error));
}

TEST(FileWrite, LimitsOfTheSystemAreMessagesNotDeaths) {
    testsupport::TempDir dir;
    // A file-size limit below the content: the write fails, the process
    // lives, and neither the target nor a temporary file is left.
    const int limited = inChild([&] {
        rlimit limit{1024, 1024};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        std::string error;
        const bool ok = io::writeFileReplacing(dir.file("big.tumbalon"), std::string(100000, 'x'), error);
        return ok ? 1 : (error.empty() ? 2 : 0);
    });
    EXPECT_EQ(limited, 0);
    EXPECT_TRUE(fs::is_empty(dir.path()));

    // A folder that takes no new files: a writable file in it is rewritten
    // in place; one the user may not write is refused like a plain open.
    ::chmod(dir.path().c_str(), 0755);  // mkdtemp's 0700 would shut the user out
    fs::create_directory(dir.file("locked"));
    const std::string writable = dir.file("locked/open.tumbalon");
    const std::string readOnly = dir.file("locked/closed.tumbalon");
    dir.write("locked/open.tumbalon", "old");
    dir.write("locked/closed.tumbalon", "old");
    ::chmod(writable.c_str(), 0666);
    ::chmod(readOnly.c_str(), 0444);
    ::chmod(dir.file("locked").c_str(), 0555);
    const int unprivileged = inChild([&] {
        // Root passes every permission check; an ordinary user does not.
        if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0)) return 3;
        std::string error;
        if (!io::writeFileReplacing(writable, "new", error)) return 4;
        if (io::writeFileReplacing(readOnly, "new", error)) return 5;
        return 0;
    });
    ::chmod(dir.file("locked").c_str(), 0755);
    EXPECT_EQ(unprivileged, 0);
    EXPECT_EQ(dir.read("locked/open.tumbalon"), "new");
    EXPECT_EQ(dir.read("locked/closed.tumbalon"), "old");
}

}  // namespace
