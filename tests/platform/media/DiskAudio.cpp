#include "tests/platform/media/DiskAudio.h"

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>

DiskAudio::DiskAudio() {
    const char* tmp = std::getenv("TMPDIR");
    std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/korvel-audio-XXXXXX";
    if (!mkdtemp(pattern.data()))
        throw std::runtime_error("cannot create a temporary folder");
    folder_ = pattern;
    file_ = folder_ + "/device.raw";
    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIOFILE", file_.c_str(), 1);
}

DiskAudio::~DiskAudio() {
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
}

std::vector<short> DiskAudio::Samples() const {
    std::ifstream file(file_, std::ios::binary);
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
    const auto size = std::filesystem::file_size(file_, error);
    return error ? 0.0 : static_cast<double>(size) / (2 * kChannels * kRate);
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
