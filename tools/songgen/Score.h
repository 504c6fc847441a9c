#pragma once
// Helpers for writing songs as text: notes and rests in a small notation,
// chords by their symbols, percussion as step patterns.
//
// Notes: "A4/4" is the A above middle C for a quarter; "C4+E4+G4/2" a chord
// for a half; "r/8" an eighth rest. Lengths: 1 2 4 8 16, with "." for a
// dotted one. "|" marks a bar line and is checked against the metre.

#include <string>
#include <string_view>
#include <vector>

#include "tools/songgen/MidiFile.h"

// MIDI key of a note name such as "C4" (60), "F#3" or "Bb5".
int Key(std::string_view name);

class Chord {
public:
    // "F", "Dm", "C7", "Bbmaj7", "F#m7b5", "Gsus4", "C6", "Am9", "Cdim", "C/G".
    static Chord Parse(std::string_view symbol);

    // The lowest key at or above `low` of chord tone `index` (0 root, 1 third, ...).
    int Tone(int index, int low) const;
    // The bass note (root, or the note after "/") at or above `low`.
    int Bass(int low) const;
    // `count` chord tones in close position upward from `low`.
    std::vector<int> Voicing(int low, int count) const;

private:
    int Size() const { return static_cast<int>(intervals_.size()); }

    int root_ = 0;
    int bass_ = 0;
    std::vector<int> intervals_;
};

struct ChordSpan {
    int tick;
    int duration;
    Chord chord;
};

// Bars separated by blanks ("|" allowed for reading), chords sharing a bar
// by commas and splitting it evenly: "F C7,F | Bb".
std::vector<ChordSpan> Progression(std::string_view text, int startTick, int barTicks);

class Score;

class Voice {
public:
    Voice(Score& score, int track, int channel);

    // Plays a line from `tick` and returns the tick after it.
    int Play(int tick, std::string_view notes, int velocity);
    void Note(int tick, int duration, int key, int velocity);
    // One hit per step where the pattern shows "x" (accented "X", soft "o").
    void Pattern(int tick, int stepTicks, std::string_view steps, int key, int velocity);

    // Part of each written length that sounds (1 legato, 0.5 detached).
    void Gate(double gate) { gate_ = gate; }
    // Swung eighths: the second eighth of each beat comes a triplet late.
    void Swing(bool on) { swing_ = on; }

private:
    int SwungTick(int tick) const;
    int Humanized(int velocity, int tick);

    Score& score_;
    int track_;
    int channel_;
    double gate_ = 0.92;
    bool swing_ = false;
    unsigned random_;
};

class Score {
public:
    Score(double beatsPerMinute, int beatsPerBar, int beatUnit);

    static constexpr int kQuarter = 480;
    int Beat() const { return beat_; }
    int BarTicks() const { return beat_ * beatsPerBar_; }

    Voice AddVoice(const std::string& name, int channel, int program, int volume, int pan,
                   int reverb);
    Voice AddDrums(const std::string& name, int volume, int reverb);
    MidiFile& File() { return file_; }
    // The finished song: once the last notes have rung for a while, every
    // voice is silenced, so that the song ends there and not only when the
    // longest cymbal or pad has died away completely.
    MidiFile Finish();

private:
    struct Part {
        int track;
        int channel;
    };

    MidiFile file_;
    double beatsPerMinute_;
    std::vector<Part> parts_;
    int beat_;
    int beatsPerBar_;
};
