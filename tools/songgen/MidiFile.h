#pragma once
// A Standard MIDI File of format 1 built in memory: a conductor track with
// tempo and metre, then one track per instrument. Events are kept with
// absolute ticks and written in time order.

#include <cstdint>
#include <string>
#include <vector>

class MidiFile {
public:
    explicit MidiFile(int ticksPerQuarter);

    int TicksPerQuarter() const { return ticksPerQuarter_; }
    // Adds an instrument track and returns its number (the conductor is 0).
    int AddTrack(const std::string& name);

    void Tempo(int tick, double beatsPerMinute);
    void TimeSignature(int tick, int numerator, int denominator);
    void ProgramChange(int track, int tick, int channel, int program);
    void Controller(int track, int tick, int channel, int controller, int value);
    void Note(int track, int tick, int duration, int channel, int key, int velocity);

    // The tick of the last event written so far.
    int LastTick() const;

    std::vector<uint8_t> Bytes() const;
    // Raises std::runtime_error when the file cannot be written.
    void Save(const std::string& path) const;

private:
    struct Event {
        int tick;
        int order; // among events of one tick: settings, then note-offs, then note-ons
        std::vector<uint8_t> data;
    };
    using Track = std::vector<Event>;

    void Add(int track, int tick, int order, std::vector<uint8_t> data);
    static std::vector<uint8_t> TrackChunk(Track events);

    int ticksPerQuarter_;
    std::vector<Track> tracks_;
};
