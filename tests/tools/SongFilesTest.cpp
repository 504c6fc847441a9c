#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include "tests/support/ProgramData.h"

namespace {

constexpr int kSongs = 9;
constexpr int kDrumChannel = 9;

// What a Standard MIDI File holds, read independently of the writer.
struct Song {
    int format = -1;
    int division = 0;
    int tracks = 0;
    struct Note {
        int track;
        long tick;
        int channel;
        int key;
    };
    std::vector<Note> notes;
    std::map<int, long> firstProgramChange; // channel -> tick
    std::set<int> programs;
    double seconds = 0; // end of the last event
};

class Reader {
public:
    explicit Reader(std::string bytes) : bytes_(std::move(bytes)) {}

    Song Read() {
        Song song;
        Expect(Take(4) == "MThd", "no header chunk");
        Expect(Number(4) == 6, "header length is not 6");
        song.format = static_cast<int>(Number(2));
        song.tracks = static_cast<int>(Number(2));
        song.division = static_cast<int>(Number(2));
        Expect(song.division > 0 && song.division < 0x8000, "no ticks per quarter");
        std::vector<std::pair<long, double>> tempi{{0, 0.5}}; // tick, seconds per quarter
        long lastTick = 0;
        for (int t = 0; t < song.tracks; ++t)
            lastTick = std::max(lastTick, ReadTrack(t, song, tempi));
        Expect(at_ == bytes_.size(), "bytes after the last track");
        song.seconds = Seconds(lastTick, tempi, song.division);
        return song;
    }

private:
    long ReadTrack(int track, Song& song, std::vector<std::pair<long, double>>& tempi) {
        Expect(Take(4) == "MTrk", "no track chunk");
        const size_t length = Number(4);
        const size_t end = at_ + length;
        Expect(end <= bytes_.size(), "track runs past the file");
        long tick = 0;
        int status = 0;
        bool ended = false;
        std::map<std::pair<int, int>, int> sounding;
        while (at_ < end) {
            Expect(!ended, "events after the end of the track");
            tick += static_cast<long>(VariableLength());
            int byte = Byte();
            if (byte == 0xFF) {
                const int type = Byte();
                const std::string data = Take(VariableLength());
                if (type == 0x2F)
                    ended = true;
                if (type == 0x51) {
                    Expect(data.size() == 3, "bad tempo");
                    const long micro = (static_cast<unsigned char>(data[0]) << 16) |
                                       (static_cast<unsigned char>(data[1]) << 8) |
                                       static_cast<unsigned char>(data[2]);
                    tempi.emplace_back(tick, micro / 1e6);
                }
                continue;
            }
            if (byte == 0xF0 || byte == 0xF7) {
                Take(VariableLength());
                continue;
            }
            if (byte & 0x80) {
                status = byte;
                byte = Byte();
            }
            Expect(status != 0, "data without a status");
            Expect(byte < 0x80, "a data byte above 127");
            const int kind = status & 0xF0;
            const int channel = status & 0x0F;
            if (kind == 0xC0 || kind == 0xD0) {
                if (kind == 0xC0) {
                    song.programs.insert(byte);
                    song.firstProgramChange.emplace(channel, tick);
                }
                continue;
            }
            const int second = Byte();
            Expect(second < 0x80, "a data byte above 127");
            if (kind == 0x90 && second > 0) {
                Expect(++sounding[{channel, byte}] == 1, "a key struck twice without release");
                song.notes.push_back({track, tick, channel, byte});
            } else if (kind == 0x80 || kind == 0x90) {
                Expect(--sounding[{channel, byte}] == 0, "a key released that was not struck");
            }
        }
        Expect(at_ == end, "an event runs past its track");
        Expect(ended, "a track without its end");
        for (const auto& [key, count] : sounding)
            Expect(count == 0, "a note never released");
        return tick;
    }

    static double Seconds(long tick, std::vector<std::pair<long, double>> tempi, int division) {
        std::sort(tempi.begin(), tempi.end());
        double seconds = 0;
        for (size_t i = 0; i < tempi.size(); ++i) {
            const long from = tempi[i].first;
            const long to = i + 1 < tempi.size() ? std::min(tick, tempi[i + 1].first) : tick;
            if (to > from)
                seconds += static_cast<double>(to - from) / division * tempi[i].second;
        }
        return seconds;
    }

    void Expect(bool condition, const char* what) const {
        if (!condition)
            throw std::runtime_error(std::string(what) + " at byte " + std::to_string(at_));
    }
    int Byte() {
        Expect(at_ < bytes_.size(), "the file ends early");
        return static_cast<unsigned char>(bytes_[at_++]);
    }
    std::string Take(size_t count) {
        Expect(bytes_.size() - at_ >= count, "the file ends early");
        const std::string part = bytes_.substr(at_, count);
        at_ += count;
        return part;
    }
    size_t Number(int count) {
        size_t value = 0;
        for (int i = 0; i < count; ++i)
            value = value << 8 | static_cast<size_t>(Byte());
        return value;
    }
    size_t VariableLength() {
        size_t value = 0;
        for (int i = 0; i < 4; ++i) {
            const int byte = Byte();
            value = value << 7 | static_cast<size_t>(byte & 0x7F);
            if (!(byte & 0x80))
                return value;
        }
        Expect(false, "a number longer than four bytes");
        return 0;
    }

    std::string bytes_;
    size_t at_ = 0;
};

Song ReadSong(int number) {
    return Reader(FileContent(ProgramFile("songs/" + std::to_string(number) + ".mid"))).Read();
}

class EverySongFile : public testing::TestWithParam<int> {};

TEST_P(EverySongFile, IsAShortStandardMidiFileOfGeneralMidiInstruments) {
    Song song;
    ASSERT_NO_THROW(song = ReadSong(GetParam()));
    EXPECT_EQ(song.format, 1);
    EXPECT_GE(song.tracks, 3) << "a conductor track and at least two instruments";
    EXPECT_GT(song.notes.size(), 200u);
    EXPECT_GE(song.seconds, 40);
    EXPECT_LE(song.seconds, 90);
    // Every melodic channel chooses its instrument before its first note.
    for (const Song::Note& note : song.notes) {
        if (note.channel == kDrumChannel)
            continue;
        const auto program = song.firstProgramChange.find(note.channel);
        ASSERT_NE(program, song.firstProgramChange.end()) << "channel " << note.channel;
        EXPECT_LE(program->second, note.tick);
    }
}

INSTANTIATE_TEST_SUITE_P(SongFiles, EverySongFile, testing::Range(0, kSongs));

TEST(SongFiles, AreNineDifferentTunesForDifferentInstruments) {
    std::vector<Song> songs;
    for (int i = 0; i < kSongs; ++i)
        ASSERT_NO_THROW(songs.push_back(ReadSong(i))) << "song " << i;
    const auto tune = [](const Song& song) {
        std::vector<int> keys;
        for (const Song::Note& note : song.notes)
            if (note.track == 1 && keys.size() < 32)
                keys.push_back(note.key);
        return keys;
    };
    for (int a = 0; a < kSongs; ++a)
        for (int b = a + 1; b < kSongs; ++b) {
            EXPECT_NE(tune(songs[a]), tune(songs[b])) << "songs " << a << " and " << b;
            EXPECT_NE(songs[a].programs, songs[b].programs) << "songs " << a << " and " << b;
        }
}

} // namespace
