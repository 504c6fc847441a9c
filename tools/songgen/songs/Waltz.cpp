// A calm waltz in F major: piano melody over oom-pah-pah, soft strings.

#include "tools/songgen/Score.h"
#include "tools/songgen/Songs.h"

namespace {

constexpr int kPiano = 0;
constexpr int kSlowStrings = 49;

const char* const kChordsA = "F F C7 C7 | C7 C7 F F | F F7 Bb Bb | F C7 F F";
const char* const kChordsB = "Dm Dm A7 A7 | Dm Dm G7 C7 | F F D7 D7 | Gm C7 F F";

const char* const kTuneA = "A4/2 C5/4 | F5/2. | E5/2 D5/4 | C5/2. | Bb4/2 G4/4 | E5/2. | "
                           "D5/4 C5/4 A4/4 | C5/2. | A4/2 C5/4 | F5/2 Eb5/4 | D5/2 F5/4 | "
                           "Bb5/2. | A5/4 G5/4 F5/4 | E5/2 G5/4 |";
const char* const kTuneAOn = "F5/2. | F5/2 r/4 |";
const char* const kTuneAEnd = "F5/2. | A4+C5+F5/2. |";
const char* const kTuneB = "A5/4 F5/4 D5/4 | F5/2 A5/4 | E5/4 G5/4 E5/4 | C#5/2. | "
                           "D5/4 F5/4 A5/4 | D6/2 A5/4 | B4/4 D5/4 F5/4 | E5/2. | "
                           "A4/4 C5/4 F5/4 | A5/2 G5/4 | F#5/4 A5/4 C6/4 | D5/2 C5/4 | "
                           "Bb4/4 D5/4 G5/4 | E5/4 G5/4 Bb4/4 | A4/2. | C5/2 r/4 |";

void Accompany(Score& score, Voice& left, Voice& strings, const char* chords, int tick) {
    const int beat = score.Beat();
    for (const ChordSpan& span : Progression(chords, tick, score.BarTicks())) {
        left.Note(span.tick, beat, span.chord.Bass(Key("E2")), 62);
        for (int key : span.chord.Voicing(Key("A3"), 3)) {
            left.Note(span.tick + beat, beat, key, 44);
            left.Note(span.tick + 2 * beat, beat, key, 40);
        }
        for (int key : span.chord.Voicing(Key("C4"), 3))
            strings.Note(span.tick, span.duration, key, 34);
    }
}

} // namespace

MidiFile ComposeWaltz() {
    Score score(132, 3, 4);
    Voice melody = score.AddVoice("Piano", 0, kPiano, 124, 70, 40);
    Voice left = score.AddVoice("Piano accompaniment", 1, kPiano, 118, 56, 40);
    Voice strings = score.AddVoice("Strings", 2, kSlowStrings, 100, 64, 70);
    strings.Gate(1.0);
    left.Gate(0.8);

    const int bar = score.BarTicks();
    Accompany(score, left, strings, "F F", 0);
    int tick = 2 * bar;
    const char* const sections[] = {"A", "B", "A"};
    for (int i = 0; i < 3; ++i) {
        const bool a = sections[i][0] == 'A';
        Accompany(score, left, strings, a ? kChordsA : kChordsB, tick);
        if (a) {
            tick = melody.Play(tick, kTuneA, 84);
            tick = melody.Play(tick, i == 2 ? kTuneAEnd : kTuneAOn, 84);
        } else {
            tick = melody.Play(tick, kTuneB, 84);
        }
    }
    return score.Finish();
}
