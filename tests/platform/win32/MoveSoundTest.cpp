#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <numbers>

#include "platform/win32/Sound.h"
#include "tests/support/DiskAudio.h"
#include "tests/support/ProgramData.h"
#include "tests/support/ScopedEnv.h"
#include "tools/soundgen/WavFile.h"

namespace {

class MoveSoundTest : public testing::Test {
protected:
    // The next test opens the device anew, on its own file.
    void TearDown() override { sndPlaySoundA(nullptr, SND_ASYNC); }

    std::string Tone(const std::string& name, double frequency, double seconds) const {
        std::vector<float> samples(static_cast<size_t>(seconds * kSampleRate));
        for (size_t i = 0; i < samples.size(); ++i)
            samples[i] = 0.5f * static_cast<float>(
                                    std::sin(2 * std::numbers::pi * frequency * i / kSampleRate));
        const std::string path = audio.File(name);
        SaveWav(path, samples);
        return path;
    }

    DiskAudio audio;
};

class EveryPack : public MoveSoundTest, public testing::WithParamInterface<const char*> {};

TEST_P(EveryPack, MoveSoundIsHeardOnTheSoundDevice) {
    const std::string file = ProgramFile(std::string(GetParam()) + "3.wav");
    EXPECT_EQ(sndPlaySoundA(file.c_str(), SND_ASYNC | SND_FILENAME), TRUE);
    // The device plays silence while the sound loads: it begins here.
    ASSERT_TRUE(audio.WaitUntilWritten(audio.Seconds() + 0.8));
    const DiskAudio::Level level = audio.Measure(0, audio.Seconds());
    EXPECT_GT(level.peak, 3000);
    EXPECT_LT(level.peak, 32767) << "the sound clips";
}

INSTANTIATE_TEST_SUITE_P(MoveSound, EveryPack,
                         testing::Values("classic", "desktop", "space", "toy"));

TEST_F(MoveSoundTest, AsynchronousSoundPlaysOnAfterTheCall) {
    const std::string tone = Tone("long.wav", 440, 1.5);
    EXPECT_EQ(sndPlaySoundA(tone.c_str(), SND_ASYNC | SND_FILENAME), TRUE);
    const double returned = audio.Seconds();
    ASSERT_TRUE(audio.WaitUntilWritten(returned + 1.3));
    EXPECT_GT(audio.Measure(returned + 0.3, returned + 1.3).rms, 5000)
        << "the call waited for the sound, or the tone stopped early";
}

TEST_F(MoveSoundTest, SynchronousSoundReturnsWhenItHasPlayed) {
    const std::string tone = Tone("half.wav", 440, 0.5);
    EXPECT_EQ(sndPlaySoundA(tone.c_str(), SND_SYNC | SND_FILENAME), TRUE);
    // All of it has gone to the device, but for the last buffer of 23 ms.
    EXPECT_GE(audio.Seconds(), 0.45);
    EXPECT_GT(audio.Measure(0, audio.Seconds()).rms, 3000);
}

TEST_F(MoveSoundTest, ANewSoundOrNoNameCutsOffThePlayingOne) {
    const std::string longTone = Tone("long.wav", 440, 2.5);
    const std::string shortTone = Tone("short.wav", 880, 0.2);
    for (const char* next : {shortTone.c_str(), static_cast<const char*>(nullptr)}) {
        ASSERT_EQ(sndPlaySoundA(longTone.c_str(), SND_ASYNC | SND_FILENAME), TRUE);
        ASSERT_TRUE(audio.WaitUntilWritten(audio.Seconds() + 0.4));
        const double before = audio.Seconds();
        EXPECT_EQ(sndPlaySoundA(next, SND_ASYNC | SND_FILENAME), TRUE);
        const double cut = audio.Seconds();
        ASSERT_TRUE(audio.WaitUntilWritten(cut + 1.0));
        EXPECT_GT(audio.Measure(before - 0.3, before).rms, 5000);
        EXPECT_EQ(audio.Measure(cut + 0.4, cut + 1.0).peak, 0)
            << "the long tone went on after " << (next ? "a new sound" : "a null name");
    }
}

TEST_F(MoveSoundTest, AFileThatIsNoSoundFailsAndLeavesTheDeviceWorking) {
    const std::string missing = audio.File("none.wav");
    const std::string empty = audio.File("empty.wav");
    const std::string text = audio.File("text.wav");
    std::ofstream(empty, std::ios::binary).flush();
    std::ofstream(text, std::ios::binary) << "RIFF but not really a sound";
    for (const std::string& file : {missing, empty, text})
        EXPECT_EQ(sndPlaySoundA(file.c_str(), SND_ASYNC | SND_FILENAME), FALSE) << file;

    const std::string tone = Tone("tone.wav", 440, 0.3);
    EXPECT_EQ(sndPlaySoundA(tone.c_str(), SND_SYNC | SND_FILENAME), TRUE);
    EXPECT_GT(audio.Measure(0, audio.Seconds()).rms, 1000);
}

TEST_F(MoveSoundTest, WithoutASoundDeviceNothingPlaysAndNothingWaits) {
    const ScopedEnv noDevice("SDL_AUDIODRIVER", "no-such-driver");
    const std::string file = ProgramFile("classic1.wav");
    // The bound is for a hang, such as waiting for a device to turn up;
    // a loaded machine stays far below it.
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(sndPlaySoundA(file.c_str(), SND_ASYNC | SND_FILENAME), FALSE);
    EXPECT_EQ(sndPlaySoundA(file.c_str(), SND_SYNC | SND_FILENAME), FALSE);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(20));
}

} // namespace
