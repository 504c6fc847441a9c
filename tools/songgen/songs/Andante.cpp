// A classical andante in C major, ABA: clarinet over an Alberti bass on the
// piano, strings and cello joining from the middle section.

#include "tools/songgen/Score.h"
#include "tools/songgen/Songs.h"

namespace {

constexpr int kPiano = 0;
constexpr int kCello = 42;
constexpr int kStrings = 48;
constexpr int kClarinet = 71;

const char* const kChordsA = "C F G7 C | Am Dm7 G7 C";
const char* const kChordsB = "G D7 G C | Am D7 G G7";
const char* const kChordsLastA = "C F G7 C | F C/G G7 C";

const char* const kTuneA = "E5/4. F5/8 G5/4 E5/4 | A5/4. G5/8 F5/4 C5/4 | D5/4. E5/8 F5/4 D5/4 | "
                           "E5/2 C5/2 | C5/4. D5/8 E5/4 A5/4 | F5/4. E5/8 D5/4 C5/4 | "
                           "B4/4 D5/4 G5/4 F5/4 | E5/2. r/4 |";
const char* const kTuneB = "D5/4. E5/8 D5/4 B4/4 | C5/4. D5/8 C5/4 A4/4 | B4/4 D5/4 G5/4 B5/4 | "
                           "G5/2 E5/4 C5/4 | E5/4 A5/4 C6/4 A5/4 | F#5/4. E5/8 D5/4 C5/4 | "
                           "B4/4 D5/4 G5/4 D5/4 | F5/2 D5/4 B4/4 |";
const char* const kTuneLastA = "E5/4. F5/8 G5/4 E5/4 | A5/4. G5/8 F5/4 A5/4 | "
                               "G5/4. F5/8 E5/4 D5/4 | C5/2 E5/4 G5/4 | A5/4. C6/8 A5/4 F5/4 | "
                               "G5/4. E5/8 C5/4 E5/4 | D5/4 F5/4 B4/4 D5/4 | C5/1 |";

// Lowest, highest, middle, highest: the classical broken chord in eighths.
void Alberti(Score& score, Voice& piano, const char* chords, int tick) {
    const int eighth = score.Beat() / 2;
    const int order[] = {0, 2, 1, 2};
    for (const ChordSpan& span : Progression(chords, tick, score.BarTicks())) {
        const std::vector<int> keys = span.chord.Voicing(span.chord.Bass(Key("C3")), 3);
        for (int step = 0; step * eighth < span.duration; ++step)
            piano.Note(span.tick + step * eighth, eighth, keys[order[step % 4]],
                       step % 4 == 0 ? 62 : 50);
    }
}

void Sustain(Score& score, Voice& strings, Voice& cello, const char* chords, int tick) {
    for (const ChordSpan& span : Progression(chords, tick, score.BarTicks())) {
        for (int key : span.chord.Voicing(Key("G3"), 3))
            strings.Note(span.tick, span.duration, key, 32);
        cello.Note(span.tick, span.duration, span.chord.Bass(Key("C2")), 44);
    }
}

} // namespace

MidiFile ComposeAndante() {
    Score score(84, 4, 4);
    Voice clarinet = score.AddVoice("Clarinet", 0, kClarinet, 90, 70, 50);
    Voice piano = score.AddVoice("Piano", 1, kPiano, 110, 54, 45);
    Voice strings = score.AddVoice("Strings", 2, kStrings, 76, 80, 65);
    Voice cello = score.AddVoice("Cello", 3, kCello, 76, 44, 55);
    clarinet.Gate(0.95);
    piano.Gate(0.95);
    strings.Gate(1.0);
    cello.Gate(1.0);

    const int bar = score.BarTicks();
    Alberti(score, piano, "C", 0);
    int tick = bar;
    struct Section {
        const char* chords;
        const char* tune;
        bool sustained;
    };
    for (const Section& section :
         {Section{kChordsA, kTuneA, false}, Section{kChordsB, kTuneB, true},
          Section{kChordsLastA, kTuneLastA, true}}) {
        Alberti(score, piano, section.chords, tick);
        if (section.sustained)
            Sustain(score, strings, cello, section.chords, tick);
        tick = clarinet.Play(tick, section.tune, 74);
    }
    piano.Play(tick, "C3+G3+C4+E4/1 |", 46);
    strings.Play(tick, "G3+C4+E4/1 |", 30);
    cello.Play(tick, "C2/1 |", 42);
    return score.Finish();
}
