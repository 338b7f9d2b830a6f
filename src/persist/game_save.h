// The game in progress, kept in "game.sav" beside the other saves so that a
// quit, a kill or a crash loses nothing: the board, the panel's numbers, the
// mode, the undo and redo history, and whether the game is assisted.
#pragma once
#include <string>

constexpr const char* GAME_SAVE_FILE = "game.sav";

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
