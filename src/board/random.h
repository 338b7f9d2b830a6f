// The game's one random generator. It is never seeded: every board depends
// only on how many draws came before it, so every draw happens in a fixed order.
#pragma once
#include <cstdint>

// The generator's step, and the value a draw yields from the state it
// leaves: one formula for the game's draws and for dealing from a number.
constexpr uint32_t random_step(uint32_t state) { return state * 214013u + 2531011u; }
constexpr int random_value(uint32_t state) { return static_cast<int>((state >> 16) & 0x7FFF); }

// One draw: a value in 0..32767.
int random_next();

// Number of draws since the program started (or since random_restart).
uint64_t random_draws();

// The state the next draw steps from. Reading it takes no draw.
uint32_t random_state();

// Sets the state the next draw steps from, and takes no draw: the game then
// goes on as it would have after reaching that state by drawing. The draw
// count runs on.
void random_jump(uint32_t state);

// Puts the generator back to its state at program start. Tests only.
void random_restart(uint32_t state = 1);
