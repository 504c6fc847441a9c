#include "tools/soundgen/PackSounds.h"

namespace {

// A wooden piece set down on a wooden board: a short knock of the piece's
// modes over the board's low resonance.
void Knock(Buffer& buffer, double start, double pitch, double level, uint32_t seed) {
    AddNoise(buffer, {.start = start,
                      .length = 0.02,
                      .from = 2400,
                      .to = 2400,
                      .q = 0.8,
                      .amplitude = 0.5 * level,
                      .attack = 0.0003,
                      .decay = 0.002,
                      .seed = seed});
    AddPartial(buffer, start, pitch, 0.8 * level, 0.035);
    AddPartial(buffer, start, pitch * 2.57, 0.35 * level, 0.018);
    AddPartial(buffer, start, pitch * 4.2, 0.15 * level, 0.009);
    AddPartial(buffer, start, 170, 0.45 * level, 0.06);
}

Buffer Classic(int take) {
    const struct {
        double pitch;
        double bounce;
    } takes[] = {{620, 0}, {560, 0.3}, {700, 0}, {520, 0}, {660, 0.25}};
    const auto& t = takes[take - 1];
    Buffer buffer = Silence(0.28);
    Knock(buffer, 0, t.pitch, 1.0, take);
    if (t.bounce > 0)
        Knock(buffer, 0.055, t.pitch * 1.04, t.bounce, take + 10);
    Finish(buffer, -14, 0.04);
    return buffer;
}

// A soft key click: a muted tick and a short, rounded tone.
void Click(Buffer& buffer, double start, double pitch, double level, uint32_t seed) {
    AddNoise(buffer, {.start = start,
                      .length = 0.01,
                      .from = 3000,
                      .to = 3000,
                      .q = 1.2,
                      .amplitude = 0.35 * level,
                      .attack = 0.0004,
                      .decay = 0.0012,
                      .seed = seed});
    AddPartial(buffer, start, pitch, 0.6 * level, 0.012);
    AddPartial(buffer, start, 320, 0.3 * level, 0.02);
}

Buffer Desktop(int take) {
    const struct {
        double pitch;
        bool release;
    } takes[] = {{1200, false}, {1350, true}, {1100, false}, {1500, true}, {1280, false}};
    const auto& t = takes[take - 1];
    Buffer buffer = Silence(0.14);
    Click(buffer, 0, t.pitch, 1.0, take);
    if (t.release)
        Click(buffer, 0.05, t.pitch * 1.15, 0.45, take + 10);
    Finish(buffer, -17, 0.03);
    return buffer;
}

Buffer Space(int take) {
    Buffer buffer;
    switch (take) {
    case 1: // rising bleep
        buffer = Silence(0.18);
        AddSweep(buffer, {.length = 0.16,
                          .from = 600,
                          .to = 1200,
                          .amplitude = 0.5,
                          .attack = 0.004,
                          .release = 0.05,
                          .harmonics = {1, 0, 0.2}});
        break;
    case 2: // whoosh past
        buffer = Silence(0.38);
        AddNoise(buffer, {.length = 0.36,
                          .from = 400,
                          .to = 3200,
                          .q = 2.5,
                          .amplitude = 1.0,
                          .decay = 0,
                          .seed = 2});
        AddSweep(buffer, {.length = 0.36,
                          .from = 300,
                          .to = 600,
                          .amplitude = 0.08,
                          .attack = 0.1,
                          .release = 0.15});
        break;
    case 3: // two-tone chirp
        buffer = Silence(0.18);
        AddSweep(buffer, {.length = 0.07,
                          .from = 880,
                          .to = 880,
                          .amplitude = 0.45,
                          .attack = 0.004,
                          .release = 0.02,
                          .harmonics = {1, 0, 0.15}});
        AddSweep(buffer, {.start = 0.07,
                          .length = 0.1,
                          .from = 1320,
                          .to = 1320,
                          .amplitude = 0.45,
                          .attack = 0.004,
                          .release = 0.05,
                          .harmonics = {1, 0, 0.15}});
        break;
    case 4: // falling zap
        buffer = Silence(0.22);
        AddSweep(buffer, {.length = 0.2,
                          .from = 1500,
                          .to = 420,
                          .amplitude = 0.5,
                          .attack = 0.003,
                          .release = 0.08,
                          .harmonics = {1, 0.3}});
        break;
    default: // docking: a falling whoosh over a low hum
        buffer = Silence(0.42);
        AddNoise(buffer, {.length = 0.4,
                          .from = 2800,
                          .to = 500,
                          .q = 2.0,
                          .amplitude = 0.8,
                          .decay = 0,
                          .seed = 5});
        AddSweep(buffer, {.start = 0.05,
                          .length = 0.35,
                          .from = 220,
                          .to = 200,
                          .amplitude = 0.3,
                          .attack = 0.03,
                          .release = 0.15,
                          .harmonics = {1, 0.5, 0.25}});
        break;
    }
    Finish(buffer, -15, 0.03);
    return buffer;
}

void Pop(Buffer& buffer, double from, double to, uint32_t seed) {
    AddSweep(buffer, {.length = 0.09,
                      .from = from,
                      .to = to,
                      .amplitude = 0.8,
                      .attack = 0.001,
                      .release = 0.05,
                      .harmonics = {1, 0.2}});
    AddNoise(buffer, {.length = 0.01,
                      .from = 3000,
                      .to = 3000,
                      .amplitude = 0.3,
                      .attack = 0.0003,
                      .decay = 0.0015,
                      .seed = seed});
}

void Squeak(Buffer& buffer, double from, double to, double length, double vibrato) {
    AddSweep(buffer, {.length = length,
                      .from = from,
                      .to = to,
                      .amplitude = 0.5,
                      .attack = 0.02,
                      .release = 0.06,
                      .harmonics = {1, 0.5, 0.3, 0.15},
                      .vibratoRate = vibrato,
                      .vibratoDepth = 0.03});
}

void Clack(Buffer& buffer, double start, double level, uint32_t seed) {
    AddNoise(buffer, {.start = start,
                      .length = 0.01,
                      .from = 5000,
                      .to = 5000,
                      .q = 1.0,
                      .amplitude = 0.4 * level,
                      .attack = 0.0002,
                      .decay = 0.001,
                      .seed = seed});
    AddPartial(buffer, start, 1900, 0.7 * level, 0.012);
    AddPartial(buffer, start, 3100, 0.3 * level, 0.006);
}

Buffer Toy(int take) {
    Buffer buffer = Silence(take == 2 ? 0.26 : take == 5 ? 0.22 : 0.14);
    switch (take) {
    case 1:
        Pop(buffer, 900, 260, 1);
        break;
    case 2:
        Squeak(buffer, 1300, 1900, 0.24, 22);
        break;
    case 3:
        Pop(buffer, 1400, 380, 3);
        break;
    case 4:
        Clack(buffer, 0, 1.0, 4);
        Clack(buffer, 0.07, 0.6, 14);
        break;
    default:
        Squeak(buffer, 1900, 1250, 0.2, 18);
        break;
    }
    Finish(buffer, -15, 0.03);
    return buffer;
}

} // namespace

const std::vector<PackSounds>& AllPackSounds() {
    static const std::vector<PackSounds> packs = {
        {"classic", Classic}, {"desktop", Desktop}, {"space", Space}, {"toy", Toy}};
    return packs;
}
