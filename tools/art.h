// Shared pieces of the asset generator: the palette layout, small drawing
// helpers on 8-bit memory bitmaps, and the makers of each group of assets.
// Everything here is deterministic: the same build always draws the same
// pixels and writes the same bytes.
#pragma once

#include <allegro.h>

#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace art {

// ---- palette layout -------------------------------------------------------
// 0 black/transparent, 1..14 interface colours, 15 white, 16..47 greys,
// 48..207 five tile ramps of 32 steps, 208..239 backdrop ramp,
// 240..247 wood, 248..254 ember, 255 kept for the font grid borders.
constexpr int INK_OUTLINE = 1;
constexpr int INK_DEEP = 2;
constexpr int INK_STEEL = 3;
constexpr int INK_YELLOW = 10;
constexpr int INK_GOLD = 11;
constexpr int INK_ORANGE = 12;
constexpr int INK_PALE = 13;
constexpr int INK_MIST = 14;
constexpr int WHITE = 15;
constexpr int GREY = 16;
constexpr int RAMP_LEN = 32;
constexpr int TILE_RAMP_FIRST = 48;
constexpr int BACKDROP = 208;
constexpr int WOOD = 240;
constexpr int EMBER = 248;
constexpr int GRID_BORDER = 255;

// Flat level of every shaded shape: theme 0's gem faces use exactly this.
constexpr int FLAT_LEVEL = 20;

inline int clamp_level(int level) { return level < 0 ? 0 : (level > 31 ? 31 : level); }
// Tile colours 1..5: red, green, blue, yellow, purple.
inline int ramp_base(int colour) { return TILE_RAMP_FIRST + (colour - 1) * RAMP_LEN; }
inline int ramp(int colour, int level) { return ramp_base(colour) + clamp_level(level); }
inline int grey(int level) { return GREY + clamp_level(level); }
inline int backdrop(int level) { return BACKDROP + clamp_level(level); }

void build_palette(PALETTE pal);

// Tiny linear congruential generator for the odd bit of texture.
struct Lcg {
    uint32_t state;
    explicit Lcg(uint32_t seed) : state(seed) {}
    uint32_t next() {
        state = state * 1664525u + 1013904223u;
        return state >> 8;
    }
    int below(int n) { return static_cast<int>(next() % static_cast<uint32_t>(n)); }
};

// ---- drawing helpers ------------------------------------------------------
BITMAP* blank(int w, int h);  // 8-bit memory bitmap cleared to 0

struct Mask {
    int w = 0, h = 0;
    std::vector<uint8_t> bits;
    Mask(int w_, int h_) : w(w_), h(h_), bits(static_cast<size_t>(w_ * h_), 0) {}
    bool at(int x, int y) const {
        return x >= 0 && y >= 0 && x < w && y < h && bits[static_cast<size_t>(y * w + x)];
    }
    void set(int x, int y, bool v) {
        if (x >= 0 && y >= 0 && x < w && y < h) bits[static_cast<size_t>(y * w + x)] = v ? 1 : 0;
    }
    int count() const;
};

using Shape = std::function<bool(double, double)>;
using Points = std::vector<std::pair<double, double>>;

// Samples a shape at pixel centres (x + 0.5, y + 0.5).
Mask make_mask(int w, int h, const Shape& inside);
bool in_polygon(double x, double y, const Points& pts);
Mask mask_minus(const Mask& a, const Mask& b);

// Bevelled shading: a dark rim, a lit bevel facing the top-left light, a
// flat face at FLAT_LEVEL of the ramp starting at `base`.
void shade_bevel(BITMAP* b, int ox, int oy, const Mask& m, int base, int bevel, int flat = FLAT_LEVEL);
// Round shading of a ball centred at (cx, cy) (mask coordinates) of radius r.
void shade_sphere(BITMAP* b, int ox, int oy, const Mask& m, int base, double cx, double cy, double r);
// Plain fill of a mask with one colour.
void fill_mask(BITMAP* b, int ox, int oy, const Mask& m, int colour);
// Surrounds every non-zero area with a one-pixel rim of `colour`.
void add_outline(BITMAP* b, int colour);
// A copy of the bitmap's non-zero pixels shifted by (dx, dy) in `colour`
// under the picture.
void add_drop_shadow(BITMAP* b, int dx, int dy, int colour);

// ---- lettering ------------------------------------------------------------
// Row-banded inks for the game font (top to bottom) and its shadow.
struct Inks {
    int band[4];
    int shadow;  // 0 = none
};
extern const Inks GAME_INKS;

// Raw 5x7 (+2 descender rows) glyph pattern of a printable character.
int glyph_width(char c);
bool glyph_pixel(char c, int x, int row);  // row 0..8

int text_width(const std::string& s, int scale);
void draw_text(BITMAP* b, int x, int y, const std::string& s, int scale, const Inks& inks);
int mini_width(const std::string& s);
void draw_mini(BITMAP* b, int x, int y, const std::string& s, int ink_top, int ink_bottom, int shadow);

// The colour font as a grid of cells boxed by GRID_BORDER lines.
BITMAP* font_grid(int* cell_height);
constexpr int FONT_CELL_HEIGHT = 10;

// Blocky lettering built from glyph patterns, each pattern pixel a
// `block`-sized square; rounded convex corners.
Mask block_letters(const std::string& s, int block, const std::vector<int>& gaps, int* width);

// ---- asset makers ---------------------------------------------------------
BITMAP* make_tile(int theme, int colour);
BITMAP* make_background();
BITMAP* make_logo();
BITMAP* make_digit(int d);
BITMAP* make_side_button();
BITMAP* make_side_hover();
BITMAP* make_arrow(bool right);
BITMAP* make_slider_track();
BITMAP* make_check_box();
BITMAP* make_check_mark();
BITMAP* make_knob(int colour);
BITMAP* make_close_button();
BITMAP* make_pointer();
BITMAP* make_game_over_panel();
BITMAP* make_intro_title();
BITMAP* make_intro_pyramid();
BITMAP* make_box_label(const std::string& text);
BITMAP* make_button_label(const std::string& text);

// Sounds and music write their files directly.
bool write_sounds(const std::string& dir, std::vector<std::string>* files);
bool write_music(const std::string& path);

// The desktop icons, OUTDIR/zorbl-SIZE.png, drawn from the tiles.
bool write_icons(const std::string& dir, const PALETTE pal);

// Packing: turns dat's plain archive into the compressed, enciphered one.
int seal_archive(const char* raw_path, const char* out_path, const char* password);

}  // namespace art
