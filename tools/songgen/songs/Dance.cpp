// An old-style dance in D dorian, AABA: oboe over a lute's broken chords,
// a soft reed-organ drone, tambourine and hand drum.

#include "tools/songgen/Score.h"
#include "tools/songgen/Songs.h"

namespace {

constexpr int kReedOrgan = 20;
constexpr int kNylonGuitar = 24;
constexpr int kOboe = 68;
constexpr int kLowFloorTom = 41;
constexpr int kTambourine = 54;

const char* const kChordsA = "Dm C Dm Am | Dm C F,C Dm";
const char* const kChordsB = "G Dm G Am | F G Am Dm";

const char* const kTuneA = "D5/4 A4/8 D5/8 F5/4 A5/4 | G5/8 F5/8 E5/8 D5/8 E5/4 C5/4 | "
                           "F5/4 A5/4 D6/4 A5/4 | C6/8 B5/8 A5/8 G5/8 A5/2 | "
                           "D6/4 C6/8 A5/8 F5/4 A5/4 | G5/4 E5/8 G5/8 C6/4 G5/4 | "
                           "A5/8 G5/8 F5/8 E5/8 D5/8 E5/8 C5/4 | D5/2. r/4 |";
const char* const kTuneB = "B5/4. A5/8 G5/4 D5/4 | F5/4 A5/4 D5/2 | B4/4 D5/4 G5/4 B5/4 | "
                           "A5/2 E5/4 C5/4 | F5/8 G5/8 A5/8 C6/8 A5/4 F5/4 | "
                           "G5/8 A5/8 B5/8 D6/8 B5/4 G5/4 | E5/8 F5/8 G5/8 E5/8 C5/4 E5/4 | "
                           "D5/2. r/4 |";

void Lute(Score& score, Voice& lute, const char* chords, int tick) {
    const int eighth = score.Beat() / 2;
    const int order[] = {0, 2, 1, 2, 3, 2, 1, 2};
    for (const ChordSpan& span : Progression(chords, tick, score.BarTicks())) {
        const std::vector<int> keys = span.chord.Voicing(span.chord.Bass(Key("C3")), 4);
        for (int step = 0; step * eighth < span.duration; ++step)
            lute.Note(span.tick + step * eighth, eighth, keys[order[step % 8]],
                      step == 0 ? 54 : 42);
    }
}

void Drums(Score& score, Voice& drums, int tick, int bars, bool tambourine) {
    const int eighth = score.Beat() / 2;
    for (int bar = 0; bar < bars; ++bar) {
        const int start = tick + bar * score.BarTicks();
        drums.Pattern(start, eighth, "x....x..", kLowFloorTom, 50);
        if (tambourine)
            drums.Pattern(start, eighth, "..x...x.", kTambourine, 38);
    }
}

} // namespace

MidiFile ComposeDance() {
    Score score(104, 4, 4);
    Voice oboe = score.AddVoice("Oboe", 0, kOboe, 84, 66, 55);
    Voice lute = score.AddVoice("Lute", 1, kNylonGuitar, 100, 50, 45);
    Voice drone = score.AddVoice("Drone", 2, kReedOrgan, 56, 78, 60);
    Voice drums = score.AddDrums("Drums", 76, 35);
    oboe.Gate(0.9);
    drone.Gate(1.0);

    const int bar = score.BarTicks();
    Lute(score, lute, "Dm", 0);
    Drums(score, drums, 0, 1, false);
    int tick = bar;
    const char* const form = "AABA";
    for (int i = 0; form[i] != '\0'; ++i) {
        const bool a = form[i] == 'A';
        Lute(score, lute, a ? kChordsA : kChordsB, tick);
        Drums(score, drums, tick, 8, i > 0);
        tick = oboe.Play(tick, a ? kTuneA : kTuneB, 74);
    }
    for (int start = 0; start < tick; start += bar)
        drone.Play(start, "D3+A3/1", 30);
    lute.Play(tick, "D3+A3+D4+F4/1 |", 50);
    drone.Play(tick, "D3+A3/1 |", 30);
    oboe.Play(tick, "D5/1 |", 60);
    drums.Pattern(tick, bar, "x", kLowFloorTom, 50);
    return score.Finish();
}
