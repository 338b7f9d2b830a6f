// Test tool: prints what the game would load from the save files of the
// current directory, so end-to-end tests can check what a run wrote.
// Output: "settings S M G T A", then "table MODE ROW SCORE NAME" lines,
// then "stats MODE ASSISTED GAMES CLEARED BEST" lines, then for a sound
// game.sav "game SCORE" and eight "game_row" lines of its board ('.' empty,
// '1'..'5' a colour), then "file NAME sound" or "file NAME damaged" for
// each save file there is (a damaged one the game would take as no file).
#include <allegro.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "board/board.h"
#include "common/catalogue.h"
#include "persist/game_save.h"
#include "persist/highscore.h"
#include "persist/save_file.h"
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
    std::string bytes;
    const auto report = [](const std::string& name, bool sound) {
        if (is_regular_file(name.c_str()))
            std::printf("file %s %s\n", name.c_str(), sound ? "sound" : "damaged");
    };
    report(SETTINGS_FILE, read_packed_file(SETTINGS_FILE, bytes, 5) && bytes.size() == 5);  // five settings, a byte each
    for (int mode = 0; mode < MODE_COUNT; ++mode) {
        const std::string name = "scores" + std::to_string(mode) + ".sav";
        HighScoreTable table;
        report(name, highscore_load(table, name.c_str()));
    }
    report(STATISTICS_FILE, read_packed_file(STATISTICS_FILE, bytes, 4096) && decode_statistics(bytes));
    report(GAME_SAVE_FILE, read_packed_file(GAME_SAVE_FILE, bytes, 1 << 24) && decode_game_in_progress(bytes));
    return 0;
}
END_OF_MAIN()
