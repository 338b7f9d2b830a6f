// Start-up and shutdown, in their fixed order.
#include "shell/shell.h"

#include <cstdio>
#include <cstdlib>

#include <string>

#include "board/undo.h"
#include "effects/particles.h"
#include "persist/game_save.h"
#include "persist/paths.h"
#include "persist/settings.h"
#include "shell/archive.h"
#include "shell/display.h"
#include "shell/frame_clock.h"
#include "shell/input.h"

BITMAP* BackBuffer = nullptr;
BITMAP* BackgroundBitmap = nullptr;
BITMAP* BannerBitmap = nullptr;
DATAFILE* Datafile = nullptr;

COLOR_MAP dark_light_table;
COLOR_MAP white_light_table;
COLOR_MAP trans_table_190;
COLOR_MAP trans_table_220;
COLOR_MAP trans_table_64;
RGB_MAP rgb_table;

bool sound_ready = false;

namespace {

// The library's message box, and the same line on stderr for a terminal.
[[noreturn]] void fail(const char* message)
{
    std::fprintf(stderr, "zorbl: %s\n", message);
    allegro_message("%s", message);
    std::exit(1);
}

// Sound is all or nothing: a patch set without a digital device makes the
// full install fail, so try without MIDI, then go on silent. The library
// reads its patch set through the packfile layer, where our password would
// hide it and leave the music silent.
void install_sound_or_silence()
{
    packfile_password(nullptr);
    if (install_sound(DIGI_AUTODETECT, MIDI_AUTODETECT, nullptr) == 0)
        sound_ready = true;
    else
        sound_ready = install_sound(DIGI_AUTODETECT, MIDI_NONE, nullptr) == 0;
    packfile_password(PACKFILE_PASSWORD);
}

} // namespace

void build_colour_tables()
{
    RGB* palette = game_palette();
    // The RGB map first and installed: the other tables are built through it.
    create_rgb_table(&rgb_table, palette, nullptr);
    rgb_map = &rgb_table;
    create_light_table(&dark_light_table, palette, 0, 0, 0, nullptr);
    create_light_table(&white_light_table, palette, 63, 63, 63, nullptr);
    create_trans_table(&trans_table_190, palette, 190, 190, 190, nullptr);
    create_trans_table(&trans_table_220, palette, 220, 220, 220, nullptr);
    create_trans_table(&trans_table_64, palette, 64, 64, 64, nullptr);
}

void init_game(const ScreenRequest& request)
{
    if (allegro_init() != 0) {
        std::fprintf(stderr, "zorbl: cannot start: no display (run it in a desktop session, or under xvfb-run)\n");
        std::exit(1);
    }
    choose_data_location();
    set_window_title(window_title(std::nullopt).c_str());
    // The player's file, then what the command line says for this run.
    ScreenChoice choice = read_screen_choice(config_path(SCREEN_FILE));
    if (request.fullscreen)
        choice.fullscreen = *request.fullscreen;
    if (request.scale)
        choice.scale = *request.scale;
    if (!open_display(choice))
        fail("Cannot open a 320 x 240 display.");
    decide_frame_pacing();
    // Black from the first moment, not whatever the new window holds.
    set_palette(black_palette);
    clear_to_color(screen, 0);
    install_close_button();
    install_end_signals();
    watch_focus();
    packfile_password(PACKFILE_PASSWORD);
    install_keyboard();
    install_timer();
    start_frame_clock();

    BackBuffer = create_bitmap(SCREEN_WIDTH, SCREEN_HEIGHT);
    BackgroundBitmap = create_bitmap(SCREEN_WIDTH, SCREEN_HEIGHT);
    BannerBitmap = create_bitmap(200, 50);
    if (BackBuffer == nullptr || BackgroundBitmap == nullptr || BannerBitmap == nullptr)
        fail("Not enough memory for the game's bitmaps.");

    Datafile = load_archive(archive_path());
    if (Datafile == nullptr)
        fail("Failed to load data.");

    install_mouse();
    install_sound_or_silence();
    build_colour_tables();
    drawing_mode(DRAW_MODE_TRANS, nullptr, 0, 0);

    // After the archive: a game that cannot start leaves no lock file behind.
    // Before anything reads "game.sav".
    if (!claim_game_in_progress())
        set_window_title(window_title(std::nullopt).c_str());
    load_saved_data();
    set_volume(-1, settings.music_volume);
    particles_clear();
}

std::string window_title(std::optional<uint32_t> deal)
{
    // The designed screens have no room for these; the title tells a new
    // player where the help is, anyone the deal to pass on, and a second game
    // in the same folder that its game is not kept.
    std::string title = "zorbl";
    if (deal)
        title += " - deal " + std::to_string(*deal);
    title += " - F1: help";
    if (!game_in_progress_kept())
        title += " - not kept: zorbl is already running";
    return title;
}

void show_window_title()
{
    const std::optional<uint32_t> deal =
        history.deal_numbered ? std::optional<uint32_t>(history.deal_number) : std::nullopt;
    set_window_title(window_title(deal).c_str());
}

void shutdown_game()
{
    fade_out(16);
    save_saved_data();
    destroy_bitmap(BackBuffer);
    BackBuffer = nullptr;
    allegro_exit();
}
