// A calypso in C major, AABA: steel drum tune, marimba off-beats, bass and
// congas.

#include "tools/songgen/Score.h"
#include "tools/songgen/Songs.h"

namespace {

constexpr int kMarimba = 12;
constexpr int kFingerBass = 33;
constexpr int kSteelDrums = 114;
constexpr int kMuteHighConga = 62;
constexpr int kOpenHighConga = 63;
constexpr int kLowConga = 64;
constexpr int kCabasa = 69;

const char* const kChordsA = "C F G7 C | C F G7 C";
const char* const kChordsB = "F C G C | F C D7 G7";

const char* const kTuneA =
    "E5/8 G5/8 r/8 G5/8 A5/8 G5/8 E5/4 | F5/8 A5/8 r/8 A5/8 C6/8 A5/8 F5/4 | "
    "D5/8 F5/8 r/8 F5/8 G5/8 F5/8 D5/8 B4/8 | C5/4. E5/8 G5/2 | "
    "E5/8 G5/8 r/8 G5/8 A5/8 G5/8 E5/4 | A5/8 C6/8 r/8 C6/8 D6/8 C6/8 A5/4 | "
    "B5/8 A5/8 G5/8 F5/8 D5/8 E5/8 F5/8 D5/8 | C5/2 r/2 |";
const char* const kTuneB =
    "C6/4. A5/8 F5/4 A5/4 | G5/4. E5/8 C5/4 E5/4 | "
    "D5/8 G5/8 B5/8 D6/8 B5/4 G5/4 | C6/4. G5/8 E5/2 | "
    "F5/8 A5/8 C6/8 A5/8 F5/8 A5/8 C6/4 | E5/8 G5/8 C6/8 G5/8 E5/8 G5/8 C6/4 | "
    "F#5/8 A5/8 D6/8 C6/8 A5/8 F#5/8 D5/4 | G5/4 F5/4 D5/4 B4/4 |";

void Groove(Score& score, Voice& marimba, Voice& bass, const char* chords, int tick) {
    const int beat = score.Beat();
    for (const ChordSpan& span : Progression(chords, tick, score.BarTicks())) {
        for (int b = 0; b < 4; ++b)
            for (int key : span.chord.Voicing(Key("G3"), 3))
                marimba.Note(span.tick + b * beat + beat / 2, beat / 2, key, 44);
        const int root = span.chord.Bass(Key("E2"));
        const int fifth = span.chord.Tone(2, root);
        bass.Note(span.tick, beat * 3 / 2, root, 72);
        bass.Note(span.tick + beat * 3 / 2, beat / 2, fifth, 60);
        bass.Note(span.tick + 2 * beat, beat, root, 66);
        bass.Note(span.tick + 3 * beat, beat, fifth, 62);
    }
}

void Congas(Score& score, Voice& drums, int tick, int bars) {
    const int eighth = score.Beat() / 2;
    for (int bar = 0; bar < bars; ++bar) {
        const int start = tick + bar * score.BarTicks();
        drums.Pattern(start, eighth, "x...x...", kLowConga, 54);
        drums.Pattern(start, eighth, "..x...x.", kMuteHighConga, 46);
        drums.Pattern(start, eighth, "...x...x", kOpenHighConga, 50);
        drums.Pattern(start, eighth, "xoxoxoxo", kCabasa, 34);
    }
}

} // namespace

MidiFile ComposeCalypso() {
    Score score(116, 4, 4);
    Voice steel = score.AddVoice("Steel drums", 0, kSteelDrums, 104, 66, 45);
    Voice marimba = score.AddVoice("Marimba", 1, kMarimba, 104, 46, 40);
    Voice bass = score.AddVoice("Bass", 2, kFingerBass, 110, 64, 20);
    Voice drums = score.AddDrums("Congas", 90, 30);
    bass.Gate(0.8);
    marimba.Gate(0.7);

    const int bar = score.BarTicks();
    Groove(score, marimba, bass, "C G7", 0);
    int tick = 2 * bar;
    const char* const form = "AABA";
    for (int i = 0; form[i] != '\0'; ++i) {
        const bool a = form[i] == 'A';
        Groove(score, marimba, bass, a ? kChordsA : kChordsB, tick);
        tick = steel.Play(tick, a ? kTuneA : kTuneB, 76);
    }
    Congas(score, drums, 0, tick / bar);
    steel.Play(tick, "C5+E5+G5/2 r/2 |", 70);
    marimba.Play(tick, "C4+E4+G4/2 r/2 |", 48);
    bass.Play(tick, "C2/2 r/2 |", 72);
    drums.Pattern(tick, bar, "x", kLowConga, 56);
    return score.Finish();
}
