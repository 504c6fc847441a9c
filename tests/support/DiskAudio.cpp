#include "tests/support/DiskAudio.h"

#include <SDL2/SDL.h>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>

DiskAudio::DiskAudio()
    : folder_("audio"), device_(folder_.File("device.raw")), driver_("SDL_AUDIODRIVER", "disk"),
      output_("SDL_DISKAUDIOFILE", device_.c_str()) {}

std::vector<short> DiskAudio::Samples() const {
    std::ifstream file(device_, std::ios::binary);
    const std::vector<char> bytes((std::istreambuf_iterator<char>(file)),
                                  std::istreambuf_iterator<char>());
    std::vector<short> samples(bytes.size() / 2);
    for (size_t i = 0; i < samples.size(); ++i)
        samples[i] = static_cast<short>(static_cast<unsigned char>(bytes[2 * i]) |
                                        static_cast<unsigned char>(bytes[2 * i + 1]) << 8);
    return samples;
}

double DiskAudio::Seconds() const {
    std::error_code error;
    const auto size = std::filesystem::file_size(device_, error);
    return error ? 0.0 : static_cast<double>(size) / (2 * kChannels * kRate);
}

bool DiskAudio::WaitUntilWritten(double seconds, int timeoutMs) const {
    return PumpUntil([&] { return Seconds() >= seconds || SDL_WasInit(SDL_INIT_AUDIO) == 0; },
                     timeoutMs);
}

DiskAudio::Level DiskAudio::Measure(double from, double to) const {
    const std::vector<short> samples = Samples();
    const auto at = [&samples](double seconds) {
        const auto index = static_cast<size_t>(std::max(0.0, seconds) * kRate) * kChannels;
        return std::min(index, samples.size());
    };
    Level level{0, 0.0};
    double sum = 0;
    const size_t first = at(from);
    const size_t last = at(to);
    for (size_t i = first; i < last; ++i) {
        level.peak = std::max(level.peak, std::abs(static_cast<int>(samples[i])));
        sum += static_cast<double>(samples[i]) * samples[i];
    }
    if (last > first)
        level.rms = std::sqrt(sum / static_cast<double>(last - first));
    return level;
}
