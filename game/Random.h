#pragma once
// The process-wide pseudo-random generator: a linear congruential
// generator, state := state x 22695477 + 1, whose numbers are bits 16 to
// 30 of the state (0 to 32767).

#include <cstdint>

// The generator's state; read and written only through the functions below.
extern uint32_t RandomState;

// Seeds the generator with the current time in whole seconds.
void Randomize();
void SetRandomSeed(uint32_t seed);

inline int RandomNumber() {
    RandomState = RandomState * 22695477u + 1u;
    return static_cast<int>((RandomState >> 16) & 0x7FFF);
}
