// The player's choice of window or whole screen and of the window's size,
// kept in zorbl.cfg: a plain "key = value" text file a person may read and
// edit, beside the designed zorbl.sav, which it leaves alone.
#pragma once
#include <string>

constexpr const char* SCREEN_FILE = "zorbl.cfg";
// The largest enlargement a player may ask for.
constexpr int LARGEST_SCALE = 16;

struct ScreenChoice {
    bool fullscreen = false;  // key "fullscreen": yes or no
    int scale = 0;            // key "scale": auto (0), or 1..LARGEST_SCALE
};

// What the file at `path` says, key by key; a key that is missing or whose
// value is not understood keeps its default, and keys it does not know are
// ignored. A missing, unreadable or damaged file gives the defaults: it
// never stops the game. Only a plain file is read (a pipe would block).
ScreenChoice read_screen_choice(const std::string& path);

// Records the player's last choice of window or whole screen in the file,
// keeping every other line as it was; a new file also gets "scale = auto",
// so that the key is there to edit. A file that cannot be written is left.
void write_fullscreen_choice(const std::string& path, bool fullscreen);
