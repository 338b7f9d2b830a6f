// The swaying high-score table shown after a game.
#pragma once

extern int highscores_shown;

// How far row `row` leans this frame: -4..4 pixels, names right, scores left.
int row_swing(int row);
void draw_highscore_overlay();
