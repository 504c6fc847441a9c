// A lullaby in D major: music box and celesta over harp arpeggios and a
// warm pad.

#include "tools/songgen/Score.h"
#include "tools/songgen/Songs.h"

namespace {

constexpr int kCelesta = 8;
constexpr int kMusicBox = 10;
constexpr int kHarp = 46;
constexpr int kWarmPad = 89;

const char* const kChordsA = "D Bm G A | D Bm Em7,A7 D";
const char* const kChordsB = "G D/F# Em A | D Bm G,A D";

const char* const kTuneA = "F#5/2 E5/4 D5/4 | D5/2 B4/2 | D5/4 B4/4 D5/4 E5/4 | E5/2 A4/2 | "
                           "F#5/2 A5/4 F#5/4 | E5/2 D5/4 B4/4 | B4/4 D5/4 E5/4 C#5/4 | D5/1 |";
const char* const kTuneB = "B5/2 A5/4 G5/4 | A5/2 F#5/2 | G5/4 F#5/4 E5/4 B4/4 | C#5/2 E5/2 | "
                           "F#5/2 A5/4 F#5/4 | D5/2 B4/4 D5/4 | B4/4 D5/4 E5/4 C#5/4 | D5/1 |";

// Up and back through the chord from its bass, in eighths.
void Arpeggiate(Score& score, Voice& harp, const char* chords, int tick) {
    const int eighth = score.Beat() / 2;
    const int order[] = {0, 1, 2, 3, 2, 1, 2, 1};
    for (const ChordSpan& span : Progression(chords, tick, score.BarTicks())) {
        const std::vector<int> keys = span.chord.Voicing(span.chord.Bass(Key("C3")), 4);
        for (int step = 0; step * eighth < span.duration; ++step)
            harp.Note(span.tick + step * eighth, eighth * 2, keys[order[step % 8]],
                      step == 0 ? 52 : 40);
    }
}

void Pad(Score& score, Voice& pad, const char* chords, int tick) {
    for (const ChordSpan& span : Progression(chords, tick, score.BarTicks()))
        for (int key : span.chord.Voicing(Key("A3"), 3))
            pad.Note(span.tick, span.duration, key, 30);
}

} // namespace

MidiFile ComposeLullaby() {
    Score score(84, 4, 4);
    Voice musicBox = score.AddVoice("Music box", 0, kMusicBox, 110, 58, 60);
    Voice celesta = score.AddVoice("Celesta", 1, kCelesta, 112, 72, 60);
    Voice harp = score.AddVoice("Harp", 2, kHarp, 112, 50, 55);
    Voice pad = score.AddVoice("Pad", 3, kWarmPad, 88, 64, 70);
    harp.Gate(1.0);
    pad.Gate(1.0);
    musicBox.Gate(1.0);
    celesta.Gate(1.0);

    const int bar = score.BarTicks();
    Arpeggiate(score, harp, "D", 0);
    Pad(score, pad, "D", 0);
    int tick = bar;
    const char* const form = "ABA";
    for (int i = 0; form[i] != '\0'; ++i) {
        const bool a = form[i] == 'A';
        const char* chords = a ? kChordsA : kChordsB;
        Arpeggiate(score, harp, chords, tick);
        Pad(score, pad, chords, tick);
        const char* tune = a ? kTuneA : kTuneB;
        if (i != 1)
            musicBox.Play(tick, tune, 70);
        if (i != 0)
            celesta.Play(tick, tune, i == 2 ? 52 : 68);
        tick += 8 * bar;
    }
    harp.Play(tick, "D3+A3+D4+F#4/1 |", 48);
    pad.Play(tick, "A3+D4+F#4/1 |", 30);
    musicBox.Play(tick, "D5/1 |", 56);
    return score.Finish();
}
