// The five user settings and the files that carry them and the score tables
// from one run to the next.
#pragma once
#include <cstdint>

#include "board/modes.h"

enum Theme { THEME_ORIGINAL = 0, THEME_DICE = 1, THEME_SQUARES = 2, THEME_XMAS = 3, THEME_PACMANIA = 4 };
constexpr int THEME_COUNT = 5;
constexpr const char* THEME_NAMES[THEME_COUNT] = {"Original", "Dice", "Squares", "X-mas", "Pacmania"};

struct Settings {
    int32_t sample_volume;  // 0..255, applied to every sample played
    int32_t music_volume;   // 0..255, the MIDI volume
    int32_t game_mode;      // GameMode
    int32_t theme;          // Theme
    int32_t animations;     // 0 off, anything else on
};

// All zero until load_saved_data runs.
extern Settings settings;

constexpr const char* SETTINGS_FILE = "zorbl.sav";

// Start-up: the settings, the statistics, then the four score tables
// (defaults where a file is missing).
void load_saved_data();
// Shutdown: the four score tables, then the settings.
void save_saved_data();
// The settings file alone (when the options screen closes).
void save_settings();
// One mode's score table (as soon as a row enters it), with the rows
// another game in the same folder wrote since this one read the file.
void save_highscore_table(int mode);
