// The game's linear congruential generator (state x 214013 + 2531011).
#include "board/random.h"

namespace {
uint32_t state = 1;
uint64_t draws = 0;
}

int random_next()
{
    state = state * 214013u + 2531011u;
    ++draws;
    return static_cast<int>((state >> 16) & 0x7FFF);
}

uint64_t random_draws() { return draws; }

void random_restart(uint32_t new_state)
{
    state = new_state;
    draws = 0;
}
