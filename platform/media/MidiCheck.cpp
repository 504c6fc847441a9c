#include "platform/media/MidiCheck.h"

#include <cstdint>

namespace {

uint32_t BigEndian(std::string_view bytes, size_t at, int count) {
    uint32_t value = 0;
    for (int i = 0; i < count; ++i)
        value = value << 8 | static_cast<uint8_t>(bytes[at + i]);
    return value;
}

} // namespace

const char* MidiFileFault(std::string_view bytes) {
    if (bytes.size() < 14 || !bytes.starts_with("MThd") || BigEndian(bytes, 4, 4) < 6)
        return "not a MIDI file";
    const uint32_t tracks = BigEndian(bytes, 10, 2);
    uint32_t found = 0;
    size_t at = 8 + BigEndian(bytes, 4, 4);
    while (at < bytes.size()) {
        if (bytes.size() - at < 8 || bytes.size() - at - 8 < BigEndian(bytes, at + 4, 4))
            return "the MIDI file is cut short";
        if (bytes.substr(at, 4) == "MTrk")
            ++found;
        at += 8 + BigEndian(bytes, at + 4, 4);
    }
    if (tracks == 0 || found < tracks)
        return "the MIDI file is cut short";
    return nullptr;
}
