#pragma once
// Mono 16-bit PCM WAVE files from samples in -1..1.

#include <string>
#include <vector>

constexpr int kSampleRate = 44100;

// Samples beyond -1..1 are clamped. Raises std::runtime_error when the file
// cannot be written.
void SaveWav(const std::string& path, const std::vector<float>& samples,
             int sampleRate = kSampleRate);
