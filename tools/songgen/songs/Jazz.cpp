// A medium swing in B flat, AABA: vibraphone tune, electric piano comping,
// walking bass, ride cymbal and hi-hat.

#include <cstdlib>

#include "tools/songgen/Score.h"
#include "tools/songgen/Songs.h"

namespace {

constexpr int kElectricPiano = 4;
constexpr int kVibraphone = 11;
constexpr int kAcousticBass = 32;
constexpr int kRide = 51;
constexpr int kPedalHiHat = 44;

const char* const kIntro = "Bbmaj7,G7 Cm7,F7";
const char* const kChordsA1 =
    "Bbmaj7,G7 Cm7,F7 Bbmaj7,G7 Cm7,F7 | Fm7,Bb7 Ebmaj7,Ab7 Dm7,G7 Cm7,F7";
const char* const kChordsA2 = "Bbmaj7,G7 Cm7,F7 Bbmaj7,G7 Cm7,F7 | Fm7,Bb7 Ebmaj7,Ab7 Cm7,F7 Bb6";
const char* const kChordsBridge = "D7 D7 G7 G7 | C7 C7 F7 F7";
const char* const kEnding = "Bb6";

const char* const kTuneStart = "D5/8 F5/8 A5/8 G5/8 r/8 F5/8 D5/4 | "
                               "Eb5/8 G5/8 Bb5/8 A5/8 r/8 G5/8 Eb5/4 | "
                               "D5/8 F5/8 A5/8 C6/8 B5/4 G5/4 | C6/4. Bb5/8 A5/4 F5/4 | "
                               "Ab5/8 G5/8 F5/8 Eb5/8 D5/4 F5/4 | G5/4 Bb5/4 Gb5/8 F5/8 Eb5/4 |";
const char* const kTuneA1End = "F5/8 E5/8 D5/8 C5/8 B4/8 D5/8 F5/4 | Eb5/2 r/4 r/8 C5/8 |";
const char* const kTuneA2End = "Eb5/8 D5/8 C5/8 Bb4/8 A4/4 C5/4 | Bb4/2 r/2 |";
const char* const kTuneBridge = "F#5/4. E5/8 D5/4 C5/4 | A4/4 C5/4 F#5/4 A5/4 | "
                                "G5/4. F5/8 D5/4 B4/4 | D5/4 F5/4 B5/2 | "
                                "Bb5/4. G5/8 E5/4 C5/4 | E5/4 G5/4 Bb5/4 G5/4 | "
                                "A5/4. F5/8 Eb5/4 C5/4 | Eb5/4 C5/4 A4/4 r/4 |";

// The bass of each chord span: its root on the first beat, chord tones
// after it, and on the last beat of a whole-bar chord a half step towards
// the next root; the last chord is held.
void WalkBass(Score& score, Voice& bass, const std::vector<ChordSpan>& spans) {
    const int beat = score.Beat();
    const int low = Key("E1");
    const int high = Key("C3");
    int previous = Key("Bb1");
    for (size_t i = 0; i < spans.size(); ++i) {
        const ChordSpan& span = spans[i];
        const int beats = span.duration / beat;
        int root = span.chord.Bass(low);
        if (std::abs(root + 12 - previous) < std::abs(root - previous) && root + 12 <= high)
            root += 12;
        if (i + 1 == spans.size()) {
            bass.Note(span.tick, span.duration, root, 70);
            break;
        }
        for (int b = 0; b < beats; ++b) {
            // A half-bar chord walks root and fifth.
            int key = b == 0 ? root : span.chord.Tone(beats == 2 ? 2 : b, root);
            if (b == beats - 1 && beats > 2) {
                int next = spans[i + 1].chord.Bass(low);
                if (std::abs(next + 12 - key) < std::abs(next - key) && next + 12 <= high)
                    next += 12;
                key = next > key ? next - 1 : next + 1;
            }
            while (key > high)
                key -= 12;
            bass.Note(span.tick + b * beat, beat, key, b == 0 ? 74 : 66);
            previous = key;
        }
    }
}

void Comp(Score& score, Voice& piano, const std::vector<ChordSpan>& spans) {
    const int beat = score.Beat();
    for (const ChordSpan& span : spans) {
        // Rootless: third, fifth and seventh (or sixth), the bass has the root.
        const int third = span.chord.Tone(1, Key("A3"));
        const int fifth = span.chord.Tone(2, third);
        const std::vector<int> keys{third, fifth, span.chord.Tone(3, fifth)};
        for (int key : keys)
            piano.Note(span.tick, beat * 3 / 2, key, 46);
        if (span.duration >= 4 * beat)
            for (int key : keys)
                piano.Note(span.tick + beat * 3 / 2, beat / 2, key, 40);
    }
}

void Drums(Score& score, Voice& drums, int tick, int bars) {
    const int eighth = score.Beat() / 2;
    for (int bar = 0; bar < bars; ++bar) {
        const int start = tick + bar * score.BarTicks();
        drums.Pattern(start, eighth, "x.Xox.Xo", kRide, 52);
        drums.Pattern(start, eighth, "..x...x.", kPedalHiHat, 44);
    }
}

} // namespace

MidiFile ComposeJazz() {
    Score score(126, 4, 4);
    Voice vibes = score.AddVoice("Vibraphone", 0, kVibraphone, 88, 76, 50);
    Voice piano = score.AddVoice("Electric piano", 1, kElectricPiano, 80, 48, 45);
    Voice bass = score.AddVoice("Bass", 2, kAcousticBass, 96, 64, 25);
    Voice drums = score.AddDrums("Drums", 78, 35);
    for (Voice* voice : {&vibes, &piano, &bass, &drums})
        voice->Swing(true);
    bass.Gate(0.9);

    const int bar = score.BarTicks();
    std::vector<ChordSpan> spans;
    int tick = 0;
    const char* const sections[] = {kIntro,        kChordsA1, kChordsA2,
                                    kChordsBridge, kChordsA2, kEnding};
    for (const char* section : sections) {
        const std::vector<ChordSpan> part = Progression(section, tick, bar);
        spans.insert(spans.end(), part.begin(), part.end());
        tick = part.back().tick + part.back().duration;
    }
    WalkBass(score, bass, spans);
    Comp(score, piano, spans);
    Drums(score, drums, 0, tick / bar - 1);
    drums.Pattern(tick - bar, bar, "x", kRide, 56);

    tick = 2 * bar;
    tick = vibes.Play(tick, kTuneStart, 76);
    tick = vibes.Play(tick, kTuneA1End, 76);
    tick = vibes.Play(tick, kTuneStart, 76);
    tick = vibes.Play(tick, kTuneA2End, 76);
    tick = vibes.Play(tick, kTuneBridge, 76);
    tick = vibes.Play(tick, kTuneStart, 76);
    tick = vibes.Play(tick, kTuneA2End, 76);
    vibes.Play(tick, "Bb4+D5+F5/1 |", 64);
    return score.Finish();
}
