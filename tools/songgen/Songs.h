#pragma once
// The background songs, each a short piece for General MIDI instruments
// that can be looped at a board game without wearing on the ear.

#include <vector>

#include "tools/songgen/MidiFile.h"

MidiFile ComposeWaltz();
MidiFile ComposeBaroque();
MidiFile ComposeJazz();
MidiFile ComposeJig();
MidiFile ComposeBossa();
MidiFile ComposeLullaby();
MidiFile ComposeCalypso();
MidiFile ComposeAndante();
MidiFile ComposeDance();

// In the order of the song numbers 0 to 8.
std::vector<MidiFile> ComposeSongs();
