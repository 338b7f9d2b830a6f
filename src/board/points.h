// What a pop and a cleared board are worth, and the smallest group that pops.
#pragma once
#include <cstdint>

constexpr int SMALLEST_GROUP = 2;
constexpr int32_t EMPTY_BOARD_BONUS = 250;

// Points for popping a group of n tiles: n x n - 1.
constexpr int32_t group_points(int32_t n) { return (n - 1) * (n + 1); }
