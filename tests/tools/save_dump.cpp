// Test tool: prints what the game would load from the save files of the
// current directory, so end-to-end tests can check what a run wrote.
// Output: "settings S M G T A", then "table MODE ROW SCORE NAME" lines,
// then "stats MODE ASSISTED GAMES CLEARED BEST" lines, then for a sound
// game.sav "game SCORE" and eight "game_row" lines of its board ('.' empty,
// '1'..'5' a colour).
#include <allegro.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>

#include "board/board.h"
#include "common/catalogue.h"
#include "persist/game_save.h"
#include "persist/highscore.h"
#include "persist/settings.h"
#include "persist/stats.h"

int main()
{
    if (install_allegro(SYSTEM_NONE, &errno, atexit) != 0)
        return 2;
    packfile_password(PACKFILE_PASSWORD);
    load_saved_data();
    std::printf("settings %d %d %d %d %d\n", settings.sample_volume, settings.music_volume, settings.game_mode,
                settings.theme, settings.animations);
    for (int mode = 0; mode < MODE_COUNT; ++mode)
        for (int row = 0; row < HIGHSCORE_ROWS; ++row) {
            const HighScoreEntry& e = (*highscore_tables[mode])[row];
            std::printf("table %d %d %u %.10s\n", mode, row, e.score, e.name);
        }
    for (int mode = 0; mode < MODE_COUNT; ++mode)
        for (int assisted = 0; assisted < 2; ++assisted) {
            const ModeStatistics& s = statistics.played[mode][assisted];
            std::printf("stats %d %d %u %u %u\n", mode, assisted, s.games, s.cleared, s.best);
        }
    if (load_game_in_progress()) {
        std::printf("game %d\n", int(score));
        for (int row = 0; row < BOARD_ROWS; ++row) {
            std::printf("game_row ");
            for (int column = 0; column < BOARD_COLUMNS; ++column) {
                const int colour = board.at(column, row).colour;
                std::putchar(colour == 0 ? '.' : '0' + colour);
            }
            std::putchar('\n');
        }
    }
    return 0;
}
END_OF_MAIN()
