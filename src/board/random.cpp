// The game's linear congruential generator (state x 214013 + 2531011).
#include "board/random.h"

namespace {
uint32_t state = 1;
uint64_t draws = 0;
}

int random_next()
{
    state = random_step(state);
    ++draws;
    return random_value(state);
}

uint64_t random_draws() { return draws; }

uint32_t random_state() { return state; }

void random_jump(uint32_t new_state) { state = new_state; }

void random_restart(uint32_t new_state)
{
    state = new_state;
    draws = 0;
}
