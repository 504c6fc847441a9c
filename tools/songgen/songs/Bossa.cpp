// A bossa nova in A minor, AABA: alto saxophone over nylon-string guitar
// on the bossa clave, bass and light percussion.

#include <algorithm>

#include "tools/songgen/Score.h"
#include "tools/songgen/Songs.h"

namespace {

constexpr int kNylonGuitar = 24;
constexpr int kAcousticBass = 32;
constexpr int kAltoSax = 65;
constexpr int kBassDrum = 36;
constexpr int kSideStick = 37;
constexpr int kMaracas = 70;

const char* const kIntro = "Am7 Am7";
const char* const kChordsA = "Am7 Am7 Dm7 G7 | Cmaj7 Fmaj7 Bm7b5 E7";
const char* const kChordsB = "Dm7 G7 Cmaj7 Am7 | Dm7 E7 Am7 Am7";
const char* const kChordsLastA = "Am7 Am7 Dm7 G7 | Cmaj7 Fmaj7 Bm7b5,E7 Am7";

const char* const kTuneStart = "E5/4. D5/8 C5/4 A4/4 | C5/2. r/4 | F5/4. E5/8 D5/4 C5/4 | "
                               "B4/2. r/4 | E5/4. D5/8 E5/4 G5/4 | A5/2. G5/4 |";
const char* const kTuneA1End = "F5/4. E5/8 D5/4 A4/4 | G#4/2. r/4 |";
const char* const kTuneA2End = "F5/4 E5/4 D5/4 B4/4 | E5/2 r/2 |";
const char* const kTuneLastEnd = "F5/4 D5/4 E5/4 G#4/4 | A4/1 |";
const char* const kTuneB = "A5/4. G5/8 F5/4 D5/4 | D5/4. F5/8 B5/2 | G5/2. E5/4 | "
                           "C5/2 E5/4 G5/4 | F5/4. E5/8 D5/4 C5/4 | B4/4 D5/4 G#5/2 | "
                           "A5/1 | r/2 r/4 E5/4 |";

// Chords on the bossa clave (eighths 0, 3, 6 of one bar and 2, 5 of the next).
void Comp(Score& score, Voice& guitar, const std::vector<ChordSpan>& spans, int firstBar) {
    const int eighth = score.Beat() / 2;
    for (const ChordSpan& span : spans) {
        const int bar = span.tick / score.BarTicks();
        const int barStart = bar * score.BarTicks();
        const bool first = (bar - firstBar) % 2 == 0;
        for (int step : first ? std::vector<int>{0, 3, 6} : std::vector<int>{2, 5}) {
            const int tick = barStart + step * eighth;
            if (tick < span.tick || tick >= span.tick + span.duration)
                continue;
            const int length = std::min(eighth * 3 / 2, span.tick + span.duration - tick);
            for (int key : span.chord.Voicing(Key("G3"), 4))
                guitar.Note(tick, length, key, 46);
        }
    }
}

void Bass(Score& score, Voice& bass, const std::vector<ChordSpan>& spans) {
    const int beat = score.Beat();
    for (const ChordSpan& span : spans) {
        const int root = span.chord.Bass(Key("E2"));
        const int fifth = span.chord.Tone(2, root - 12 < Key("E1") ? root : root - 12);
        if (span.duration >= 4 * beat) {
            bass.Note(span.tick, beat * 3 / 2, root, 72);
            bass.Note(span.tick + 2 * beat, beat * 3 / 2, fifth, 64);
        } else {
            bass.Note(span.tick, span.duration * 3 / 4, root, 70);
        }
    }
}

void Percussion(Score& score, Voice& drums, int tick, int bars) {
    const int eighth = score.Beat() / 2;
    for (int bar = 0; bar < bars; ++bar) {
        const int start = tick + bar * score.BarTicks();
        drums.Pattern(start, eighth, bar % 2 == 0 ? "x..x..x." : "..x..x..", kSideStick, 48);
        drums.Pattern(start, eighth, "oxoxoxox", kMaracas, 40);
        drums.Pattern(start, eighth, "x...x...", kBassDrum, 44);
    }
}

} // namespace

MidiFile ComposeBossa() {
    Score score(132, 4, 4);
    Voice sax = score.AddVoice("Alto saxophone", 0, kAltoSax, 84, 70, 50);
    Voice guitar = score.AddVoice("Guitar", 1, kNylonGuitar, 100, 52, 40);
    Voice bass = score.AddVoice("Bass", 2, kAcousticBass, 100, 64, 25);
    Voice drums = score.AddDrums("Percussion", 76, 30);
    sax.Gate(0.95);
    bass.Gate(0.85);

    const int bar = score.BarTicks();
    std::vector<ChordSpan> spans;
    int tick = 0;
    for (const char* section : {kIntro, kChordsA, kChordsA, kChordsB, kChordsLastA}) {
        const std::vector<ChordSpan> part = Progression(section, tick, bar);
        spans.insert(spans.end(), part.begin(), part.end());
        tick = part.back().tick + part.back().duration;
    }
    Comp(score, guitar, spans, 0);
    Bass(score, bass, spans);
    Percussion(score, drums, 0, tick / bar);

    tick = 2 * bar;
    tick = sax.Play(tick, kTuneStart, 74);
    tick = sax.Play(tick, kTuneA1End, 74);
    tick = sax.Play(tick, kTuneStart, 74);
    tick = sax.Play(tick, kTuneA2End, 74);
    tick = sax.Play(tick, kTuneB, 74);
    tick = sax.Play(tick, kTuneStart, 74);
    tick = sax.Play(tick, kTuneLastEnd, 74);
    guitar.Play(tick, "A2+G3+B3+C4+E4/1 |", 44);
    bass.Play(tick, "A1/1 |", 66);
    drums.Pattern(tick, bar, "x", kSideStick, 40);
    return score.Finish();
}
