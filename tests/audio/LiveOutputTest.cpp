// The live output through OpenAL Soft's file-writing backend, so the tests
// hear what a speaker would play (and never play it): an impact reaches the
// device, and a missing device turns the sound off quietly.
#include <chrono>
#include <cstdlib>
#include <sstream>
#include <thread>

#include <gtest/gtest.h>

#include "Listening.h"
#include "audio/LiveOutput.h"
#include "support/TestSupport.h"

namespace {

// OpenAL Soft reads its configuration once per process, at its first use,
// so the whole test program is set to the wave backend before any test.
class WaveDevice : public ::testing::Environment {
public:
    void SetUp() override {
        dir_.write("alsoft.conf", "[general]\nfrequency = 44100\nchannels = mono\nsample-type = int16\n"
                                  "[wave]\nfile = " + wavePath() + "\n");
        setenv("ALSOFT_DRIVERS", "wave", 1);
        setenv("ALSOFT_CONF", dir_.file("alsoft.conf").c_str(), 1);
    }
    static std::string wavePath() { return dir_.file("device.wav"); }

private:
    static testsupport::TempDir dir_;
};
testsupport::TempDir WaveDevice::dir_;
const auto* const waveDevice = ::testing::AddGlobalTestEnvironment(new WaveDevice);

// Pumps as the frame loop would, every 10 ms of real time.
void play(audio::LiveOutput& out, double seconds) {
    for (double t = 0.0; t < seconds; t += 0.01) {
        out.pump();
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

TEST(LiveOutput, AnImpactReachesTheDevice) {
    {
        std::ostringstream log;
        audio::LiveOutput out(log, 0.01);
        ASSERT_TRUE(out.isOn()) << log.str();
        EXPECT_EQ(log.str(), "");
        play(out, 0.25);
        out.impact({0, audio::Surface::Klotz, 500.0f, {}}, 3.0);
        out.rolling({0, 300.0f, true}, 3.0);
        play(out, 0.3);
    }  // closing the device finishes the file
    listening::Wav wav;
    ASSERT_TRUE(listening::readWav(testsupport::readFile(WaveDevice::wavePath()), wav));
    ASSERT_EQ(wav.channels, 1);
    ASSERT_EQ(wav.rate, 44100);
    EXPECT_LT(listening::peakDb(wav.samples, 0.0, 0.1), -60.0) << "sound before the impact";
    EXPECT_GT(listening::peakDb(wav.samples, 0.1, 10.0), -20.0) << "the impact was not heard";
}

TEST(LiveOutput, WithoutADeviceSoundIsOffAndCallsDoNothing) {
    std::ostringstream log;
    audio::LiveOutput out(log, 0.01, "no such device");
    EXPECT_FALSE(out.isOn());
    EXPECT_EQ(log.str(), "sound: no audio device, sound is off\n");
    out.impact({0, audio::Surface::Ball, 500.0f, {}}, 0.0);
    out.rolling({0, 300.0f, true}, 0.0);
    out.setEnabled(false);
    out.pump();
    EXPECT_EQ(out.underruns(), 0);
}

}  // namespace
