// Program-wide objects made at start-up and alive for the whole run: the three
// bitmaps, the archive and the colour tables. (The frame tick is in frame_clock.h.)
#pragma once
#include <allegro.h>

#include <cstdint>
#include <optional>
#include <string>

#include "common/catalogue.h"

extern BITMAP* BackBuffer;        // every frame is composed here
extern BITMAP* BackgroundBitmap;  // the static frame art, copied in each frame
extern BITMAP* BannerBitmap;      // the points banner, 200 x 50
extern DATAFILE* Datafile;        // the loaded archive

extern COLOR_MAP dark_light_table;   // lit draws toward black
extern COLOR_MAP white_light_table;  // lit draws toward white
extern COLOR_MAP trans_table_190;    // banner, panel, particles
extern COLOR_MAP trans_table_220;    // dialogs, name entry, options screen
extern COLOR_MAP trans_table_64;     // logo halo, board-well tint
extern RGB_MAP rgb_table;

// True when sound is installed (digital, and MIDI if it could be had).
extern bool sound_ready;

// What the command line asks of the display for this run, over the
// player's zorbl.cfg: the whole screen or a window, and the window's scale
// (0: auto).
struct ScreenRequest {
    std::optional<bool> fullscreen;
    std::optional<int> scale;
};

void init_game(const ScreenRequest& request);
void shutdown_game();

// The window's title: the game's name, the number of the deal on the board
// when it has one, and where the help is ("zorbl - deal 42 - F1: help");
// for a game that does not own the game in progress,
// " - not kept: zorbl is already running" after it.
std::string window_title(std::optional<uint32_t> deal);
// Puts on the window the title for the deal on the board now.
void show_window_title();

// Typed access to an archive object.
inline BITMAP* sprite(int index) { return static_cast<BITMAP*>(Datafile[index].dat); }
inline SAMPLE* sample(int index) { return static_cast<SAMPLE*>(Datafile[index].dat); }
inline FONT* game_font() { return static_cast<FONT*>(Datafile[OBJ_FONT].dat); }
inline RGB* game_palette() { return static_cast<RGB*>(Datafile[OBJ_PALETTE].dat); }

// Builds the six colour tables from the game palette, RGB map first (installed).
void build_colour_tables();
