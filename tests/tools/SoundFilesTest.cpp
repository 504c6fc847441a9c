#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "tests/support/ProgramData.h"

namespace {

constexpr int kTakes = 5;

struct Wave {
    int channels = 0;
    int rate = 0;
    int bits = 0;
    std::vector<int> samples;
    double Seconds() const { return static_cast<double>(samples.size()) / rate / channels; }
};

uint32_t Little(const std::string& bytes, size_t at, int count) {
    uint32_t value = 0;
    for (int i = count - 1; i >= 0; --i)
        value = value << 8 | static_cast<unsigned char>(bytes.at(at + i));
    return value;
}

// A RIFF WAVE file with a PCM format chunk and a data chunk.
Wave ReadWave(const std::string& path) {
    const std::string bytes = FileContent(path);
    Wave wave;
    if (bytes.size() < 12 || bytes.compare(0, 4, "RIFF") != 0 || bytes.compare(8, 4, "WAVE") != 0)
        throw std::runtime_error(path + " is no WAVE file");
    size_t at = 12;
    while (at + 8 <= bytes.size()) {
        const std::string id = bytes.substr(at, 4);
        const uint32_t size = Little(bytes, at + 4, 4);
        if (at + 8 + size > bytes.size())
            throw std::runtime_error(path + ": chunk " + id + " runs past the file");
        if (id == "fmt ") {
            if (Little(bytes, at + 8, 2) != 1)
                throw std::runtime_error(path + " is not PCM");
            wave.channels = static_cast<int>(Little(bytes, at + 10, 2));
            wave.rate = static_cast<int>(Little(bytes, at + 12, 4));
            wave.bits = static_cast<int>(Little(bytes, at + 22, 2));
        } else if (id == "data" && wave.bits == 16) {
            for (size_t i = 0; i + 1 < size; i += 2)
                wave.samples.push_back(static_cast<int16_t>(Little(bytes, at + 8 + i, 2)));
        }
        at += 8 + size + (size & 1);
    }
    if (wave.rate == 0 || wave.samples.empty())
        throw std::runtime_error(path + " holds no 16-bit sound");
    return wave;
}

int Peak(const std::vector<int>& samples, size_t from, size_t to) {
    int peak = 0;
    for (size_t i = from; i < to && i < samples.size(); ++i)
        peak = std::max(peak, std::abs(samples[i]));
    return peak;
}

class EveryPackSounds : public testing::TestWithParam<const char*> {
protected:
    std::string File(int take) const {
        return ProgramFile(std::string(GetParam()) + std::to_string(take) + ".wav");
    }
};

TEST_P(EveryPackSounds, HasFiveShortCleanTakes) {
    for (int take = 1; take <= kTakes; ++take) {
        Wave wave;
        ASSERT_NO_THROW(wave = ReadWave(File(take))) << File(take);
        EXPECT_EQ(wave.bits, 16);
        EXPECT_GE(wave.Seconds(), 0.1) << File(take);
        EXPECT_LE(wave.Seconds(), 0.6) << File(take);
        const int peak = Peak(wave.samples, 0, wave.samples.size());
        EXPECT_GT(peak, 3277) << File(take) << " is quieter than -20 dBFS";
        EXPECT_LT(peak, 29205) << File(take) << " leaves less than 1 dB of headroom";
        // It starts from silence and dies away, so neither end clicks.
        const size_t edge = static_cast<size_t>(wave.rate / 1000) * wave.channels;
        EXPECT_LT(std::abs(wave.samples.front()), peak / 20) << File(take);
        EXPECT_LT(Peak(wave.samples, wave.samples.size() - edge, wave.samples.size()), peak / 50)
            << File(take);
    }
}

TEST_P(EveryPackSounds, TakesDifferFromEachOther) {
    std::vector<std::vector<int>> takes;
    for (int take = 1; take <= kTakes; ++take)
        ASSERT_NO_THROW(takes.push_back(ReadWave(File(take)).samples)) << File(take);
    for (int a = 0; a < kTakes; ++a)
        for (int b = a + 1; b < kTakes; ++b)
            EXPECT_NE(takes[a], takes[b]) << "takes " << a + 1 << " and " << b + 1;
}

INSTANTIATE_TEST_SUITE_P(SoundFiles, EveryPackSounds,
                         testing::Values("classic", "desktop", "space", "toy"));

} // namespace
