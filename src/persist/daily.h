// The deal of the day, and the player's record on it: for each mode the best
// score made on the day's deal and the best line found for it, in
// "daily.sav" beside the other saves. Only the day last played is kept.
#pragma once
#include <cstdint>
#include <ctime>
#include <string>

#include "board/modes.h"

constexpr const char* DAILY_FILE = "daily.sav";

// The day's deal at `when`: the local date as YYYYMMDD.
uint32_t daily_deal_at(std::time_t when);
// The day's deal now.
uint32_t todays_deal();

struct DailyModeRecord {
    bool played;         // a game of the day's deal ended in this mode, unassisted
    uint32_t best;       // the best score of those games
    int32_t best_found;  // the best line found for the deal, -1 when none is known
};

struct DailyRecord {
    uint32_t day;  // the day's deal number these records are for; 0: none
    DailyModeRecord modes[MODE_COUNT];
};

extern DailyRecord daily_record;

// Start-up: a missing, damaged or foreign file gives no record.
void load_daily_record();
// A game of deal `day` (a day's deal) ended in `mode`: an unassisted score
// counts toward the best; the best line found, when known (>= 0), is kept.
// A record of another day is replaced. Written at once, whole or not at all.
void record_daily_game(uint32_t day, int mode, uint32_t score, bool assisted, int32_t best_found);
// The best line found for deal `day` in `mode` became known after its game.
void record_daily_best_found(uint32_t day, int mode, int32_t best_found);
// The record of `day` in `mode`, or nothing played and nothing found.
DailyModeRecord daily_record_of(uint32_t day, int mode);

// The file's bytes and their reverse (false, and nothing changed, for bytes
// that are not a sound record). For tests.
std::string encode_daily_record();
bool decode_daily_record(const std::string& bytes);
