#include "tools/songgen/Score.h"

#include <algorithm>
#include <cctype>
#include <map>
#include <stdexcept>

namespace {

constexpr int kDrumChannel = 9;
constexpr int kVolumeController = 7;
constexpr int kPanController = 10;
constexpr int kReverbController = 91;
constexpr int kChorusController = 93;
constexpr int kAllSoundOffController = 120;

std::vector<std::string_view> Split(std::string_view text, char separator) {
    std::vector<std::string_view> parts;
    size_t start = 0;
    while (start <= text.size()) {
        const size_t end = text.find(separator, start);
        const size_t stop = end == std::string_view::npos ? text.size() : end;
        if (stop > start)
            parts.push_back(text.substr(start, stop - start));
        if (end == std::string_view::npos)
            break;
        start = end + 1;
    }
    return parts;
}

std::vector<std::string_view> Words(std::string_view text) {
    std::vector<std::string_view> words;
    size_t i = 0;
    while (i < text.size()) {
        while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i])))
            ++i;
        const size_t start = i;
        while (i < text.size() && !std::isspace(static_cast<unsigned char>(text[i])))
            ++i;
        if (i > start)
            words.push_back(text.substr(start, i - start));
    }
    return words;
}

// Pitch class of a note letter with its accidental; `length` gets the
// number of characters read.
int PitchClass(std::string_view name, size_t& length) {
    static const int letters[] = {9, 11, 0, 2, 4, 5, 7}; // A B C D E F G
    if (name.empty() || name[0] < 'A' || name[0] > 'G')
        throw std::invalid_argument("not a note name: " + std::string(name));
    int pc = letters[name[0] - 'A'];
    length = 1;
    if (name.size() > 1 && (name[1] == '#' || name[1] == 'b')) {
        pc += name[1] == '#' ? 1 : -1;
        length = 2;
    }
    return (pc + 12) % 12;
}

int KeyAtOrAbove(int pitchClass, int low) {
    int key = low;
    while ((key % 12 + 12) % 12 != pitchClass)
        ++key;
    return key;
}

// Length of a note written as "4" or "4." in ticks of Score::kQuarter.
int NoteLength(std::string_view text) {
    const bool dotted = !text.empty() && text.back() == '.';
    const std::string_view digits = dotted ? text.substr(0, text.size() - 1) : text;
    if (digits.empty() || digits.find_first_not_of("0123456789") != std::string_view::npos)
        throw std::invalid_argument("bad note length: " + std::string(text));
    const int denominator = std::stoi(std::string(digits));
    if (denominator <= 0 || (Score::kQuarter * 4) % denominator != 0)
        throw std::invalid_argument("bad note length: " + std::string(text));
    const int length = Score::kQuarter * 4 / denominator;
    return dotted ? length * 3 / 2 : length;
}

} // namespace

int Key(std::string_view name) {
    size_t length = 0;
    const int pc = PitchClass(name, length);
    const std::string octave(name.substr(length));
    if (octave.empty() || !std::isdigit(static_cast<unsigned char>(octave[0])))
        throw std::invalid_argument("note without octave: " + std::string(name));
    return 12 * (std::stoi(octave) + 1) + pc;
}

Chord Chord::Parse(std::string_view symbol) {
    static const std::map<std::string, std::vector<int>, std::less<>> qualities = {
        {"", {0, 4, 7}},           {"m", {0, 3, 7}},         {"7", {0, 4, 7, 10}},
        {"maj7", {0, 4, 7, 11}},   {"m7", {0, 3, 7, 10}},    {"m7b5", {0, 3, 6, 10}},
        {"dim", {0, 3, 6}},        {"6", {0, 4, 7, 9}},      {"m6", {0, 3, 7, 9}},
        {"sus4", {0, 5, 7}},       {"9", {0, 4, 7, 10, 14}}, {"maj9", {0, 4, 7, 11, 14}},
        {"m9", {0, 3, 7, 10, 14}}, {"add9", {0, 4, 7, 14}},
    };
    Chord chord;
    const size_t slash = symbol.find('/');
    const std::string_view name = symbol.substr(0, slash);
    size_t length = 0;
    chord.root_ = PitchClass(name, length);
    const auto quality = qualities.find(name.substr(length));
    if (quality == qualities.end())
        throw std::invalid_argument("unknown chord: " + std::string(symbol));
    chord.intervals_ = quality->second;
    chord.bass_ = chord.root_;
    if (slash != std::string_view::npos) {
        size_t bassLength = 0;
        chord.bass_ = PitchClass(symbol.substr(slash + 1), bassLength);
    }
    return chord;
}

int Chord::Tone(int index, int low) const {
    const int interval = intervals_[index % Size()] + 12 * (index / Size());
    return KeyAtOrAbove((root_ + interval) % 12, low);
}

int Chord::Bass(int low) const {
    return KeyAtOrAbove(bass_, low);
}

std::vector<int> Chord::Voicing(int low, int count) const {
    std::vector<int> keys;
    for (int key = low; static_cast<int>(keys.size()) < count; ++key)
        for (int interval : intervals_)
            if ((root_ + interval) % 12 == key % 12) {
                keys.push_back(key);
                break;
            }
    return keys;
}

std::vector<ChordSpan> Progression(std::string_view text, int startTick, int barTicks) {
    std::vector<ChordSpan> spans;
    int bar = 0;
    for (std::string_view word : Words(text)) {
        if (word == "|")
            continue;
        const std::vector<std::string_view> symbols = Split(word, ',');
        const int share = barTicks / static_cast<int>(symbols.size());
        for (size_t i = 0; i < symbols.size(); ++i)
            spans.push_back({startTick + bar * barTicks + static_cast<int>(i) * share, share,
                             Chord::Parse(symbols[i])});
        ++bar;
    }
    return spans;
}

Voice::Voice(Score& score, int track, int channel)
    : score_(score), track_(track), channel_(channel), random_(2654435761u * (track + 1)) {}

int Voice::Play(int tick, std::string_view notes, int velocity) {
    for (std::string_view word : Words(notes)) {
        if (word == "|") {
            if (tick % score_.BarTicks() != 0)
                throw std::invalid_argument("bar line inside a bar before: " +
                                            std::string(notes.substr(0, 60)));
            continue;
        }
        const size_t slash = word.rfind('/');
        if (slash == std::string_view::npos)
            throw std::invalid_argument("note without length: " + std::string(word));
        const int length = NoteLength(word.substr(slash + 1));
        const std::string_view pitches = word.substr(0, slash);
        if (pitches != "r")
            for (std::string_view pitch : Split(pitches, '+'))
                Note(tick, length, Key(pitch), velocity);
        tick += length;
    }
    return tick;
}

void Voice::Note(int tick, int duration, int key, int velocity) {
    const int start = SwungTick(tick);
    const int end = SwungTick(tick + duration);
    const int sounding = std::max(1, static_cast<int>((end - start) * gate_));
    score_.File().Note(track_, start, sounding, channel_, key, Humanized(velocity, tick));
}

void Voice::Pattern(int tick, int stepTicks, std::string_view steps, int key, int velocity) {
    for (char step : steps) {
        if (step == 'x' || step == 'X' || step == 'o') {
            const int level = step == 'X' ? velocity + 16 : step == 'o' ? velocity - 18 : velocity;
            Note(tick, stepTicks, key, level);
        }
        if (step != '|')
            tick += stepTicks;
    }
}

int Voice::SwungTick(int tick) const {
    if (!swing_)
        return tick;
    const int beat = Score::kQuarter;
    const int half = beat / 2;
    const int within = tick % beat;
    const int base = tick - within;
    // The beat's first half stretches to two thirds of it, the second half shrinks.
    return within <= half ? base + within * 4 / 3 : base + beat * 2 / 3 + (within - half) * 2 / 3;
}

int Voice::Humanized(int velocity, int tick) {
    random_ = random_ * 1103515245u + 12345u;
    const int jitter = static_cast<int>((random_ >> 16) % 9) - 4;
    const int inBar = tick % score_.BarTicks();
    int metric = inBar % score_.Beat() == 0 ? 1 : -3;
    if (inBar == 0)
        metric = 8;
    else if (inBar * 2 == score_.BarTicks())
        metric = 4;
    return velocity + metric + jitter;
}

Score::Score(double beatsPerMinute, int beatsPerBar, int beatUnit)
    : file_(kQuarter), beatsPerMinute_(beatsPerMinute), beat_(kQuarter * 4 / beatUnit),
      beatsPerBar_(beatsPerBar) {
    file_.Tempo(0, beatsPerMinute);
    file_.TimeSignature(0, beatsPerBar, beatUnit);
}

MidiFile Score::Finish() {
    constexpr double kRingingSeconds = 2.5;
    const int end =
        file_.LastTick() + static_cast<int>(kRingingSeconds * beatsPerMinute_ / 60 * kQuarter);
    for (const Part& part : parts_)
        file_.Controller(part.track, end, part.channel, kAllSoundOffController, 0);
    return file_;
}

Voice Score::AddVoice(const std::string& name, int channel, int program, int volume, int pan,
                      int reverb) {
    const int track = file_.AddTrack(name);
    file_.ProgramChange(track, 0, channel, program);
    file_.Controller(track, 0, channel, kVolumeController, volume);
    file_.Controller(track, 0, channel, kPanController, pan);
    file_.Controller(track, 0, channel, kReverbController, reverb);
    file_.Controller(track, 0, channel, kChorusController, 0);
    parts_.push_back({track, channel});
    return Voice(*this, track, channel);
}

Voice Score::AddDrums(const std::string& name, int volume, int reverb) {
    const int track = file_.AddTrack(name);
    file_.Controller(track, 0, kDrumChannel, kVolumeController, volume);
    file_.Controller(track, 0, kDrumChannel, kReverbController, reverb);
    parts_.push_back({track, kDrumChannel});
    return Voice(*this, track, kDrumChannel);
}
