// Feeds arbitrary bytes to the settings, score and game-in-progress loaders,
// as files on disk and wrapped as valid packfiles, and checks what the game
// relies on after.
#include <allegro.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include <unistd.h>

#include "board/board.h"
#include "board/undo.h"
#include "persist/game_save.h"
#include "persist/highscore.h"
#include "persist/settings.h"
#include "shell/catalogue.h"

namespace {

void write_raw(const char* name, const uint8_t* data, size_t size)
{
    FILE* out = std::fopen(name, "wb");
    if (out == nullptr)
        std::abort();
    if (size > 0 && std::fwrite(data, 1, size, out) != size)
        std::abort();
    std::fclose(out);
}

// The same bytes as the content of a packfile under the game's password, so
// the loaders see them past the packfile layer.
void write_packed(const char* name, const uint8_t* data, size_t size)
{
    PACKFILE* out = pack_fopen(name, "wp");
    if (out == nullptr)
        std::abort();
    if (size > 0)
        pack_fwrite(data, static_cast<long>(size), out);
    pack_fclose(out);
}

// Mode and theme index fixed tables; every name must end within its row.
void check_loaded_state()
{
    if (settings.game_mode < 0 || settings.game_mode >= MODE_COUNT)
        std::abort();
    if (settings.theme < 0 || settings.theme >= THEME_COUNT)
        std::abort();
    for (const HighScoreTable* table : highscore_tables) {
        if (table == nullptr)
            std::abort();
        for (const HighScoreEntry& row : *table) {
            if (std::memchr(row.name, '\0', sizeof row.name) == nullptr)
                std::abort();
        }
    }
    if (&current_highscore_table() != highscore_tables[settings.game_mode])
        std::abort();
}

// Colours index the tile sprites; a game that came back must be drawable
// and undoable.
void check_game(const std::array<uint8_t, BOARD_CELLS>& colours)
{
    for (uint8_t colour : colours) {
        if (colour > colour_count)
            std::abort();
    }
}

void check_loaded_game()
{
    std::array<uint8_t, BOARD_CELLS> shown{};
    for (int i = 0; i < BOARD_CELLS; ++i)
        shown[i] = board.cells[i].colour;
    check_game(shown);
    check_game(history.deal);
    for (const auto* steps : {&history.undo, &history.redo}) {
        for (const UndoStep& step : *steps)
            check_game(step.colours);
    }
    if (score < 0 || tiles_popped < 0)
        std::abort();
}

void load_all_from(void (*write)(const char*, const uint8_t*, size_t), const uint8_t* data, size_t size)
{
    write("zorbl.sav", data, size);
    write("scores0.sav", data, size);
    // The same bytes in the other files from an offset, so one input covers
    // settings and table contents that differ.
    size_t skip = size / 2;
    write("scores1.sav", data + skip, size - skip);
    load_saved_data();
    check_loaded_state();
    write("game.sav", data, size);
    if (load_game_in_progress()) {
        check_loaded_state();
        check_loaded_game();
        // A game that came back saves and comes back the same.
        const std::string bytes = encode_game_in_progress();
        if (!decode_game_in_progress(bytes) || encode_game_in_progress() != bytes)
            std::abort();
    }

    HighScoreTable table{};
    highscore_load(table, "scores0.sav");
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    if (install_allegro(SYSTEM_NONE, &errno, atexit) != 0)
        std::abort();
    packfile_password(PACKFILE_PASSWORD);
    // run_fuzz.sh hands over a directory it removes afterwards, in memory
    // where it can: every save flushes to disk, which on a real disk slows
    // each run down a hundredfold. Run alone, the target makes its own.
    const char* given = std::getenv("ZORBL_FUZZ_SCRATCH");
    static char own[] = "/tmp/zorbl-fuzz-XXXXXX";
    const char* dir = given != nullptr ? given : mkdtemp(own);
    if (dir == nullptr || chdir(dir) != 0)
        std::abort();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    load_all_from(write_raw, data, size);
    load_all_from(write_packed, data, size);
    // What was loaded must also save and load back as it was.
    HighScoreTable before = *highscore_tables[0];
    Settings settings_before = settings;
    save_saved_data();
    load_saved_data();
    if (std::memcmp(&before, highscore_tables[0], sizeof before) != 0)
        std::abort();
    if (std::memcmp(&settings_before, &settings, sizeof settings) != 0)
        std::abort();
    return 0;
}
