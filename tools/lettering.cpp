// Our lettering: a hand-drawn 5x7 alphabet with two descender rows, used for
// the game font, the labels, the logo and the big banner digits, and a
// small 5-row capital alphabet for the box labels.
#include "art.h"

#include <cstring>
#include <vector>

namespace art {

namespace {

struct Glyph {
    const char* rows[9];
};

// Characters 32..126. '#' is ink; rows 7 and 8 hang below the baseline.
const Glyph GLYPHS[95] = {
    {{"......", "......", "......", "......", "......", "......", "......"}},         // space (wide, so the two dialog answers spread out)
    {{"#", "#", "#", "#", "#", ".", "#"}},                                             // !
    {{"#.#", "#.#", "...", "...", "...", "...", "..."}},                               // "
    {{".#.#.", ".#.#.", "#####", ".#.#.", "#####", ".#.#.", ".#.#."}},                 // #
    {{"..#..", ".####", "#.#..", ".###.", "..#.#", "####.", "..#.."}},                 // $
    {{"##...", "##..#", "...#.", "..#..", ".#...", "#..##", "...##"}},                 // %
    {{".##..", "#..#.", "#.#..", ".#...", "#.#.#", "#..#.", ".##.#"}},                 // &
    {{"#", "#", ".", ".", ".", ".", "."}},                                             // '
    {{"..#", ".#.", "#..", "#..", "#..", ".#.", "..#"}},                               // (
    {{"#..", ".#.", "..#", "..#", "..#", ".#.", "#.."}},                               // )
    {{".....", "..#..", "#.#.#", ".###.", "#.#.#", "..#..", "....."}},                 // *
    {{".....", "..#..", "..#..", "#####", "..#..", "..#..", "....."}},                 // +
    {{"..", "..", "..", "..", "..", ".#", ".#", "#."}},                                // ,
    {{"....", "....", "....", "####", "....", "....", "...."}},                        // -
    {{"..", "..", "..", "..", "..", "##", "##"}},                                      // .
    {{"....#", "...#.", "...#.", "..#..", ".#...", ".#...", "#...."}},                 // /
    {{".###.", "#...#", "#..##", "#.#.#", "##..#", "#...#", ".###."}},                 // 0
    {{"..#..", ".##..", "..#..", "..#..", "..#..", "..#..", ".###."}},                 // 1
    {{".###.", "#...#", "....#", "...#.", "..#..", ".#...", "#####"}},                 // 2
    {{"#####", "...#.", "..#..", "...#.", "....#", "#...#", ".###."}},                 // 3
    {{"...#.", "..##.", ".#.#.", "#..#.", "#####", "...#.", "...#."}},                 // 4
    {{"#####", "#....", "####.", "....#", "....#", "#...#", ".###."}},                 // 5
    {{"..##.", ".#...", "#....", "####.", "#...#", "#...#", ".###."}},                 // 6
    {{"#####", "....#", "...#.", "..#..", ".#...", ".#...", ".#..."}},                 // 7
    {{".###.", "#...#", "#...#", ".###.", "#...#", "#...#", ".###."}},                 // 8
    {{".###.", "#...#", "#...#", ".####", "....#", "...#.", ".##.."}},                 // 9
    {{".", ".", "#", ".", ".", "#", "."}},                                             // :
    {{"..", "..", ".#", "..", "..", ".#", ".#", "#."}},                                // ;
    {{"...#", "..#.", ".#..", "#...", ".#..", "..#.", "...#"}},                        // <
    {{"....", "....", "####", "....", "####", "....", "...."}},                        // =
    {{"#...", ".#..", "..#.", "...#", "..#.", ".#..", "#..."}},                        // >
    {{".###.", "#...#", "....#", "...#.", "..#..", ".....", "..#.."}},                 // ?
    {{".###.", "#...#", "#.###", "#.#.#", "#.###", "#....", ".####"}},                 // @
    {{".###.", "#...#", "#...#", "#####", "#...#", "#...#", "#...#"}},                 // A
    {{"####.", "#...#", "#...#", "####.", "#...#", "#...#", "####."}},                 // B
    {{".###.", "#...#", "#....", "#....", "#....", "#...#", ".###."}},                 // C
    {{"###..", "#..#.", "#...#", "#...#", "#...#", "#..#.", "###.."}},                 // D
    {{"#####", "#....", "#....", "####.", "#....", "#....", "#####"}},                 // E
    {{"#####", "#....", "#....", "####.", "#....", "#....", "#...."}},                 // F
    {{".###.", "#...#", "#....", "#.###", "#...#", "#...#", ".####"}},                 // G
    {{"#...#", "#...#", "#...#", "#####", "#...#", "#...#", "#...#"}},                 // H
    {{"###", ".#.", ".#.", ".#.", ".#.", ".#.", "###"}},                               // I
    {{"..###", "...#.", "...#.", "...#.", "...#.", "#..#.", ".##.."}},                 // J
    {{"#...#", "#..#.", "#.#..", "##...", "#.#..", "#..#.", "#...#"}},                 // K
    {{"#....", "#....", "#....", "#....", "#....", "#....", "#####"}},                 // L
    {{"#...#", "##.##", "#.#.#", "#.#.#", "#...#", "#...#", "#...#"}},                 // M
    {{"#...#", "#...#", "##..#", "#.#.#", "#..##", "#...#", "#...#"}},                 // N
    {{".###.", "#...#", "#...#", "#...#", "#...#", "#...#", ".###."}},                 // O
    {{"####.", "#...#", "#...#", "####.", "#....", "#....", "#...."}},                 // P
    {{".###.", "#...#", "#...#", "#...#", "#.#.#", "#..#.", ".##.#"}},                 // Q
    {{"####.", "#...#", "#...#", "####.", "#.#..", "#..#.", "#...#"}},                 // R
    {{".####", "#....", "#....", ".###.", "....#", "....#", "####."}},                 // S
    {{"#####", "..#..", "..#..", "..#..", "..#..", "..#..", "..#.."}},                 // T
    {{"#...#", "#...#", "#...#", "#...#", "#...#", "#...#", ".###."}},                 // U
    {{"#...#", "#...#", "#...#", "#...#", "#...#", ".#.#.", "..#.."}},                 // V
    {{"#...#", "#...#", "#...#", "#.#.#", "#.#.#", "#.#.#", ".#.#."}},                 // W
    {{"#...#", "#...#", ".#.#.", "..#..", ".#.#.", "#...#", "#...#"}},                 // X
    {{"#...#", "#...#", ".#.#.", "..#..", "..#..", "..#..", "..#.."}},                 // Y
    {{"#####", "....#", "...#.", "..#..", ".#...", "#....", "#####"}},                 // Z
    {{"###", "#..", "#..", "#..", "#..", "#..", "###"}},                               // [
    {{"#....", ".#...", ".#...", "..#..", "...#.", "...#.", "....#"}},                 // backslash
    {{"###", "..#", "..#", "..#", "..#", "..#", "###"}},                               // ]
    {{"..#..", ".#.#.", "#...#", ".....", ".....", ".....", "....."}},                 // ^
    {{".....", ".....", ".....", ".....", ".....", ".....", ".....", "#####"}},        // _
    {{"#.", ".#", "..", "..", "..", "..", ".."}},                                      // `
    {{".....", ".....", ".###.", "....#", ".####", "#...#", ".####"}},                 // a
    {{"#....", "#....", "####.", "#...#", "#...#", "#...#", "####."}},                 // b
    {{"....", "....", ".###", "#...", "#...", "#...", ".###"}},                        // c
    {{"....#", "....#", ".####", "#...#", "#...#", "#...#", ".####"}},                 // d
    {{".....", ".....", ".###.", "#...#", "#####", "#....", ".###."}},                 // e
    {{"..##", ".#..", "####", ".#..", ".#..", ".#..", ".#.."}},                        // f
    {{".....", ".....", ".####", "#...#", "#...#", "#...#", ".####", "....#", ".###."}}, // g
    {{"#....", "#....", "####.", "#...#", "#...#", "#...#", "#...#"}},                 // h
    {{"#", ".", "#", "#", "#", "#", "#"}},                                             // i
    {{"..#", "...", "..#", "..#", "..#", "..#", "..#", "#.#", ".#."}},                 // j
    {{"#...", "#...", "#..#", "#.#.", "##..", "#.#.", "#..#"}},                        // k
    {{"#.", "#.", "#.", "#.", "#.", "#.", ".#"}},                                      // l
    {{".....", ".....", "##.#.", "#.#.#", "#.#.#", "#.#.#", "#.#.#"}},                 // m
    {{".....", ".....", "####.", "#...#", "#...#", "#...#", "#...#"}},                 // n
    {{".....", ".....", ".###.", "#...#", "#...#", "#...#", ".###."}},                 // o
    {{".....", ".....", "####.", "#...#", "#...#", "#...#", "####.", "#....", "#...."}}, // p
    {{".....", ".....", ".####", "#...#", "#...#", "#...#", ".####", "....#", "....#"}}, // q
    {{"....", "....", "#.##", "##..", "#...", "#...", "#..."}},                        // r
    {{".....", ".....", ".####", "#....", ".###.", "....#", "####."}},                 // s
    {{".#..", ".#..", "####", ".#..", ".#..", ".#..", "..##"}},                        // t
    {{".....", ".....", "#...#", "#...#", "#...#", "#...#", ".####"}},                 // u
    {{".....", ".....", "#...#", "#...#", "#...#", ".#.#.", "..#.."}},                 // v
    {{".....", ".....", "#...#", "#.#.#", "#.#.#", "#.#.#", ".#.#."}},                 // w
    {{".....", ".....", "#...#", ".#.#.", "..#..", ".#.#.", "#...#"}},                 // x
    {{".....", ".....", "#...#", "#...#", "#...#", "#...#", ".####", "....#", ".###."}}, // y
    {{".....", ".....", "#####", "...#.", "..#..", ".#...", "#####"}},                 // z
    {{"..#", ".#.", ".#.", "#..", ".#.", ".#.", "..#"}},                               // {
    {{"#", "#", "#", "#", "#", "#", "#", "#"}},                                        // |
    {{"#..", ".#.", ".#.", "..#", ".#.", ".#.", "#.."}},                               // }
    {{".....", ".....", ".#...", "#.#.#", "...#.", ".....", "....."}},                 // ~
};

const Glyph* glyph_of(char c) {
    int i = static_cast<unsigned char>(c) - 32;
    if (i < 0 || i >= 95) i = '?' - 32;
    return &GLYPHS[i];
}

struct Mini {
    char c;
    const char* rows[5];
};

// Small capitals for the labels over the head-up boxes and the close plate.
const Mini MINI[] = {
    {' ', {"...", "...", "...", "...", "..."}},
    {'A', {".##.", "#..#", "####", "#..#", "#..#"}},
    {'C', {".###", "#...", "#...", "#...", ".###"}},
    {'D', {"###.", "#..#", "#..#", "#..#", "###."}},
    {'E', {"####", "#...", "###.", "#...", "####"}},
    {'G', {".###", "#...", "#.##", "#..#", ".###"}},
    {'I', {"###", ".#.", ".#.", ".#.", "###"}},
    {'K', {"#..#", "#.#.", "##..", "#.#.", "#..#"}},
    {'L', {"#...", "#...", "#...", "#...", "####"}},
    {'M', {"#...#", "##.##", "#.#.#", "#...#", "#...#"}},
    {'N', {"#..#", "##.#", "#.##", "#..#", "#..#"}},
    {'O', {".##.", "#..#", "#..#", "#..#", ".##."}},
    {'P', {"###.", "#..#", "###.", "#...", "#..."}},
    {'R', {"###.", "#..#", "###.", "#.#.", "#..#"}},
    {'S', {".###", "#...", ".##.", "...#", "###."}},
    {'T', {"###", ".#.", ".#.", ".#.", ".#."}},
    {'U', {"#..#", "#..#", "#..#", "#..#", ".##."}},
    {'W', {"#...#", "#...#", "#.#.#", "#.#.#", ".#.#."}},
};

const Mini* mini_of(char c) {
    for (const Mini& m : MINI)
        if (m.c == c) return &m;
    return &MINI[0];
}

}  // namespace

const Inks GAME_INKS = {{INK_PALE, INK_YELLOW, INK_GOLD, INK_ORANGE}, INK_OUTLINE};

int glyph_width(char c) {
    const Glyph* g = glyph_of(c);
    int w = 0;
    for (const char* row : g->rows)
        if (row && static_cast<int>(std::strlen(row)) > w) w = static_cast<int>(std::strlen(row));
    return w;
}

bool glyph_pixel(char c, int x, int row) {
    if (row < 0 || row > 8 || x < 0) return false;
    const char* r = glyph_of(c)->rows[row];
    if (!r || x >= static_cast<int>(std::strlen(r))) return false;
    return r[x] == '#';
}

namespace {

int ink_for_row(const Inks& inks, int row) {
    if (row <= 1) return inks.band[0];
    if (row <= 3) return inks.band[1];
    if (row <= 5) return inks.band[2];
    return inks.band[3];
}

// Draws one glyph with its top-left at (x, y); returns the advance.
int draw_glyph(BITMAP* b, int x, int y, char c, int scale, const Inks& inks) {
    int w = glyph_width(c);
    if (inks.shadow) {
        for (int row = 0; row < 9; ++row)
            for (int gx = 0; gx < w; ++gx)
                if (glyph_pixel(c, gx, row))
                    rectfill(b, x + (gx + 1) * scale, y + (row + 1) * scale, x + (gx + 2) * scale - 1,
                             y + (row + 2) * scale - 1, inks.shadow);
    }
    for (int row = 0; row < 9; ++row)
        for (int gx = 0; gx < w; ++gx)
            if (glyph_pixel(c, gx, row)) {
                int ink = ink_for_row(inks, row);
                rectfill(b, x + gx * scale, y + row * scale, x + (gx + 1) * scale - 1, y + (row + 1) * scale - 1, ink);
            }
    return (w + 2) * scale;
}

}  // namespace

int text_width(const std::string& s, int scale) {
    int w = 0;
    for (char c : s) w += (glyph_width(c) + 2) * scale;
    return w;
}

void draw_text(BITMAP* b, int x, int y, const std::string& s, int scale, const Inks& inks) {
    for (char c : s) x += draw_glyph(b, x, y, c, scale, inks);
}

int mini_width(const std::string& s) {
    int w = 0;
    for (char c : s) w += static_cast<int>(std::strlen(mini_of(c)->rows[0])) + 1;
    return w > 0 ? w - 1 : 0;
}

void draw_mini(BITMAP* b, int x, int y, const std::string& s, int ink_top, int ink_bottom, int shadow) {
    for (char c : s) {
        const Mini* m = mini_of(c);
        int w = static_cast<int>(std::strlen(m->rows[0]));
        for (int pass = shadow ? 0 : 1; pass < 2; ++pass)
            for (int row = 0; row < 5; ++row)
                for (int gx = 0; gx < w; ++gx)
                    if (m->rows[row][gx] == '#') {
                        if (pass == 0) {
                            if (getpixel(b, x + gx + 1, y + row + 1) == 0)
                                putpixel(b, x + gx + 1, y + row + 1, shadow);
                        } else {
                            putpixel(b, x + gx, y + row, row < 2 ? ink_top : ink_bottom);
                        }
                    }
        x += w + 1;
    }
}

BITMAP* font_grid(int* cell_height) {
    const int H = FONT_CELL_HEIGHT;
    const int per_row = 16;
    const int rows = (95 + per_row - 1) / per_row;
    int width = 0;
    for (int r = 0; r < rows; ++r) {
        int w = 1;
        for (int i = r * per_row; i < 95 && i < (r + 1) * per_row; ++i) w += glyph_width(static_cast<char>(32 + i)) + 3;
        if (w > width) width = w;
    }
    BITMAP* b = create_bitmap_ex(8, width, 1 + rows * (H + 1));
    clear_to_color(b, GRID_BORDER);
    BITMAP* cell = blank(16, H);
    for (int r = 0; r < rows; ++r) {
        int x = 1;
        int y = 1 + r * (H + 1);
        for (int i = r * per_row; i < 95 && i < (r + 1) * per_row; ++i) {
            char c = static_cast<char>(32 + i);
            int cw = glyph_width(c) + 2;
            clear_to_color(cell, 0);
            // A dark rim all round each glyph keeps the text readable on any
            // picture it lands on: tiles, the well, the dialog boxes. The
            // glyph sits one pixel in from the cell's top and left for it.
            const Inks bare = {{GAME_INKS.band[0], GAME_INKS.band[1], GAME_INKS.band[2], GAME_INKS.band[3]}, 0};
            draw_glyph(cell, 1, 1, c, 1, bare);
            add_outline(cell, GAME_INKS.shadow);
            blit(cell, b, 0, 0, x, y, cw, H);
            x += cw + 1;
        }
    }
    destroy_bitmap(cell);
    *cell_height = H;
    return b;
}

Mask block_letters(const std::string& s, int block, const std::vector<int>& gaps, int* width) {
    int w = 0;
    for (size_t i = 0; i < s.size(); ++i) {
        w += glyph_width(s[i]) * block;
        if (i + 1 < s.size()) w += i < gaps.size() ? gaps[i] : block;
    }
    Mask m(w, 7 * block);
    int x0 = 0;
    for (size_t i = 0; i < s.size(); ++i) {
        char c = s[i];
        int gw = glyph_width(c);
        // Blocks that meet only at a corner are joined by a 45-degree bridge
        // across the two empty cells beside that corner, so diagonal strokes
        // run smooth instead of as a string of beads.
        struct Bridge {
            int gx, row, dir;
        };
        std::vector<Bridge> bridges;
        std::vector<bool> bridged(static_cast<size_t>(gw * 7), false);
        auto mark = [&](int gx, int row) {
            if (gx >= 0 && gx < gw && row >= 0 && row < 7) bridged[static_cast<size_t>(row * gw + gx)] = true;
        };
        auto is_bridged = [&](int gx, int row) {
            return gx >= 0 && gx < gw && row >= 0 && row < 7 && bridged[static_cast<size_t>(row * gw + gx)];
        };
        for (int row = 0; row + 1 < 7; ++row)
            for (int gx = 0; gx < gw; ++gx)
                for (int dir = -1; dir <= 1; dir += 2) {
                    int nx = gx + dir;
                    if (!glyph_pixel(c, gx, row) || !glyph_pixel(c, nx, row + 1) || glyph_pixel(c, nx, row) ||
                        glyph_pixel(c, gx, row + 1))
                        continue;
                    bridges.push_back({gx, row, dir});
                    mark(nx, row);
                    mark(gx, row + 1);
                }
        for (int row = 0; row < 7; ++row)
            for (int gx = 0; gx < gw; ++gx) {
                if (!glyph_pixel(c, gx, row)) continue;
                for (int y = 0; y < block; ++y)
                    for (int x = 0; x < block; ++x) m.set(x0 + gx * block + x, row * block + y, true);
                // round off corners that stick out, except where a bridge
                // carries the edge on at 45 degrees
                const int cut = block / 3;
                for (int cy = 0; cy < 2; ++cy)
                    for (int cx = 0; cx < 2; ++cx) {
                        int ndx = cx ? 1 : -1, ndy = cy ? 1 : -1;
                        if (glyph_pixel(c, gx + ndx, row) || glyph_pixel(c, gx, row + ndy) ||
                            glyph_pixel(c, gx + ndx, row + ndy) || is_bridged(gx + ndx, row) || is_bridged(gx, row + ndy))
                            continue;
                        for (int k = 0; k < cut; ++k)
                            for (int j = 0; j < cut - k; ++j) {
                                int px = cx ? block - 1 - j : j;
                                int py = cy ? block - 1 - k : k;
                                m.set(x0 + gx * block + px, row * block + py, false);
                            }
                    }
            }
        for (const Bridge& br : bridges)
            for (int y = 0; y < block; ++y)
                for (int x = 0; x < block; ++x) {
                    // beside the upper block and above the lower one
                    bool side = br.dir > 0 ? y >= x : x + y >= block - 1;
                    // below the upper block and beside the lower one
                    bool under = br.dir > 0 ? x >= y : x + y <= block - 1;
                    if (side) m.set(x0 + (br.gx + br.dir) * block + x, br.row * block + y, true);
                    if (under) m.set(x0 + br.gx * block + x, (br.row + 1) * block + y, true);
                }
        x0 += gw * block;
        if (i + 1 < s.size()) x0 += i < gaps.size() ? gaps[i] : block;
    }
    *width = w;
    return m;
}

}  // namespace art
