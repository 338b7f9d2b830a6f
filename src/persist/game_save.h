// The game in progress, kept in "game.sav" beside the other saves so that a
// quit, a kill or a crash loses nothing: the board, the panel's numbers, the
// mode, the undo and redo history, and whether the game is assisted.
#pragma once
#include <string>

constexpr const char* GAME_SAVE_FILE = "game.sav";
// Beside it, empty: whichever game holds a lock on it owns "game.sav".
constexpr const char* GAME_LOCK_FILE = "game.lock";

// Called once at start-up, once the save folder may be written: takes the
// lock on "game.lock" for the rest of the run (the kernel lets it go when
// the process ends, however it ends). Answers false when another game in
// the same folder holds it: this game then plays fresh deals and never
// reads, writes or removes "game.sav". A lock file that cannot be made or
// opened (a read-only folder) leaves the game keeping its game as before.
bool claim_game_in_progress();
// Whether this game owns "game.sav": true until a claim is refused.
bool game_in_progress_kept();

// The three below do nothing in a game that does not own "game.sav".
// Writes the game on the board now (the settled board, the counters,
// settings.game_mode and the history), whole or not at all.
void save_game_in_progress();
// Brings back the game of a sound "game.sav": board, counters, history,
// assisted flag, and settings.game_mode. A missing, damaged, truncated or
// foreign file, or a game with no pair left, changes nothing and answers false.
bool load_game_in_progress();
// The game is over or a new one begins: nothing to come back to.
void forget_game_in_progress();

// The file's bytes for the game on the board, and the reverse: false, with
// nothing changed, for bytes that are not a sound record. For tests and the
// fuzzer.
std::string encode_game_in_progress();
bool decode_game_in_progress(const std::string& bytes);
