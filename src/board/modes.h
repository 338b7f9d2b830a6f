// The four game modes: how the board settles after a pop. Their names and
// the short tags of the side panel are defined here and nowhere else.
#pragma once

enum GameMode { MODE_TRADITIONAL = 0, MODE_CONTINOUS = 1, MODE_SHIFTER = 2, MODE_MEGASHIFTER = 3 };
constexpr int MODE_COUNT = 4;

// "Continous" is the game's own spelling, kept wherever the name is shown.
constexpr const char* MODE_NAMES[MODE_COUNT] = {"Traditional", "Continous", "Shifter", "Megashifter"};
constexpr const char* MODE_TAGS[MODE_COUNT] = {"TRAD", "CONT", "SHFT", "MEGA"};

// A new column enters from the left for each one emptied.
constexpr bool refills_from_left(int mode) { return mode == MODE_CONTINOUS || mode == MODE_MEGASHIFTER; }
// Every row closes up toward the right after the columns have.
constexpr bool slides_rows(int mode) { return mode == MODE_SHIFTER || mode == MODE_MEGASHIFTER; }
