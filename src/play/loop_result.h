// What a screen of play asks the game loop to do next: the protocol between
// the loop (run_game) and the screens it runs (play, the table after a game).
#pragma once

// LOOP_WATCH: after a game, the player asked to watch the best line of its deal.
enum LoopResult { LOOP_CONTINUE = 0, LOOP_NEW_GAME = 1, LOOP_GAME_OVER = 2, LOOP_QUIT = 3, LOOP_WATCH = 4 };
