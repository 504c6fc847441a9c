#pragma once
// The five move sounds of each graphics pack, named by the pack's sound
// prefix: prefix + "1" .. "5" + ".wav". The board picks one of the five at
// random for every move, so each set holds five takes of one kind of sound.

#include <string>
#include <vector>

#include "tools/soundgen/Synth.h"

constexpr int kSoundsPerPack = 5;

struct PackSounds {
    std::string prefix;
    Buffer (*Make)(int take); // take 1..5
};

// Classic (wooden knocks), Desktop (soft clicks), Space Station (bleeps
// and whooshes), Toyland (plastic pops and squeaks).
const std::vector<PackSounds>& AllPackSounds();
