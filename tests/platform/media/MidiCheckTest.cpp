// The check of a song file before the synthesizer sees it, on song files
// put together byte by byte.

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "platform/media/MidiCheck.h"

namespace {

std::string Number(uint32_t value, int bytes) {
    std::string out;
    for (int i = bytes - 1; i >= 0; --i)
        out += static_cast<char>(value >> (8 * i) & 0xFF);
    return out;
}

std::string Header(uint32_t length, uint16_t tracks) {
    return "MThd" + Number(length, 4) + Number(0, 2) + Number(tracks, 2) + Number(96, 2) +
           std::string(length > 6 ? length - 6 : 0, '\0');
}

std::string Chunk(const char* kind, const std::string& body) {
    return kind + Number(static_cast<uint32_t>(body.size()), 4) + body;
}

const std::string Events("\x00\x90\x3c\x40\x60\x80\x3c\x00\x00\xff\x2f\x00", 12);

TEST(MidiCheck, WholeSongsPassAndDamagedOnesAreNamed) {
    const std::string track = Chunk("MTrk", Events);
    const struct {
        const char* what;
        std::string bytes;
        const char* fault;
    } cases[] = {
        {"one track", Header(6, 1) + track, nullptr},
        {"a longer header", Header(10, 1) + track, nullptr},
        {"an unknown chunk beside the track", Header(6, 1) + Chunk("XFIH", "abc") + track, nullptr},
        {"more tracks than announced", Header(6, 1) + track + track, nullptr},
        {"empty", "", "not a MIDI file"},
        {"no header chunk", "RIFF" + Header(6, 1).substr(4) + track, "not a MIDI file"},
        {"a header too short to hold its fields", Header(5, 1) + track, "not a MIDI file"},
        {"fewer tracks than announced", Header(6, 2) + track, "the MIDI file is cut short"},
        {"no track announced", Header(6, 0) + track, "the MIDI file is cut short"},
        {"a track cut short", Header(6, 1) + track.substr(0, track.size() - 1),
         "the MIDI file is cut short"},
        {"a chunk head cut short", Header(6, 1) + track + "MTr", "the MIDI file is cut short"},
        {"a track length past the end of any file", Header(6, 1) + "MTrk" + Number(0xFFFFFFFF, 4),
         "the MIDI file is cut short"},
        {"a header length past the end",
         Header(6, 1).substr(0, 4) + Number(0xFFFFFFF0, 4) + Header(6, 1).substr(8) + track,
         "the MIDI file is cut short"},
    };
    for (const auto& c : cases) {
        const char* fault = MidiFileFault(c.bytes);
        EXPECT_EQ(fault ? std::string(fault) : "", c.fault ? std::string(c.fault) : "") << c.what;
    }
}

} // namespace
