// The swaying high-score table shown after a game.
#pragma once

extern int highscores_shown;

void draw_highscore_overlay();
