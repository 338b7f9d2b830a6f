// Numbered PCX pictures of the last presented frame.
#include "persist/screenshot.h"

#include <allegro.h>

#include <cstdio>
#include <string>

#include <sys/stat.h>

#include "persist/paths.h"
#include "shell/render.h"
#include "shell/shell.h"

int screenshot_counter = 0;

namespace {
constexpr int LAST_PICTURE = 999;
}

// The picture is the 320 x 240 frame the screen shows; the window may be
// enlarged, so the screen itself is never read. The picture is a plain PCX: the packfile password
// is off while it is written and back in force for the save files afterwards.
// A picture that can't be written still uses up its number. Numbers whose
// name is taken (an earlier run's pictures, or anything else) are passed
// over, so a new run never overwrites the last one's pictures.
void take_screenshot()
{
    if (BackBuffer == nullptr)
        return;
    std::string path;
    struct stat taken;
    do {
        if (screenshot_counter < 0 || screenshot_counter > LAST_PICTURE)
            return;
        char name[32];
        std::snprintf(name, sizeof name, "zorbl%03d.pcx", screenshot_counter);
        ++screenshot_counter;
        path = save_path(name);
    } while (lstat(path.c_str(), &taken) == 0);
    PALETTE palette;
    get_palette(palette);

    packfile_password(nullptr);
    save_pcx(path.c_str(), last_presented_frame(), palette);
    packfile_password(PACKFILE_PASSWORD);
}
