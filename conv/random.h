// The pseudo-random generator that names the pieces: a 32-bit linear congruential generator
// with a 15-bit result, seeded from the millisecond tick count.
#pragma once

#include <cstdint>

// Advances the state once and returns bits 16 to 30 of the new state, 0 to 32767.
int32_t NextRandom();
// Draws twice and returns k / 100000 for k = (a * b) mod 100000: 0 to 0.99999, never 1.
double RandomFraction();
// Sets the state to the current tick count.
void SeedRandom();
// Sets the state to `state`. The state is 1 until something sets it.
void SetRandomState(uint32_t state);
