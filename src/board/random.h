// The game's one random generator. It is never seeded: every board depends
// only on how many draws came before it, so every draw happens in a fixed order.
#pragma once
#include <cstdint>

// One draw: a value in 0..32767.
int random_next();

// Number of draws since the program started (or since random_restart).
uint64_t random_draws();

// Puts the generator back to its state at program start. Tests only.
void random_restart(uint32_t state = 1);
