// The end of a game: the game-over panel, the name entry or the word that an
// assisted game keeps no score, and the table until the player picks what next.
#pragma once
#include "play/loop_result.h"

// After the last pop: the game-over panel, then the name entry (or, in an
// assisted game, a box saying there is no high score), then the table;
// returns what the player picked there.
LoopResult play_game_over();
// Shows the table of the current mode until the player picks a new game
// (a deal by its number among them), quit, or (from the statistics)
// watching the best line.
LoopResult game_over_wait();
