// Test tool: tells which rows of a high-score table a picture of the table
// screen shows. The picture is 320 x 240 pixels of 8-bit red, green, blue,
// as read off the display. Rows come on standard input as "SCORE NAME"
// lines, in table order; each is looked for where the game draws it, at
// every sway of its wave, and the tool prints "yes" or "no" per row.
// Usage: shown_table ARCHIVE PICTURE.rgb < rows
#include <allegro.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <vector>

#include "common/catalogue.h"
#include "shell/archive.h"

namespace {

std::vector<unsigned char> picture;
RGB* palette = nullptr;

// The display's colour of palette entry ink at (x, y), as the library shows it.
bool shows(int x, int y, int ink)
{
    const unsigned char* p = &picture[static_cast<size_t>(y * SCREEN_WIDTH + x) * 3];
    return p[0] == _rgb_scale_6[palette[ink].r] && p[1] == _rgb_scale_6[palette[ink].g]
           && p[2] == _rgb_scale_6[palette[ink].b];
}

// Every pixel the font puts down for text at (x, y) is in the picture.
bool drawn_at(BITMAP* scratch, FONT* font, int x, int y, bool right, const char* text)
{
    clear_to_color(scratch, 0);
    if (right)
        textprintf_right_ex(scratch, font, x, y, -1, -1, "%s", text);
    else
        textprintf_ex(scratch, font, x, y, -1, -1, "%s", text);
    for (int py = 0; py < scratch->h; ++py)
        for (int px = 0; px < scratch->w; ++px) {
            const int ink = getpixel(scratch, px, py);
            if (ink != 0 && !shows(px, py, ink))
                return false;
        }
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 3 || install_allegro(SYSTEM_NONE, &errno, atexit) != 0)
        return 2;
    set_color_depth(8);
    std::ifstream in(argv[2], std::ios::binary);
    picture.assign(std::istreambuf_iterator<char>(in), {});
    packfile_password(PACKFILE_PASSWORD);
    DATAFILE* data = load_archive(argv[1]);
    if (data == nullptr || picture.size() != SCREEN_WIDTH * SCREEN_HEIGHT * 3)
        return 2;
    palette = static_cast<RGB*>(data[OBJ_PALETTE].dat);
    FONT* font = static_cast<FONT*>(data[OBJ_FONT].dat);
    BITMAP* scratch = create_bitmap(SCREEN_WIDTH, SCREEN_HEIGHT);
    char line[64];
    for (int row = 0; row < 10 && std::fgets(line, sizeof line, stdin) != nullptr; ++row) {
        line[std::strcspn(line, "\n")] = '\0';
        char* name = std::strchr(line, ' ');
        name = name != nullptr ? name + 1 : line + std::strlen(line);
        char score[16];
        std::snprintf(score, sizeof score, "%5lu", std::strtoul(line, nullptr, 10));
        // Name and score sway together, in opposite directions.
        bool shown = false;
        const int y = 26 + 14 * row;
        for (int swing = -4; swing <= 4 && !shown; ++swing)
            shown = drawn_at(scratch, font, 21 + swing, y, false, name)
                    && drawn_at(scratch, font, 218 - swing, y, true, score);
        std::puts(shown ? "yes" : "no");
    }
    return 0;
}
END_OF_MAIN()
