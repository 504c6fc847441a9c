// A baroque-style bourree in G major in two repeated halves: harpsichord
// and cello continuo, the repeats sung by a recorder.

#include "tools/songgen/Score.h"
#include "tools/songgen/Songs.h"

namespace {

constexpr int kHarpsichord = 6;
constexpr int kCello = 42;
constexpr int kRecorder = 74;

const char* const kTuneA =
    "G4/8 B4/8 D5/8 B4/8 G5/4 D5/4 | E5/8 D5/8 C5/8 B4/8 C5/4 E5/4 | "
    "D5/8 C5/8 B4/8 A4/8 B4/8 G4/8 D5/4 | A4/8 B4/8 C5/8 A4/8 F#4/4 D4/4 | "
    "B4/8 C5/8 D5/8 E5/8 D5/8 C5/8 B4/8 A4/8 | G4/8 A4/8 B4/8 G4/8 E5/4 B4/4 | "
    "C#5/8 D5/8 E5/8 C#5/8 A4/8 B4/8 C#5/8 A4/8 | D5/4 A4/8 F#4/8 D4/2 |";
const char* const kBassA = "G2/4 G3/4 B2/4 G2/4 | C3/4 E3/4 A2/4 C3/4 | B2/4 G2/4 D3/4 B2/4 | "
                           "D3/4 F#3/4 D3/4 D2/4 | G2/4 A2/4 B2/4 D3/4 | E3/4 D3/4 C3/4 B2/4 | "
                           "A2/4 C#3/4 E3/4 A2/4 | D3/4 A2/4 D2/2 |";
const char* const kChordsA = "G C G D G Em A7 D";

const char* const kTuneB =
    "A4/8 D5/8 F#5/8 D5/8 A5/4 F#5/4 | G5/8 F#5/8 E5/8 D5/8 B4/4 G5/4 | "
    "E5/8 F#5/8 G5/8 E5/8 B4/8 C5/8 D5/8 B4/8 | C#5/8 E5/8 A5/8 G5/8 F#5/8 E5/8 D5/8 C#5/8 | "
    "D5/8 F#5/8 A5/8 F#5/8 D6/4 A5/4 | C6/8 B5/8 A5/8 G5/8 F#5/8 E5/8 D5/8 C5/8 | "
    "B4/8 D5/8 G5/8 B4/8 A4/8 C5/8 F#4/8 A4/8 | G4/4 D5/8 B4/8 G4/2 |";
const char* const kBassB = "D3/4 F#3/4 A3/4 F#3/4 | G3/4 D3/4 B2/4 G2/4 | E3/4 G3/4 B2/4 E2/4 | "
                           "A2/4 C#3/4 E3/4 A2/4 | D3/4 F#3/4 A3/4 D3/4 | C3/4 A2/4 F#2/4 D2/4 | "
                           "B2/4 G2/4 D3/4 D2/4 | G2/4 D3/4 G2/2 |";
const char* const kChordsB = "D G Em A7 D D7 G,D7 G";

// The harpsichord's middle voice under the recorder: chord tones on the half bars.
void FillIn(Score& score, Voice& voice, const char* chords, int tick) {
    for (const ChordSpan& span : Progression(chords, tick, score.BarTicks()))
        for (int half = 0; half < span.duration; half += 2 * score.Beat())
            for (int key : span.chord.Voicing(Key("B3"), 2))
                voice.Note(span.tick + half, 2 * score.Beat(), key, 46);
}

} // namespace

MidiFile ComposeBaroque() {
    Score score(108, 4, 4);
    Voice upper = score.AddVoice("Harpsichord", 0, kHarpsichord, 108, 52, 45);
    Voice middle = score.AddVoice("Harpsichord middle voice", 0, kHarpsichord, 108, 52, 45);
    Voice lower = score.AddVoice("Harpsichord bass", 1, kHarpsichord, 100, 60, 45);
    Voice cello = score.AddVoice("Cello", 2, kCello, 80, 76, 55);
    Voice recorder = score.AddVoice("Recorder", 3, kRecorder, 104, 64, 60);
    upper.Gate(0.85);
    lower.Gate(0.8);
    cello.Gate(0.7);
    recorder.Gate(0.9);

    int tick = 0;
    struct Half {
        const char* tune;
        const char* bass;
        const char* chords;
    };
    for (const Half& half : {Half{kTuneA, kBassA, kChordsA}, Half{kTuneB, kBassB, kChordsB}}) {
        for (int pass = 0; pass < 2; ++pass) {
            Voice& singer = pass == 0 ? upper : recorder;
            singer.Play(tick, half.tune, pass == 0 ? 80 : 76);
            if (pass == 1)
                FillIn(score, middle, half.chords, tick);
            lower.Play(tick, half.bass, 70);
            tick = cello.Play(tick, half.bass, 50);
        }
    }
    upper.Play(tick, "G3+B3+D4+G4/1 |", 72);
    lower.Play(tick, "G2/1 |", 70);
    cello.Play(tick, "G2/1 |", 50);
    return score.Finish();
}
