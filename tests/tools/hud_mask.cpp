// Test tool: prints where the game's font puts pixels when a text is
// right-aligned in a head-up box, as rows of '#' and '.', so that an
// end-to-end test can read the score box of a screenshot without OCR; or,
// given X and Y, the "x y colour" of each pixel of the text centred on x at
// line y, as the boxes print their lines (colour: the font's palette index).
// Usage: hud_mask ARCHIVE TEXT [X Y]
#include <allegro.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>

#include "common/catalogue.h"
#include "shell/archive.h"

int main(int argc, char** argv)
{
    if ((argc != 3 && argc != 5) || install_allegro(SYSTEM_NONE, &errno, atexit) != 0)
        return 2;
    set_color_depth(8);
    packfile_password(PACKFILE_PASSWORD);
    DATAFILE* data = load_archive(argv[1]);
    if (data == nullptr)
        return 2;
    BITMAP* box = create_bitmap(SCREEN_WIDTH, SCREEN_HEIGHT);
    clear_to_color(box, 0);
    if (argc == 5) {
        textprintf_centre_ex(box, static_cast<FONT*>(data[OBJ_FONT].dat), std::atoi(argv[3]), std::atoi(argv[4]), -1,
                             -1, "%s", argv[2]);
        for (int y = 0; y < SCREEN_HEIGHT; ++y) {
            for (int x = 0; x < SCREEN_WIDTH; ++x) {
                if (getpixel(box, x, y) != 0)
                    std::printf("%d %d %d\n", x, y, getpixel(box, x, y));
            }
        }
        destroy_bitmap(box);
        unload_datafile(data);
        return 0;
    }
    textprintf_right_ex(box, static_cast<FONT*>(data[OBJ_FONT].dat), 310, 19, -1, -1, "%s", argv[2]);
    // The box interior, as the background fills it with colour 0.
    for (int y = 20; y <= 35; ++y) {
        for (int x = 240; x <= 310; ++x)
            std::putchar(getpixel(box, x, y) ? '#' : '.');
        std::putchar('\n');
    }
    destroy_bitmap(box);
    unload_datafile(data);
    return 0;
}
END_OF_MAIN()
