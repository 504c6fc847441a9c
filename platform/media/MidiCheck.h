#pragma once
// The check a song file passes before the synthesizer gets it. The
// synthesizer takes any file and plays nothing of a broken one, so a
// damaged song would "end" at once: the header chunk and every track chunk
// must be there whole.

#include <string_view>

// Why the bytes are no whole MIDI file, or nullptr when they are one.
const char* MidiFileFault(std::string_view bytes);
