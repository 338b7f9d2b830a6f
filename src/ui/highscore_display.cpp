// The high-score table of the current mode over the board, each row
// swaying side to side in a wave that runs down the table.
#include "ui/highscore_display.h"

#include "persist/highscore.h"
#include "shell/render.h"
#include "shell/shell.h"

int highscores_shown = 0;

int row_swing(int row)
{
    // 4 x cos of the row's angle, in 256ths of a turn, rounded to whole pixels.
    const int angle = 4 * frame_counter + 21 * row;
    return fixtoi(fixcos(itofix(angle)) * 4);
}

void draw_highscore_overlay()
{
    FONT* f = game_font();
    textprintf_centre_ex(BackBuffer, f, 120, 8, -1, -1, "%s", "HIGH SCORES");
    const HighScoreTable& table = current_highscore_table();
    for (int i = 0; i < HIGHSCORE_ROWS; ++i) {
        const int y = 26 + 14 * i;
        const int w = row_swing(i);
        // At most ten characters: a damaged row without its zero byte shows
        // its first ten and nothing past its eleven bytes is read.
        textprintf_ex(BackBuffer, f, 21 + w, y, -1, -1, "%.10s", table[i].name);
        textprintf_right_ex(BackBuffer, f, 218 - w, y, -1, -1, "%5u", table[i].score);
    }
}
