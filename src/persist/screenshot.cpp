// Numbered PCX pictures of the last presented frame.
#include "persist/screenshot.h"

#include <allegro.h>

#include <cstdio>

#include "shell/shell.h"

int screenshot_counter = 0;

namespace {
constexpr int LAST_PICTURE = 999;
}

// The last presented frame is the BackBuffer; the window may be scaled, so
// the screen is never read. The picture is a plain PCX: the packfile password
// is off while it is written and back in force for the save files afterwards.
// A picture that can't be written still uses up its number.
void take_screenshot()
{
    if (screenshot_counter < 0 || screenshot_counter > LAST_PICTURE || BackBuffer == nullptr)
        return;
    PALETTE palette;
    get_palette(palette);
    char name[32];
    std::snprintf(name, sizeof name, "zorbl%03d.pcx", screenshot_counter);
    ++screenshot_counter;

    packfile_password(nullptr);
    save_pcx(name, BackBuffer, palette);
    packfile_password(PACKFILE_PASSWORD);
}
