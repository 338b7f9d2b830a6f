// The player's statistics: for each mode, the games played to their end,
// kept apart for assisted games, in "stats.sav" beside the other saves.
#pragma once
#include <cstdint>
#include <string>

#include "board/modes.h"

constexpr const char* STATISTICS_FILE = "stats.sav";
constexpr int RECENT_GAMES = 10;

struct ModeStatistics {
    uint32_t games;    // played to their end
    uint32_t cleared;  // of them, with the board cleared
    uint64_t total;    // their scores added up
    uint32_t best;
    uint32_t recent[RECENT_GAMES];  // the last scores, a ring
    uint8_t recent_count;           // 0..RECENT_GAMES
    uint8_t recent_next;            // where the next score goes
};

struct Statistics {
    ModeStatistics played[MODE_COUNT][2];  // [mode][assisted]
};

extern Statistics statistics;

// Start-up: a missing, damaged or foreign file gives empty statistics.
void load_statistics();
// A game has ended: counted, and the file written at once (whole or not at all).
void record_finished_game(int mode, uint32_t score, bool cleared, bool assisted);

// The averages shown, 0 without games.
uint32_t average_score(const ModeStatistics& s);
uint32_t recent_average(const ModeStatistics& s);

// The file's bytes and their reverse (false, and nothing changed, for bytes
// that are not sound statistics). For tests and the fuzzer.
std::string encode_statistics();
bool decode_statistics(const std::string& bytes);
