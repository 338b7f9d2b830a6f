// Feeds arbitrary bytes to the settings, score, game-in-progress and
// statistics loaders,
// as files on disk and wrapped as valid packfiles, and checks what the game
// relies on after.
#include <allegro.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include <sanitizer/lsan_interface.h>
#include <unistd.h>

#include "board/board.h"
#include "board/undo.h"
#include "common/catalogue.h"
#include "persist/daily.h"
#include "persist/game_save.h"
#include "persist/highscore.h"
#include "persist/settings.h"
#include "persist/stats.h"

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

// Allegro 4.4's own leak, the one the library has on this path: a file
// opened in packed mode that starts with the "unpacked" magic enciphered in
// the library's old format (the password's bytes XORed into a word in turn,
// lowest byte first, without the new format's final XOR with 42) makes it
// keep a second 6-byte copy of the password that pack_fclose never frees.
// The game writes only the new format; only a damaged or planted file can
// start so, and here only the raw writes (the seed old_format_unpacked_magic
// does). The loads of such an input run with the leak check off; every other
// input is checked whole, so a file the loaders leave open is caught.
bool library_leaks_on(const uint8_t* data, size_t size)
{
    uint32_t mask = 0;
    for (int i = 0; PACKFILE_PASSWORD[i] != '\0'; ++i)
        mask ^= uint32_t(uint8_t(PACKFILE_PASSWORD[i])) << (i % 4 * 8);
    const uint32_t old_format_magic = uint32_t(F_NOPACK_MAGIC) ^ mask;
    auto starts_with_it = [&](size_t at) {
        return size - at >= 4 &&
               (uint32_t(data[at]) << 24 | data[at + 1] << 16 | data[at + 2] << 8 | data[at + 3]) == old_format_magic;
    };
    return starts_with_it(0) || starts_with_it(size / 2);  // the raw files start at these two
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

// The statistics that came back are sound, save and come back the same, and
// take the next game (into the ring) without a write out of bounds.
void check_loaded_statistics(size_t size)
{
    for (auto& mode : statistics.played) {
        for (const ModeStatistics& r : mode) {
            if (r.recent_count > RECENT_GAMES || r.recent_next >= RECENT_GAMES || r.cleared > r.games)
                std::abort();
        }
    }
    const std::string bytes = encode_statistics();
    if (!decode_statistics(bytes) || encode_statistics() != bytes)
        std::abort();
    record_finished_game(int(size % MODE_COUNT), 1000, size % 3 == 0, size % 2 == 0);
}

void load_all_from(void (*write)(const char*, const uint8_t*, size_t), const uint8_t* data, size_t size)
{
    write("zorbl.sav", data, size);
    write("scores0.sav", data, size);
    // The same bytes in the other files from an offset, so one input covers
    // settings and table contents that differ.
    size_t skip = size / 2;
    write("scores1.sav", data + skip, size - skip);
    write("daily.sav", data, size);
    load_saved_data();
    check_loaded_state();
    // A day's record that loaded saves and loads the same.
    const std::string daily = encode_daily_record();
    if (!decode_daily_record(daily) || encode_daily_record() != daily)
        std::abort();
    write("game.sav", data, size);
    if (load_game_in_progress()) {
        check_loaded_state();
        check_loaded_game();
        // A game that came back saves and comes back the same.
        const std::string bytes = encode_game_in_progress();
        if (!decode_game_in_progress(bytes) || encode_game_in_progress() != bytes)
            std::abort();
    }

    write("stats.sav", data, size);
    load_statistics();
    check_loaded_statistics(size);

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
    const bool library_leaks = library_leaks_on(data, size);
    if (library_leaks)
        __lsan_disable();
    load_all_from(write_raw, data, size);
    if (library_leaks)
        __lsan_enable();
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
