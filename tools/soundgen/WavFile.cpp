#include "tools/soundgen/WavFile.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <fstream>
#include <stdexcept>

namespace {

void PutLittleEndian(std::vector<uint8_t>& out, uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i)
        out.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

void PutTag(std::vector<uint8_t>& out, const char* tag) {
    out.insert(out.end(), tag, tag + 4);
}

} // namespace

void SaveWav(const std::string& path, const std::vector<float>& samples, int sampleRate) {
    const uint32_t dataBytes = static_cast<uint32_t>(samples.size() * 2);
    std::vector<uint8_t> out;
    PutTag(out, "RIFF");
    PutLittleEndian(out, 36 + dataBytes, 4);
    PutTag(out, "WAVE");
    PutTag(out, "fmt ");
    PutLittleEndian(out, 16, 4);
    PutLittleEndian(out, 1, 2); // PCM
    PutLittleEndian(out, 1, 2); // mono
    PutLittleEndian(out, static_cast<uint32_t>(sampleRate), 4);
    PutLittleEndian(out, static_cast<uint32_t>(sampleRate * 2), 4);
    PutLittleEndian(out, 2, 2);
    PutLittleEndian(out, 16, 2);
    PutTag(out, "data");
    PutLittleEndian(out, dataBytes, 4);
    for (float sample : samples) {
        const long value = std::lround(std::clamp(sample, -1.0f, 1.0f) * 32767.0f);
        PutLittleEndian(out, static_cast<uint32_t>(static_cast<int16_t>(value)), 2);
    }
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(out.data()), static_cast<std::streamsize>(out.size()));
    if (!file)
        throw std::runtime_error("cannot write " + path);
}
