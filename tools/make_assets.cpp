// make_assets OUTDIR
// make_assets --seal RAW_DAT OUT_DAT PASSWORD   (used by pack_archive.sh)
// make_assets --icons OUTDIR                    (the desktop icons)
//
// Draws and synthesises every asset of the archive into OUTDIR, all in one
// 256-colour palette, and writes OUTDIR/manifest.txt: one line per archive
// object, in index order, "TYPE FILE", which tools/pack_archive.sh feeds to
// the library's dat tool. Also writes OUTDIR/tile_centres.txt, the colour of
// each first-theme tile's flat centre as an 8-bit RGB triple.
#include <allegro.h>

#include <cerrno>
#include <cstdio>
#include <string>
#include <vector>

#include "art.h"
#include "common/catalogue.h"

namespace {

PALETTE game_palette;

struct Entry {
    std::string type;
    std::string file;
};

bool save_picture(const std::string& dir, const std::string& name, BITMAP* b) {
    std::string path = dir + "/" + name;
    int rc = save_pcx(path.c_str(), b, game_palette);
    destroy_bitmap(b);
    if (rc != 0) std::fprintf(stderr, "make_assets: cannot write %s\n", path.c_str());
    return rc == 0;
}

bool write_text(const std::string& path, const std::string& text) {
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    bool ok = std::fwrite(text.data(), 1, text.size(), f) == text.size();
    return std::fclose(f) == 0 && ok;
}

// The flat face of every first-theme tile must be one colour across the
// middle 5x5; the tests read these colours off the screen.
bool tile_centre(BITMAP* tile, int* index) {
    int c = getpixel(tile, 7, 7);
    for (int y = 7; y <= 11; ++y)
        for (int x = 7; x <= 11; ++x)
            if (getpixel(tile, x, y) != c) return false;
    *index = c;
    return true;
}

// Palette value (0..63) as shown on a 24-bit screen. The library's X
// driver scales with its own table (v * 4 + v / 16, measured on a 24-bit
// display), which is not always v * 255 / 63: 1 shows as 4, 62 as 251.
int to8(int v) { return _rgb_scale_6[v & 63]; }

}  // namespace

int main(int argc, char** argv) {
    bool seal = argc == 5 && std::string(argv[1]) == "--seal";
    bool icons = argc == 3 && std::string(argv[1]) == "--icons";
    if (argc != 2 && !seal && !icons) {
        std::fprintf(stderr, "usage: make_assets OUTDIR\n       make_assets --seal RAW_DAT OUT_DAT PASSWORD\n"
                             "       make_assets --icons OUTDIR\n");
        return 2;
    }
    if (install_allegro(SYSTEM_NONE, &errno, atexit) != 0) {
        std::fprintf(stderr, "make_assets: cannot start the library\n");
        return 1;
    }
    if (seal) return art::seal_archive(argv[2], argv[3], argv[4]);
    set_color_depth(8);
    packfile_password(nullptr);  // the source files stay plain
    art::build_palette(game_palette);
    if (icons) return art::write_icons(argv[2], game_palette) ? 0 : 1;
    const std::string dir = argv[1];

    std::vector<Entry> manifest(OBJ_COUNT);
    bool ok = true;
    auto picture = [&](int index, const std::string& type, const std::string& name, BITMAP* b) {
        ok = save_picture(dir, name, b) && ok;
        manifest[static_cast<size_t>(index)] = {type, name};
    };

    // palette: a 16x16 swatch of every entry
    {
        BITMAP* b = art::blank(16, 16);
        for (int i = 0; i < 256; ++i) putpixel(b, i % 16, i / 16, i);
        picture(OBJ_PALETTE, "PAL", "palette.pcx", b);
    }
    ok = write_text(dir + "/unused.dat", "zorbl\n") && ok;
    manifest[OBJ_UNUSED_1] = {"DATA", "unused.dat"};
    manifest[OBJ_UNUSED_63] = {"DATA", "unused.dat"};

    std::string centres;
    for (int theme = 0; theme < 5; ++theme)
        for (int colour = 1; colour <= 5; ++colour) {
            BITMAP* t = art::make_tile(theme, colour);
            if (theme == 0) {
                int c = 0;
                if (!tile_centre(t, &c)) {
                    std::fprintf(stderr, "make_assets: tile colour %d has no flat centre\n", colour);
                    ok = false;
                }
                char line[64];
                std::snprintf(line, sizeof line, "%d %d %d %d\n", colour, to8(game_palette[c].r), to8(game_palette[c].g),
                              to8(game_palette[c].b));
                centres += line;
            }
            char name[48];  // room for any two ints, which g++ checks at -O1
            std::snprintf(name, sizeof name, "tile_%d_%d.pcx", theme, colour);
            picture(OBJ_TILE_BASE + 5 * theme + colour, "BMP", name, t);
        }
    ok = write_text(dir + "/tile_centres.txt", centres) && ok;

    picture(OBJ_SIDE_BUTTON, "BMP", "side_button.pcx", art::make_side_button());
    picture(OBJ_SIDE_HOVER, "BMP", "side_hover.pcx", art::make_side_hover());
    picture(OBJ_INTRO_1, "BMP", "intro_title.pcx", art::make_intro_title());
    picture(OBJ_GAME_OVER_PANEL, "BMP", "game_over.pcx", art::make_game_over_panel());
    ok = art::write_music(dir + "/tune.mid") && ok;
    manifest[OBJ_MUSIC] = {"MIDI", "tune.mid"};
    {
        int cell = 0;
        picture(OBJ_FONT, "FONT", "font.pcx", art::font_grid(&cell));
    }
    for (int d = 0; d <= 9; ++d) {
        char name[32];
        std::snprintf(name, sizeof name, "digit_%d.pcx", d);
        picture(OBJ_DIGIT_0 + d, "BMP", name, art::make_digit(d));
    }
    picture(OBJ_ARROW_LEFT, "BMP", "arrow_left.pcx", art::make_arrow(false));
    picture(OBJ_ARROW_RIGHT, "BMP", "arrow_right.pcx", art::make_arrow(true));
    picture(OBJ_SLIDER_TRACK, "BMP", "slider_track.pcx", art::make_slider_track());
    picture(OBJ_CHECK_BOX, "BMP", "check_box.pcx", art::make_check_box());
    picture(OBJ_CHECK_MARK, "BMP", "check_mark.pcx", art::make_check_mark());
    picture(OBJ_SAMPLE_KNOB, "BMP", "knob_sample.pcx", art::make_knob(2));
    picture(OBJ_MUSIC_KNOB, "BMP", "knob_music.pcx", art::make_knob(3));
    picture(OBJ_CLOSE, "BMP", "close.pcx", art::make_close_button());
    picture(OBJ_BACKGROUND, "BMP", "background.pcx", art::make_background());
    picture(OBJ_POINTER, "BMP", "pointer.pcx", art::make_pointer());
    picture(OBJ_INTRO_2, "BMP", "intro_tiles.pcx", art::make_intro_pyramid());

    std::vector<std::string> sounds;
    ok = art::write_sounds(dir, &sounds) && ok;
    if (sounds.size() == 6)
        for (int i = 0; i < 6; ++i) manifest[static_cast<size_t>(OBJ_SND_CLICK + i)] = {"SAMP", sounds[static_cast<size_t>(i)]};

    picture(OBJ_LABEL_SCORE, "BMP", "label_score.pcx", art::make_box_label("SCORE"));
    picture(OBJ_LABEL_TILES, "BMP", "label_tiles.pcx", art::make_box_label("TILES"));
    picture(OBJ_LABEL_MODE, "BMP", "label_mode.pcx", art::make_box_label("MODE"));
    picture(OBJ_LABEL_NEW_GAME, "BMP", "label_new_game.pcx", art::make_button_label("NEW GAME"));
    picture(OBJ_LABEL_OPTIONS, "RLE", "label_options.pcx", art::make_button_label("OPTIONS"));
    picture(OBJ_LABEL_QUIT, "RLE", "label_quit.pcx", art::make_button_label("QUIT"));
    picture(OBJ_LOGO, "BMP", "logo.pcx", art::make_logo());

    std::string list;
    for (int i = 0; i < OBJ_COUNT; ++i) {
        const Entry& e = manifest[static_cast<size_t>(i)];
        if (e.type.empty()) {
            std::fprintf(stderr, "make_assets: nothing made for object %d\n", i);
            ok = false;
            continue;
        }
        list += e.type + " " + e.file + "\n";
    }
    ok = write_text(dir + "/manifest.txt", list) && ok;
    if (!ok) {
        std::fprintf(stderr, "make_assets: failed\n");
        return 1;
    }
    return 0;
}
