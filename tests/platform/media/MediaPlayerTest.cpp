#include <gtest/gtest.h>

#include <SDL2/SDL.h>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <thread>

#include "platform/media/MPlayer.h"
#include "tests/support/DiskAudio.h"
#include "tests/support/ProgramData.h"
#include "tests/support/Pump.h"
#include "tests/support/ScopedEnv.h"
#include "tools/songgen/MidiFile.h"

namespace {

// -50 dBFS: an empty stream is all zeros, the quietest opening of a song
// is about -35 dBFS.
constexpr double kAudibleRms = 100;

class MediaPlayerTest : public testing::Test {
protected:
    void SetUp() override {
        player.OnNotify = [this](TObject* sender) {
            EXPECT_EQ(sender, &player);
            ++notified;
            notifiedOn = std::this_thread::get_id();
        };
    }

    // Two short notes: the synthesizer ends the song a few seconds later.
    std::string ShortSong() const {
        MidiFile song(480);
        const int track = song.AddTrack("Test");
        song.ProgramChange(track, 0, 0, 0);
        song.Note(track, 0, 240, 0, 60, 100);
        song.Note(track, 240, 240, 0, 67, 100);
        const std::string path = audio.File("short.mid");
        song.Save(path);
        return path;
    }

    std::string WriteFile(const std::string& name, const std::string& content) const {
        const std::string path = audio.File(name);
        std::ofstream(path, std::ios::binary) << content;
        return path;
    }

    bool PlaysUntilEnd() {
        return PumpUntil([this] { return player.Mode != mpPlaying; });
    }

    DiskAudio audio;
    TMediaPlayer player{nullptr};
    int notified = 0;
    std::thread::id notifiedOn;
};

class EverySong : public MediaPlayerTest, public testing::WithParamInterface<int> {};

TEST_P(EverySong, IsHeardOnTheSoundDevice) {
    player.FileName = ProgramFile("songs/" + std::to_string(GetParam()) + ".mid");
    player.Open();
    EXPECT_TRUE(player.Mode == mpOpen);
    EXPECT_TRUE(player.Mode != mpNotReady);
    // The device plays silence while the song loads: the song begins here.
    const double start = audio.Seconds();
    player.Play();
    EXPECT_TRUE(player.Mode == mpPlaying);
    ASSERT_TRUE(audio.WaitUntilWritten(start + 1.5));
    player.Stop();
    EXPECT_TRUE(player.Mode == mpOpen);
    player.Close();
    EXPECT_TRUE(player.Mode == mpNotReady);

    const DiskAudio::Level level = audio.Measure(start, audio.Seconds());
    EXPECT_GT(level.rms, kAudibleRms);
    EXPECT_LT(level.peak, 32767) << "the song clips";
    EXPECT_EQ(SDL_WasInit(SDL_INIT_AUDIO), 0u) << "Close must let the sound device go";
}

INSTANTIATE_TEST_SUITE_P(MediaPlayer, EverySong, testing::Range(0, 9));

TEST_F(MediaPlayerTest, ReportsTheEndOfASongOnTheEventLoopThread) {
    player.FileName = ShortSong();
    player.Notify = true;
    player.Open();
    player.Play();
    ASSERT_TRUE(PumpUntil([this] { return notified > 0; }));
    EXPECT_EQ(notifiedOn, std::this_thread::get_id());
    EXPECT_TRUE(player.Mode == mpOpen);
    PumpFor(300);
    EXPECT_EQ(notified, 1);
    EXPECT_GT(audio.Measure(0, audio.Seconds()).rms, kAudibleRms / 4);
}

TEST_F(MediaPlayerTest, WithoutNotifyTheEndPassesUnreported) {
    player.FileName = ShortSong();
    player.Open();
    player.Play();
    ASSERT_TRUE(PlaysUntilEnd());
    PumpFor(300);
    EXPECT_EQ(notified, 0);
    EXPECT_TRUE(player.Mode == mpOpen);
}

TEST_F(MediaPlayerTest, StopCutsTheSongShortAndReportsItOnce) {
    player.FileName = ProgramFile("songs/0.mid");
    player.Notify = true;
    player.Open();
    const double start = audio.Seconds();
    player.Play();
    ASSERT_TRUE(audio.WaitUntilWritten(start + 0.5));
    player.Stop();
    const double stoppedAt = audio.Seconds();
    EXPECT_TRUE(player.Mode == mpOpen);
    EXPECT_EQ(notified, 0) << "the report comes through the event loop";
    ASSERT_TRUE(PumpUntil([this] { return notified > 0; }));
    // The open device goes on playing silence.
    ASSERT_TRUE(audio.WaitUntilWritten(stoppedAt + 0.6));
    player.Close();
    PumpFor(200);
    EXPECT_EQ(notified, 1);
    EXPECT_EQ(audio.Measure(stoppedAt + 0.1, stoppedAt + 0.6).peak, 0) << "music after Stop";
}

TEST_F(MediaPlayerTest, ANewPlayDropsTheReportOfTheLastOne) {
    player.FileName = ProgramFile("songs/1.mid");
    player.Notify = true;
    player.Open();
    player.Play();
    player.Stop();
    player.Play();
    PumpFor(300);
    EXPECT_EQ(notified, 0);
    EXPECT_TRUE(player.Mode == mpPlaying);
    player.Stop();
    ASSERT_TRUE(PumpUntil([this] { return notified > 0; }));
    PumpFor(300);
    EXPECT_EQ(notified, 1);
}

TEST_F(MediaPlayerTest, OpeningAnotherSongLetsTheFirstOneGo) {
    player.FileName = ProgramFile("songs/2.mid");
    player.Open();
    player.Play();
    player.FileName = ProgramFile("songs/3.mid");
    player.Open();
    EXPECT_TRUE(player.Mode == mpOpen);
    player.Play();
    EXPECT_TRUE(player.Mode == mpPlaying);
    player.Close();
    EXPECT_EQ(SDL_WasInit(SDL_INIT_AUDIO), 0u) << "the first song still holds the device";
}

TEST_F(MediaPlayerTest, AnOwnerFreesItsPlayerWithAReportOnTheWay) {
    auto owner = std::make_unique<TComponent>(nullptr);
    auto* owned = new TMediaPlayer(owner.get());
    bool reached = false;
    owned->OnNotify = [&reached](TObject*) { reached = true; };
    owned->FileName = ProgramFile("songs/4.mid");
    owned->Notify = true;
    owned->Open();
    owned->Play();
    owned->Stop();
    owner.reset();
    PumpFor(300);
    EXPECT_FALSE(reached);
    EXPECT_EQ(SDL_WasInit(SDL_INIT_AUDIO), 0u);
}

TEST_F(MediaPlayerTest, OpenFailsWithoutASoundDevice) {
    const ScopedEnv noDevice("SDL_AUDIODRIVER", "no-such-driver");
    player.FileName = ProgramFile("songs/0.mid");
    // A missing device fails at once: the game starts with the music off.
    // The bound is for a hang, such as waiting for a device to turn up;
    // a loaded machine stays far below it.
    const auto start = std::chrono::steady_clock::now();
    EXPECT_THROW(player.Open(), EMCIDeviceError);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(20));
    EXPECT_TRUE(player.Mode == mpNotReady);
    EXPECT_THROW(player.Play(), EMCIDeviceError);
    player.Stop();
    player.Close();
    EXPECT_EQ(SDL_WasInit(SDL_INIT_AUDIO), 0u);
}

TEST_F(MediaPlayerTest, OpenRefusesWhatIsNoSong) {
    const std::string song = FileContent(ProgramFile("songs/0.mid"));
    const struct {
        const char* what;
        std::string path;
    } cases[] = {
        {"missing", audio.File("none.mid")},
        {"empty", WriteFile("empty.mid", "")},
        {"text", WriteFile("text.mid", "this is no song at all")},
        {"cut short", WriteFile("cut.mid", song.substr(0, 300))},
        {"header only", WriteFile("header.mid", song.substr(0, 14))},
    };
    for (const auto& c : cases) {
        player.FileName = c.path;
        EXPECT_THROW(player.Open(), EMCIDeviceError) << c.what;
        EXPECT_TRUE(player.Mode == mpNotReady) << c.what;
        EXPECT_EQ(SDL_WasInit(SDL_INIT_AUDIO), 0u) << c.what;
    }
}

TEST_F(MediaPlayerTest, StopAndCloseOfAnIdlePlayerDoNothing) {
    player.Notify = true;
    player.Stop();
    player.Close();
    PumpFor(100);
    EXPECT_EQ(notified, 0);
    EXPECT_TRUE(player.Mode == mpNotReady);
}

} // namespace
