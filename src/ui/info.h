// The screens that tell the player what is there: help (F1 or ?) and the
// statistics (S), text in the game's font on a box over the scene, which
// keeps moving behind them.
#pragma once
#include <cstdint>

// What the statistics screen says of the board just played, filled in by
// the play loop: the player's score and the best line the solver found for
// the deal (-1 while it is still searching, or found none).
struct BoardVerdict {
    bool after_game;   // a game has just ended on this board
    bool knowable;     // the mode brings in no columns, so a best line means something
    int32_t you;
    int32_t best;      // the best line's score, -1 when there is none
};
extern BoardVerdict board_verdict;

// The help's pages: each a list of lines ended by null, a tab between a
// key's name and what it does. The width of the text's widest line,
// footer included, and the width the box leaves for text, both in pixels.
constexpr int HELP_PAGE_COUNT = 4;
constexpr int HELP_PAGE_LINES = 17;
const char* const* help_page_lines(int page);
int widest_help_line(int page);
int info_text_width();
// What the statistics say after a game in a mode that brings in columns.
extern const char* const STATISTICS_NO_BEST_LINE[2];

// Shows the help pages (rules, keys, more keys, deals; the arrows and
// PgUp/PgDn turn them) until F1,
// Esc or a click; true when the window's close button was clicked meanwhile
// and the quit question answered "Yes!".
bool run_help();

enum class StatisticsExit { closed, watch, quit };
// Shows the statistics (with the deal on the board and the player's record
// on the day's deal) until S, Esc or a click; W, after a game with a best
// line, asks to watch it.
StatisticsExit run_statistics();
