#include "game/Random.h"

#include <ctime>

uint32_t RandomState = 1;

void Randomize() {
    SetRandomSeed(static_cast<uint32_t>(std::time(nullptr)));
}

void SetRandomSeed(uint32_t seed) {
    RandomState = seed;
}
