// The ten-row high-score tables, one per game mode, and their files.
#pragma once
#include <array>
#include <cstdint>

#include "persist/settings.h"

// One row, laid out the same in memory and in the file (16 bytes).
struct HighScoreEntry {
    char name[11];     // up to 10 characters and a zero byte
    uint8_t padding;   // carries nothing; the name entry uses it as its 12th byte
    uint32_t score;    // little-endian in the file
};
static_assert(sizeof(HighScoreEntry) == 16, "a table row is 16 bytes on disk");

constexpr int HIGHSCORE_ROWS = 10;
using HighScoreTable = std::array<HighScoreEntry, HIGHSCORE_ROWS>;
static_assert(sizeof(HighScoreTable) == 160, "a table is 160 bytes on disk");

extern std::array<HighScoreTable*, MODE_COUNT> highscore_tables;

HighScoreTable* highscore_table_new();
bool highscore_qualifies(const HighScoreTable& table, const HighScoreEntry& entry);
void highscore_replace_lowest(HighScoreTable& table, const HighScoreEntry& entry);
void highscore_sort(HighScoreTable& table);
void highscore_fill(HighScoreTable& table, const char* name, int32_t top, int32_t bottom);
void highscore_defaults(HighScoreTable& table);
bool highscore_load(HighScoreTable& table, const char* file_name);
// Two games may share a folder: the rows of `on_disk` that are not in
// `seen` (the table as this game last read or wrote the file) were written
// by another game since, and join `table`; the ten best stay, a newcomer
// below the rows it ties with.
void highscore_merge_new_rows(HighScoreTable& table, const HighScoreTable& seen, const HighScoreTable& on_disk);
void highscore_save(const HighScoreTable& table, const char* file_name);

// The table of the current game mode.
HighScoreTable& current_highscore_table();
