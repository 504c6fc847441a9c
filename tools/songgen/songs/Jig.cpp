// A gentle jig in D major in 6/8, AABB then A twice more: flute over a
// steel-string guitar, an accordion joining for the second half.

#include "tools/songgen/Score.h"
#include "tools/songgen/Songs.h"

namespace {

constexpr int kAccordion = 21;
constexpr int kSteelGuitar = 25;
constexpr int kFlute = 73;

const char* const kChordsA = "D G D A | D G A7 D";
const char* const kChordsB = "Bm G D A | Bm G A7 D";

const char* const kTuneA = "D5/8 F#5/8 A5/8 A5/4 F#5/8 | G5/8 F#5/8 E5/8 D5/4 B4/8 | "
                           "A4/8 D5/8 F#5/8 A5/8 F#5/8 D5/8 | E5/4. E5/8 F#5/8 G5/8 | "
                           "F#5/8 A5/8 D6/8 A5/4 F#5/8 | B5/8 A5/8 G5/8 E5/4 G5/8 | "
                           "E5/8 F#5/8 G5/8 E5/8 C#5/8 A4/8 | D5/4. D5/4 r/8 |";
const char* const kTuneB = "B5/8 A5/8 F#5/8 D5/4 F#5/8 | G5/8 F#5/8 G5/8 B5/4 G5/8 | "
                           "A5/8 F#5/8 D5/8 F#5/4 A5/8 | E5/8 F#5/8 E5/8 C#5/4 A4/8 | "
                           "D5/8 F#5/8 B5/8 B5/4 A5/8 | G5/8 F#5/8 E5/8 D5/4 E5/8 | "
                           "C#5/8 D5/8 E5/8 G5/8 F#5/8 E5/8 | D5/4. D5/4 r/8 |";

// Bass on the first and fourth eighth, the chord on the third and sixth.
void Strum(Score& score, Voice& guitar, const char* chords, int tick) {
    const int eighth = score.Beat();
    for (const ChordSpan& span : Progression(chords, tick, score.BarTicks())) {
        const int root = span.chord.Bass(Key("D2"));
        guitar.Note(span.tick, 2 * eighth, root, 64);
        guitar.Note(span.tick + 3 * eighth, 2 * eighth, span.chord.Tone(2, root), 56);
        for (int key : span.chord.Voicing(Key("G3"), 3)) {
            guitar.Note(span.tick + 2 * eighth, eighth, key, 44);
            guitar.Note(span.tick + 5 * eighth, eighth, key, 40);
        }
    }
}

// Held chord tones, two to a bar.
void Swell(Score& score, Voice& accordion, const char* chords, int tick) {
    const int half = score.BarTicks() / 2;
    for (const ChordSpan& span : Progression(chords, tick, score.BarTicks()))
        for (int offset = 0; offset < span.duration; offset += half)
            for (int key : span.chord.Voicing(Key("F#3"), 3))
                accordion.Note(span.tick + offset, half, key, 36);
}

} // namespace

MidiFile ComposeJig() {
    Score score(138, 6, 8);
    Voice flute = score.AddVoice("Flute", 0, kFlute, 90, 66, 50);
    Voice guitar = score.AddVoice("Guitar", 1, kSteelGuitar, 90, 50, 40);
    Voice accordion = score.AddVoice("Accordion", 2, kAccordion, 66, 84, 55);
    flute.Gate(0.88);
    guitar.Gate(0.9);
    accordion.Gate(0.98);

    const int bar = score.BarTicks();
    Strum(score, guitar, "D", 0);
    int tick = bar;
    const char* const form = "AABBAA";
    for (int i = 0; form[i] != '\0'; ++i) {
        const bool a = form[i] == 'A';
        const char* chords = a ? kChordsA : kChordsB;
        Strum(score, guitar, chords, tick);
        if (i >= 2)
            Swell(score, accordion, chords, tick);
        tick = flute.Play(tick, a ? kTuneA : kTuneB, 78);
    }
    flute.Play(tick, "D5/2. |", 70);
    guitar.Play(tick, "D2+A2+D3+F#3+A3/2. |", 60);
    accordion.Play(tick, "F#3+A3+D4/2. |", 36);
    return score.Finish();
}
