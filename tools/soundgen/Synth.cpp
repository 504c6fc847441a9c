#include "tools/soundgen/Synth.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double kPi = 3.14159265358979323846;

size_t SampleAt(double seconds) {
    return static_cast<size_t>(std::max(0.0, seconds) * kSampleRate);
}

// A band-pass biquad (constant peak gain), retuned sample by sample.
class BandPass {
public:
    void Tune(double frequency, double q) {
        const double w = 2 * kPi * frequency / kSampleRate;
        const double alpha = std::sin(w) / (2 * q);
        const double a0 = 1 + alpha;
        b0_ = alpha / a0;
        b2_ = -alpha / a0;
        a1_ = -2 * std::cos(w) / a0;
        a2_ = (1 - alpha) / a0;
    }
    double Step(double x) {
        const double y = b0_ * x + b2_ * x2_ - a1_ * y1_ - a2_ * y2_;
        x2_ = x1_;
        x1_ = x;
        y2_ = y1_;
        y1_ = y;
        return y;
    }

private:
    double b0_ = 0, b2_ = 0, a1_ = 0, a2_ = 0;
    double x1_ = 0, x2_ = 0, y1_ = 0, y2_ = 0;
};

double Glide(double from, double to, double fraction) {
    return from * std::pow(to / from, std::clamp(fraction, 0.0, 1.0));
}

} // namespace

Buffer Silence(double seconds) {
    return Buffer(SampleAt(seconds), 0.0f);
}

void AddPartial(Buffer& buffer, double start, double frequency, double amplitude, double decay) {
    for (size_t i = SampleAt(start); i < buffer.size(); ++i) {
        const double t = static_cast<double>(i) / kSampleRate - start;
        buffer[i] += static_cast<float>(amplitude * std::exp(-t / decay) *
                                        std::sin(2 * kPi * frequency * t));
    }
}

void AddSweep(Buffer& buffer, const Sweep& sweep) {
    double phase = 0;
    const size_t first = SampleAt(sweep.start);
    const size_t last = std::min(buffer.size(), SampleAt(sweep.start + sweep.length));
    for (size_t i = first; i < last; ++i) {
        const double t = static_cast<double>(i - first) / kSampleRate;
        const double vibrato = 1 + sweep.vibratoDepth * std::sin(2 * kPi * sweep.vibratoRate * t);
        phase += 2 * kPi * Glide(sweep.from, sweep.to, t / sweep.length) * vibrato / kSampleRate;
        double value = 0;
        for (size_t h = 0; h < sweep.harmonics.size(); ++h)
            value += sweep.harmonics[h] * std::sin(phase * static_cast<double>(h + 1));
        const double rise = std::min(1.0, t / sweep.attack);
        const double fall = std::min(1.0, (sweep.length - t) / sweep.release);
        buffer[i] += static_cast<float>(sweep.amplitude * value * rise * rise * fall * fall);
    }
}

void AddNoise(Buffer& buffer, const NoiseBand& noise) {
    // Two band-pass stages in a row for steeper skirts: less hiss.
    BandPass first;
    BandPass second;
    uint32_t state = noise.seed * 2654435761u + 1;
    const size_t begin = SampleAt(noise.start);
    const size_t end = std::min(buffer.size(), SampleAt(noise.start + noise.length));
    for (size_t i = begin; i < end; ++i) {
        const double t = static_cast<double>(i - begin) / kSampleRate;
        const double fraction = t / noise.length;
        const double centre = Glide(noise.from, noise.to, fraction);
        first.Tune(centre, noise.q);
        second.Tune(centre, noise.q);
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        const double white = static_cast<double>(state) / 2147483648.0 - 1.0;
        double envelope = std::sin(kPi * fraction);
        if (noise.decay > 0)
            envelope = std::min(1.0, t / noise.attack) * std::exp(-t / noise.decay);
        buffer[i] +=
            static_cast<float>(noise.amplitude * envelope * second.Step(first.Step(white)));
    }
}

void Finish(Buffer& buffer, double loudness, double fadeOut) {
    constexpr double kPeakLimit = 0.7;
    float largest = 0;
    for (float sample : buffer)
        largest = std::max(largest, std::fabs(sample));
    if (largest == 0)
        return;
    const size_t window = std::min(buffer.size(), SampleAt(0.03));
    double sum = 0;
    double loudest = 0;
    for (size_t i = 0; i < buffer.size(); ++i) {
        sum += static_cast<double>(buffer[i]) * buffer[i];
        if (i >= window)
            sum -= static_cast<double>(buffer[i - window]) * buffer[i - window];
        loudest = std::max(loudest, sum);
    }
    const double rms = std::sqrt(loudest / static_cast<double>(window));
    const double gain = std::min(kPeakLimit / largest, std::pow(10.0, loudness / 20) / rms);
    const size_t fade = std::min(buffer.size(), SampleAt(fadeOut));
    for (size_t i = 0; i < buffer.size(); ++i) {
        const size_t left = buffer.size() - i;
        const double tail = left < fade ? static_cast<double>(left) / fade : 1.0;
        buffer[i] = static_cast<float>(buffer[i] * gain * tail);
    }
}
