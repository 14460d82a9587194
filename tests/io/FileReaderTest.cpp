#include <gtest/gtest.h>

#include <string>

#include <sys/stat.h>
#include <unistd.h>

#include "io/FileReader.h"
#include "support/TestSupport.h"

namespace {

TEST(FileReader, ReadsEveryByte) {
    testsupport::TempDir dir;
    const std::string bytes("a\0b\r\n\xff", 6);
    dir.write("f", bytes);
    const io::Result<std::string> file = io::readFile(dir.file("f"));
    ASSERT_TRUE(file.ok()) << file.error().message();
    EXPECT_EQ(*file, bytes);

    const io::Result<std::string> missing = io::readFile(dir.file("none"));
    ASSERT_FALSE(missing.ok());
    EXPECT_EQ(missing.error().failure, io::Failure::CannotOpen);
}

// Each of these would hang or exhaust memory if read: refused from the
// opened descriptor without reading.
TEST(FileReader, WhatIsNotARegularFileIsRefusedUnread) {
    testsupport::TempDir dir;
    ASSERT_EQ(::mkfifo(dir.file("fifo").c_str(), 0600), 0);
    for (const std::string& path : {std::string("/dev/zero"), dir.path(), dir.file("fifo")}) {
        const io::Result<std::string> file = io::readFile(path);
        ASSERT_FALSE(file.ok()) << path;
        EXPECT_EQ(file.error().failure, io::Failure::NotRegularFile);
        EXPECT_EQ(file.error().message(), "\"" + path + "\" is not a regular file");
    }
}

TEST(FileReader, FilesOverTheLimitAreRefused) {
    testsupport::TempDir dir;
    dir.write("eleven", "01234567890");
    EXPECT_TRUE(io::readFile(dir.file("eleven"), 11).ok());
    const io::Result<std::string> small = io::readFile(dir.file("eleven"), 10);
    ASSERT_FALSE(small.ok());
    EXPECT_EQ(small.error().failure, io::Failure::TooLarge);
    EXPECT_EQ(small.error().message(), "\"" + dir.file("eleven") + "\" is larger than 10 bytes");

    // A sparse file: refused by its length, before any reading.
    dir.write("huge", "");
    ASSERT_EQ(::truncate(dir.file("huge").c_str(), io::MAX_FILE_BYTES + 1), 0);
    const io::Result<std::string> huge = io::readFile(dir.file("huge"));
    ASSERT_FALSE(huge.ok());
    EXPECT_EQ(huge.error().message(), "\"" + dir.file("huge") + "\" is larger than 64 MiB");
}

TEST(Error, MessagesEscapeWhatCouldControlTheTerminal) {
    EXPECT_EQ(io::printable("plain \"text\" ~"), "plain \"text\" ~");
    EXPECT_EQ(io::printable(std::string("\x1b[2J\x9b\x7f\n\0", 8)), "\\x1b[2J\\x9b\\x7f\\x0a\\x00");
    EXPECT_EQ((io::Error{io::Failure::Malformed, "m\x1b.obj", 3, "bad"}.message()), "\"m\\x1b.obj\" line 3: bad");
}

}  // namespace
