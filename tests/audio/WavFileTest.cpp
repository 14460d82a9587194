// The WAV writer: a file other programs read as 44.1 kHz 16-bit mono, and a
// failed write that says so and leaves nothing behind.
#include <algorithm>
#include <cstdio>
#include <sstream>

#include <gtest/gtest.h>

#include "Listening.h"
#include "audio/WavFile.h"
#include "support/TestSupport.h"

namespace {

TEST(WavFile, HoldsTheSamplesAsPcm) {
    testsupport::TempDir dir;
    const listening::Samples samples{0, 1, -1, 32767, -32768, 1234};
    std::ostringstream log;
    ASSERT_TRUE(audio::writeWav(dir.file("run.wav"), samples, log));
    EXPECT_EQ(log.str(), "");
    listening::Wav wav;
    ASSERT_TRUE(listening::readWav(dir.read("run.wav"), wav));
    EXPECT_EQ(wav.rate, 44100);
    EXPECT_EQ(wav.channels, 1);
    EXPECT_EQ(wav.samples, samples);
    EXPECT_EQ(dir.read("run.wav").size(), 44u + 2 * samples.size());
}

TEST(WavFile, FailedWriteSaysWhyAndLeavesNoTrace) {
    testsupport::TempDir dir;
    std::ostringstream log;
    // A folder where the file should go: the rename over it fails.
    testsupport::TempDir inside;
    EXPECT_FALSE(audio::writeWav(inside.path(), {1, 2, 3}, log));
    const std::string message = log.str();
    EXPECT_NE(message.find("Can not write sound file \"" + inside.path() + "\""), std::string::npos) << message;
    EXPECT_EQ(std::count(message.begin(), message.end(), '\n'), 1);
    std::ostringstream again;
    EXPECT_FALSE(audio::writeWav(dir.file("missing/run.wav"), {1}, again));
    EXPECT_NE(again.str().find("missing/run.wav"), std::string::npos);
    std::FILE* leftover = std::fopen((inside.path() + ".part").c_str(), "rb");
    EXPECT_EQ(leftover, nullptr) << "the temporary file stayed";
    if (leftover) std::fclose(leftover);
}

}  // namespace
