#pragma once
// Building blocks of the move sounds: damped partials, pitch sweeps and
// filtered noise, mixed into a buffer of samples at kSampleRate.

#include <cstdint>
#include <vector>

#include "tools/soundgen/WavFile.h"

using Buffer = std::vector<float>;

Buffer Silence(double seconds);

// A sine that starts at `start` seconds and decays exponentially with the
// time constant `decay`.
void AddPartial(Buffer& buffer, double start, double frequency, double amplitude, double decay);

// A tone gliding exponentially from `from` to `to` Hz over `length`
// seconds, with the given harmonics (amplitudes of partials 1, 2, 3, ...),
// a vibrato, and a smooth attack and release.
struct Sweep {
    double start = 0;
    double length = 0.1;
    double from = 440;
    double to = 440;
    double amplitude = 0.5;
    double attack = 0.005;
    double release = 0.03;
    std::vector<double> harmonics{1.0};
    double vibratoRate = 0;
    double vibratoDepth = 0; // fraction of the frequency
};
void AddSweep(Buffer& buffer, const Sweep& sweep);

// Noise through a band-pass filter whose centre glides from `from` to `to`
// Hz, shaped by a rise of `attack` and an exponential decay `decay` (or a
// smooth swell over the whole length when `decay` is 0).
struct NoiseBand {
    double start = 0;
    double length = 0.01;
    double from = 1000;
    double to = 1000;
    double q = 1.0;
    double amplitude = 0.5;
    double attack = 0.0005;
    double decay = 0.005;
    uint32_t seed = 1;
};
void AddNoise(Buffer& buffer, const NoiseBand& noise);

// Scales the buffer so that its loudest 30 ms reach `loudness` dBFS (RMS),
// its peaks staying below -3 dBFS, and fades its last `fadeOut` seconds to
// silence.
void Finish(Buffer& buffer, double loudness, double fadeOut);
