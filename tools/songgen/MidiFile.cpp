#include "tools/songgen/MidiFile.h"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <stdexcept>

namespace {

constexpr int kSettingOrder = 0;
constexpr int kNoteOffOrder = 1;
constexpr int kNoteOnOrder = 2;

void PutBigEndian(std::vector<uint8_t>& out, uint32_t value, int bytes) {
    for (int shift = (bytes - 1) * 8; shift >= 0; shift -= 8)
        out.push_back(static_cast<uint8_t>(value >> shift));
}

void PutVariableLength(std::vector<uint8_t>& out, uint32_t value) {
    uint8_t groups[5];
    int count = 0;
    do {
        groups[count++] = value & 0x7F;
        value >>= 7;
    } while (value != 0);
    while (count > 1)
        out.push_back(groups[--count] | 0x80);
    out.push_back(groups[0]);
}

std::vector<uint8_t> TextMeta(uint8_t type, const std::string& text) {
    std::vector<uint8_t> data{0xFF, type};
    PutVariableLength(data, static_cast<uint32_t>(text.size()));
    data.insert(data.end(), text.begin(), text.end());
    return data;
}

uint8_t DataByte(int value) {
    if (value < 0 || value > 127)
        throw std::invalid_argument("MIDI data byte out of range: " + std::to_string(value));
    return static_cast<uint8_t>(value);
}

uint8_t StatusByte(int kind, int channel) {
    if (channel < 0 || channel > 15)
        throw std::invalid_argument("MIDI channel out of range: " + std::to_string(channel));
    return static_cast<uint8_t>(kind | channel);
}

} // namespace

MidiFile::MidiFile(int ticksPerQuarter) : ticksPerQuarter_(ticksPerQuarter), tracks_(1) {
    Add(0, 0, kSettingOrder, TextMeta(0x03, "Korvel"));
}

int MidiFile::AddTrack(const std::string& name) {
    tracks_.emplace_back();
    const int track = static_cast<int>(tracks_.size()) - 1;
    Add(track, 0, kSettingOrder, TextMeta(0x03, name));
    return track;
}

void MidiFile::Tempo(int tick, double beatsPerMinute) {
    const auto microseconds = static_cast<uint32_t>(std::lround(60'000'000.0 / beatsPerMinute));
    std::vector<uint8_t> data{0xFF, 0x51, 0x03};
    PutBigEndian(data, microseconds, 3);
    Add(0, tick, kSettingOrder, std::move(data));
}

void MidiFile::TimeSignature(int tick, int numerator, int denominator) {
    uint8_t power = 0;
    while ((1 << power) < denominator)
        ++power;
    Add(0, tick, kSettingOrder, {0xFF, 0x58, 0x04, DataByte(numerator), power, 24, 8});
}

void MidiFile::ProgramChange(int track, int tick, int channel, int program) {
    Add(track, tick, kSettingOrder, {StatusByte(0xC0, channel), DataByte(program)});
}

void MidiFile::Controller(int track, int tick, int channel, int controller, int value) {
    Add(track, tick, kSettingOrder,
        {StatusByte(0xB0, channel), DataByte(controller), DataByte(value)});
}

void MidiFile::Note(int track, int tick, int duration, int channel, int key, int velocity) {
    if (duration <= 0)
        throw std::invalid_argument("note without duration");
    const int clamped = std::clamp(velocity, 1, 127);
    Add(track, tick, kNoteOnOrder, {StatusByte(0x90, channel), DataByte(key), DataByte(clamped)});
    Add(track, tick + duration, kNoteOffOrder, {StatusByte(0x80, channel), DataByte(key), 0x40});
}

void MidiFile::Add(int track, int tick, int order, std::vector<uint8_t> data) {
    if (tick < 0)
        throw std::invalid_argument("event before the start of the song");
    tracks_.at(track).push_back({tick, order, std::move(data)});
}

int MidiFile::LastTick() const {
    int last = 0;
    for (const Track& track : tracks_)
        for (const Event& event : track)
            last = std::max(last, event.tick);
    return last;
}

std::vector<uint8_t> MidiFile::TrackChunk(Track events) {
    std::stable_sort(events.begin(), events.end(), [](const Event& a, const Event& b) {
        return a.tick != b.tick ? a.tick < b.tick : a.order < b.order;
    });
    std::vector<uint8_t> body;
    int now = 0;
    for (const Event& event : events) {
        PutVariableLength(body, static_cast<uint32_t>(event.tick - now));
        body.insert(body.end(), event.data.begin(), event.data.end());
        now = event.tick;
    }
    body.insert(body.end(), {0x00, 0xFF, 0x2F, 0x00});

    std::vector<uint8_t> chunk{'M', 'T', 'r', 'k'};
    PutBigEndian(chunk, static_cast<uint32_t>(body.size()), 4);
    chunk.insert(chunk.end(), body.begin(), body.end());
    return chunk;
}

std::vector<uint8_t> MidiFile::Bytes() const {
    std::vector<uint8_t> out{'M', 'T', 'h', 'd'};
    PutBigEndian(out, 6, 4);
    PutBigEndian(out, 1, 2);
    PutBigEndian(out, static_cast<uint32_t>(tracks_.size()), 2);
    PutBigEndian(out, static_cast<uint32_t>(ticksPerQuarter_), 2);
    for (const Track& track : tracks_) {
        const std::vector<uint8_t> chunk = TrackChunk(track);
        out.insert(out.end(), chunk.begin(), chunk.end());
    }
    return out;
}

void MidiFile::Save(const std::string& path) const {
    const std::vector<uint8_t> bytes = Bytes();
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
    if (!file)
        throw std::runtime_error("cannot write " + path);
}
