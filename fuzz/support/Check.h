#pragma once
// A round trip or promise that an input broke: the run stops here, as at
// a crash, so the input is kept.

#include <cstdio>
#include <cstdlib>
#include <string>

inline void Check(bool holds, const char* what) {
    if (holds)
        return;
    std::fprintf(stderr, "fuzz check failed: %s\n", what);
    std::abort();
}

inline std::string InputText(const unsigned char* data, size_t size) {
    return std::string(reinterpret_cast<const char*>(data), size);
}

// The text before the first `separator` and the rest after it (all of it
// and nothing when there is none).
inline std::pair<std::string, std::string> SplitAt(const std::string& text, char separator) {
    const size_t at = text.find(separator);
    if (at == std::string::npos)
        return {text, ""};
    return {text.substr(0, at), text.substr(at + 1)};
}
