// The five user settings and the files that carry them and the score tables.
#include "persist/settings.h"

#include <allegro.h>

#include <cstdio>
#include <string>

#include "persist/daily.h"
#include "persist/highscore.h"
#include "persist/paths.h"
#include "persist/save_file.h"
#include "persist/stats.h"

Settings settings;

namespace {

constexpr int SETTINGS_BYTES = 5;

// The values in the order of their bytes in the file.
int32_t* const file_order[SETTINGS_BYTES] = {
    &settings.sample_volume, &settings.music_volume, &settings.game_mode,
    &settings.theme, &settings.animations,
};

std::string score_file_name(int mode)
{
    char name[24];  // room for any int, so no build warns of a cut
    std::snprintf(name, sizeof name, "scores%d.sav", mode);
    return save_path(name);
}

// Each table as this game last read or wrote its file: what is on disk
// beyond it, another game wrote.
// A table this game never read merges nothing.
HighScoreTable seen_on_disk[MODE_COUNT];
bool seen_read[MODE_COUNT] = {};

// Mode and theme index fixed-size tables all over the game.
void take_out_of_range_as_zero()
{
    if (settings.game_mode < 0 || settings.game_mode >= MODE_COUNT)
        settings.game_mode = MODE_TRADITIONAL;
    if (settings.theme < 0 || settings.theme >= THEME_COUNT)
        settings.theme = THEME_ORIGINAL;
}

}  // namespace

// A settings file that opens is taken byte by byte with no defaults: values
// whose bytes are missing from a short file are 0. Only a file that doesn't
// open (missing, not a regular file, or under another password) gives the defaults.
void load_saved_data()
{
    const std::string path = save_path(SETTINGS_FILE);
    PACKFILE* in = is_regular_file(path.c_str()) ? pack_fopen(path.c_str(), "rp") : nullptr;
    if (in != nullptr) {
        settings = Settings{};
        for (int32_t* value : file_order) {
            unsigned char byte = 0;
            if (pack_fread(&byte, 1, in) != 1)
                break;
            *value = byte;
        }
        pack_fclose(in);
    } else {
        settings = Settings{200, 100, MODE_TRADITIONAL, THEME_ORIGINAL, 1};
    }
    take_out_of_range_as_zero();

    load_statistics();
    load_daily_record();

    // The tables are made once; a later load refills the same storage.
    for (int mode = 0; mode < MODE_COUNT; ++mode) {
        if (highscore_tables[mode] == nullptr)
            highscore_tables[mode] = highscore_table_new();
        if (!highscore_load(*highscore_tables[mode], score_file_name(mode).c_str()))
            highscore_defaults(*highscore_tables[mode]);
        seen_on_disk[mode] = *highscore_tables[mode];
        seen_read[mode] = true;
    }
}

// Each file is written whole or not at all; a failure is silent and does not
// stop the files after it.
void save_saved_data()
{
    for (int mode = 0; mode < MODE_COUNT; ++mode)
        save_highscore_table(mode);
    save_settings();
}

void save_highscore_table(int mode)
{
    if (mode < 0 || mode >= MODE_COUNT || highscore_tables[mode] == nullptr)
        return;
    HighScoreTable& table = *highscore_tables[mode];
    const std::string path = score_file_name(mode);
    const int lock = lock_save_folder(path.c_str());
    HighScoreTable on_disk;
    if (seen_read[mode] && highscore_load(on_disk, path.c_str()))
        highscore_merge_new_rows(table, seen_on_disk[mode], on_disk);
    highscore_save(table, path.c_str());
    unlock_save_folder(lock);
    seen_on_disk[mode] = table;
    seen_read[mode] = true;
}

void save_settings()
{
    unsigned char bytes[SETTINGS_BYTES];
    for (int i = 0; i < SETTINGS_BYTES; ++i)
        bytes[i] = static_cast<unsigned char>(*file_order[i] & 0xff);
    save_packed_file(save_path(SETTINGS_FILE).c_str(), bytes, SETTINGS_BYTES);
}
