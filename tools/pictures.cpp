// Screens, buttons, labels, the logo and the banner digits.
#include "art.h"

#include <cmath>

#include "common/catalogue.h"

namespace art {

namespace {

// A raised (or sunken) frame of `width` pixels around (x1, y1)-(x2, y2),
// lit from the top-left, in grey ramp levels.
void bevel_frame(BITMAP* b, int x1, int y1, int x2, int y2, int width, bool raised, int light, int dark) {
    for (int i = 0; i < width; ++i) {
        int top = raised ? light - i * 2 : dark + i;
        int bottom = raised ? dark + i : light - i * 2;
        hline(b, x1 + i, y1 + i, x2 - i, top);
        vline(b, x1 + i, y1 + i, y2 - i, top);
        hline(b, x1 + i + 1, y2 - i, x2 - i, bottom);
        vline(b, x2 - i, y1 + i + 1, y2 - i, bottom);
    }
}

Mask rounded_rect(int w, int h, double radius) {
    return make_mask(w, h, [=](double x, double y) {
        double dx = std::fabs(x - w / 2.0) - (w / 2.0 - radius);
        double dy = std::fabs(y - h / 2.0) - (h / 2.0 - radius);
        if (dx < 0) dx = 0;
        if (dy < 0) dy = 0;
        return dx * dx + dy * dy <= radius * radius;
    });
}

}  // namespace

BITMAP* make_background() {
    BITMAP* b = blank(SCREEN_WIDTH, SCREEN_HEIGHT);
    Lcg rng(0x2B0B1u);
    // deep blue wash, lighter toward the bottom, with a faint diagonal weave
    for (int y = 0; y < SCREEN_HEIGHT; ++y) {
        for (int x = 0; x < SCREEN_WIDTH; ++x) {
            double t = y / 239.0;
            double level = 5.0 + 9.0 * t + 1.5 * std::sin((x + y) * 0.11) * std::sin((x - y) * 0.07);
            // ordered dither between neighbouring steps
            static const int BAYER[4][4] = {{0, 8, 2, 10}, {12, 4, 14, 6}, {3, 11, 1, 9}, {15, 7, 13, 5}};
            int base = static_cast<int>(std::floor(level));
            double frac = level - base;
            if (frac * 16.0 > BAYER[y & 3][x & 3] + 0.5) ++base;
            putpixel(b, x, y, backdrop(base));
        }
    }
    // soft bubbles floating in the backdrop
    for (int i = 0; i < 46; ++i) {
        int cx = rng.below(SCREEN_WIDTH), cy = rng.below(SCREEN_HEIGHT), r = 3 + rng.below(9);
        for (int y = cy - r; y <= cy + r; ++y)
            for (int x = cx - r; x <= cx + r; ++x) {
                if (x < 0 || y < 0 || x >= SCREEN_WIDTH || y >= SCREEN_HEIGHT) continue;
                int d2 = (x - cx) * (x - cx) + (y - cy) * (y - cy);
                if (d2 > r * r) continue;
                int v = getpixel(b, x, y) - BACKDROP;
                bool rim = d2 > (r - 1) * (r - 1);
                bool glint = (x - cx + r / 2) * (x - cx + r / 2) + (y - cy + r / 2) * (y - cy + r / 2) <= (r / 4) * (r / 4) + 1;
                putpixel(b, x, y, backdrop(v + (rim ? 3 : 1) + (glint ? 4 : 0)));
            }
    }

    // board frame: a steel bezel around the well
    rectfill(b, 12, 2, 226, 176, backdrop(3));
    bevel_frame(b, 9, 0, 229, 178, 3, true, grey(28), grey(8));
    rect(b, 12, 3, 226, 175, INK_OUTLINE);
    // faint grid where the tiles sit (mostly hidden by the darkened well)
    for (int col = 0; col <= 10; ++col) vline(b, 19 + col * 20, 9, 169, backdrop(5));
    for (int row = 0; row <= 8; ++row) hline(b, 19, 9 + row * 20, 219, backdrop(5));

    // head-up panel
    rectfill(b, 234, 4, 316, 144, backdrop(8));
    bevel_frame(b, 231, 1, 319, 147, 3, true, grey(28), grey(8));
    for (int k = 0; k < 3; ++k) {
        int y = 9 + 50 * k;
        // a title band across the panel for the box's label (drawn at
        // y + 4 from x 235), then the body the framed box sits in
        rectfill(b, 234, y + 1, 316, y + 10, backdrop(14));
        hline(b, 234, y + 1, 316, backdrop(19));
        hline(b, 234, y + 10, 316, backdrop(6));
        rectfill(b, 236, y + 11, 314, y + 31, backdrop(11));
        vline(b, 236, y + 11, y + 31, backdrop(14));
        vline(b, 314, y + 11, y + 31, backdrop(7));
        hline(b, 236, y + 31, 314, backdrop(7));
    }
    // rivets
    const int RIVETS[4][2] = {{235, 5}, {315, 5}, {235, 143}, {315, 143}};
    for (const auto& r : RIVETS) {
        putpixel(b, r[0], r[1], grey(30));
        putpixel(b, r[0] + 1, r[1] + 1, grey(10));
    }

    // bottom right: a plate behind the three side buttons
    rectfill(b, 193, 181, 316, 236, backdrop(9));
    bevel_frame(b, 190, 178, 319, 239, 2, true, grey(26), grey(8));
    for (int i = 0; i < 3; ++i) {
        int bx = 200 + 10 * i, by = 180 + 18 * i;
        rectfill(b, bx - 2, by - 1, 314, by + 17, backdrop(12 - i));
        hline(b, bx - 2, by - 1, 314, backdrop(16));
        hline(b, bx - 2, by + 17, 314, backdrop(6));
    }
    return b;
}

BITMAP* make_logo() {
    // ZORBL in chunky letters, each in one tile colour: 5 letters of 5x7
    // blocks of 6 pixels, gaps 3/2/2/3, plus a one-pixel rim: 162 wide.
    int w = 0;
    const std::string word = "ZORBL";
    Mask all = block_letters(word, 6, {3, 2, 2, 3}, &w);
    BITMAP* b = blank(w + 2, all.h + 3);
    int x0 = 0;
    for (int i = 0; i < 5; ++i) {
        Mask letter(all.w, all.h);
        for (int y = 0; y < all.h; ++y)
            for (int x = x0; x < x0 + 30; ++x) letter.set(x, y, all.at(x, y));
        shade_bevel(b, 1, 1, letter, ramp_base(i + 1), 2, 21);
        x0 += 30 + (i == 0 || i == 3 ? 3 : 2);
    }
    // shine across the upper half of each letter's face
    for (int y = 1; y <= 1 + all.h; ++y)
        for (int x = 1; x <= all.w; ++x) {
            int c = getpixel(b, x, y);
            if (c >= TILE_RAMP_FIRST && c < BACKDROP && y >= 3 && y <= 9 && ((c - TILE_RAMP_FIRST) % RAMP_LEN) == 21)
                putpixel(b, x, y, c + 4);
        }
    add_outline(b, INK_OUTLINE);
    add_drop_shadow(b, 1, 1, INK_OUTLINE);
    return b;
}

BITMAP* make_digit(int d) {
    int w = 0;
    std::string s(1, static_cast<char>('0' + d));
    Mask m = block_letters(s, 6, {}, &w);
    BITMAP* b = blank(w + 3, m.h + 3);
    shade_bevel(b, 1, 1, m, ramp_base(4), 2, 20);
    // warmer lower half
    for (int y = m.h / 2; y <= m.h; ++y)
        for (int x = 0; x < b->w; ++x) {
            int c = getpixel(b, x, y);
            if (c >= ramp_base(4) && c < ramp_base(4) + RAMP_LEN) putpixel(b, x, y, c - 2);
        }
    add_outline(b, INK_OUTLINE);
    add_drop_shadow(b, 1, 1, INK_OUTLINE);
    return b;
}

BITMAP* make_side_button() {
    BITMAP* b = blank(17, 17);
    Mask ring = make_mask(17, 17, [](double x, double y) { return (x - 8.5) * (x - 8.5) + (y - 8.5) * (y - 8.5) <= 8.4 * 8.4; });
    shade_bevel(b, 0, 0, ring, GREY, 2, 18);
    Mask dome = make_mask(17, 17, [](double x, double y) { return (x - 8.5) * (x - 8.5) + (y - 8.5) * (y - 8.5) <= 5.3 * 5.3; });
    shade_sphere(b, 0, 0, dome, ramp_base(3), 8.5, 8.5, 5.3);
    return b;
}

BITMAP* make_side_hover() {
    BITMAP* b = blank(17, 17);
    for (int y = 0; y < 17; ++y)
        for (int x = 0; x < 17; ++x) {
            double d = std::sqrt((x + 0.5 - 8.5) * (x + 0.5 - 8.5) + (y + 0.5 - 8.5) * (y + 0.5 - 8.5));
            if (d <= 8.5 && d > 7.1) putpixel(b, x, y, (x + y < 17) ? INK_PALE : INK_YELLOW);
            else if (d <= 5.3 && d > 4.2) putpixel(b, x, y, INK_YELLOW);
        }
    return b;
}

BITMAP* make_arrow(bool right) {
    BITMAP* b = blank(12, 14);
    // The point sits at the outer edge and the back two pixels short of the
    // inner one, so the name the arrows flank keeps a gap from them.
    Points pts = right ? Points{{2.5, 0.5}, {11.5, 7.0}, {2.5, 13.5}} : Points{{9.5, 0.5}, {0.5, 7.0}, {9.5, 13.5}};
    Mask m = make_mask(12, 14, [&](double x, double y) { return in_polygon(x, y, pts); });
    shade_bevel(b, 0, 0, m, ramp_base(4), 2, 20);
    return b;
}

BITMAP* make_slider_track() {
    BITMAP* b = blank(54, 5);
    for (int x = 0; x < 54; ++x) {
        bool end = x == 0 || x == 53;
        putpixel(b, x, 0, end ? 0 : grey(5));
        vline(b, x, 1, 3, grey(2 + x / 6));
        putpixel(b, x, 4, end ? 0 : grey(22));
    }
    vline(b, 0, 1, 3, grey(5));
    vline(b, 53, 1, 3, grey(20));
    return b;
}

BITMAP* make_check_box() {
    BITMAP* b = blank(14, 14);
    rectfill(b, 0, 0, 13, 13, grey(4));
    bevel_frame(b, 0, 0, 13, 13, 2, false, grey(26), grey(6));
    rectfill(b, 2, 2, 11, 11, grey(3));
    return b;
}

BITMAP* make_check_mark() {
    BITMAP* b = blank(15, 15);
    Mask m(15, 15);
    auto stroke = [&](double x1, double y1, double x2, double y2) {
        for (double t = 0; t <= 1.0; t += 0.02) {
            double x = x1 + (x2 - x1) * t, y = y1 + (y2 - y1) * t;
            for (int dy = 0; dy < 2; ++dy)
                for (int dx = 0; dx < 2; ++dx) m.set(static_cast<int>(x) + dx, static_cast<int>(y) + dy, true);
        }
    };
    stroke(2.5, 8.0, 5.5, 11.5);
    stroke(5.5, 11.5, 12.0, 1.5);
    shade_bevel(b, 0, 0, m, ramp_base(2), 1, 24);
    add_outline(b, INK_OUTLINE);
    return b;
}

BITMAP* make_knob(int colour) {
    BITMAP* b = blank(12, 18);
    Mask m = rounded_rect(12, 18, 3.2);
    shade_bevel(b, 0, 0, m, ramp_base(colour), 2, 18);
    for (int y = 6; y <= 11; y += 2) {
        hline(b, 3, y, 8, ramp(colour, 8));
        hline(b, 3, y + 1, 8, ramp(colour, 26));
    }
    return b;
}

BITMAP* make_close_button() {
    BITMAP* b = blank(28, 11);
    Mask m = rounded_rect(28, 11, 2.5);
    shade_bevel(b, 0, 0, m, ramp_base(1), 1, 16);
    int w = mini_width("OK");
    draw_mini(b, (28 - w) / 2, 3, "OK", INK_PALE, INK_YELLOW, ramp(1, 6));
    return b;
}

BITMAP* make_pointer() {
    static const char* ROWS[14] = {
        "X.........", "XX........", "XWX.......", "XWWX......", "XWWWX.....", "XWWWWX....", "XWWWWWX...",
        "XWWWWWWX..", "XWWWWWWWX.", "XWWWWWXXXX", "XWWXWWX...", "XWX.XWWX..", "XX..XWWX..", "X....XX...",
    };
    BITMAP* b = blank(10, 14);
    for (int y = 0; y < 14; ++y)
        for (int x = 0; x < 10; ++x) {
            char c = ROWS[y][x];
            if (c == 'X') putpixel(b, x, y, INK_OUTLINE);
            if (c == 'W') putpixel(b, x, y, y < 6 ? WHITE : grey(28 - (y - 6) / 2));
        }
    return b;
}

BITMAP* make_game_over_panel() {
    const int W = 184, H = 50;
    BITMAP* b = blank(W, H);
    Mask m = rounded_rect(W, H, 7.0);
    shade_bevel(b, 0, 0, m, BACKDROP, 3, 9);
    Mask inner = rounded_rect(W - 12, H - 12, 4.0);
    for (int y = 0; y < inner.h; ++y)
        for (int x = 0; x < inner.w; ++x)
            if (inner.at(x, y)) putpixel(b, x + 6, y + 6, backdrop(4 + y / 8));
    Inks red = {{ramp(1, 29), ramp(1, 25), ramp(1, 21), ramp(1, 17)}, INK_OUTLINE};
    const std::string text = "GAME OVER";
    int tw = text_width(text, 2) - 2;
    draw_text(b, (W - tw) / 2, 11, text, 2, red);
    return b;
}

BITMAP* make_intro_title() {
    const int W = 264;
    const std::string l1 = "POP GROUPS OF", l2 = "MATCHING TILES!";
    BITMAP* b = blank(W, 52);
    draw_text(b, (W - text_width(l1, 2) + 2) / 2, 2, l1, 2, GAME_INKS);
    Inks cool = {{WHITE, INK_MIST, ramp(3, 24), ramp(3, 18)}, INK_OUTLINE};
    draw_text(b, (W - text_width(l2, 2) + 2) / 2, 26, l2, 2, cool);
    return b;
}

BITMAP* make_intro_pyramid() {
    const int W = 112, H = 104;
    BITMAP* b = blank(W, H);
    int colour = 0;
    for (int row = 0; row < 5; ++row) {
        int n = row + 1;
        int x0 = (W - n * 20) / 2;
        for (int i = 0; i < n; ++i) {
            BITMAP* t = make_tile(0, colour % 5 + 1);
            draw_sprite(b, t, x0 + i * 20, 2 + row * 20);
            destroy_bitmap(t);
            colour += 2;
        }
    }
    return b;
}

BITMAP* make_box_label(const std::string& text) {
    BITMAP* b = blank(mini_width(text) + 1, 6);
    draw_mini(b, 0, 0, text, INK_PALE, INK_YELLOW, INK_OUTLINE);
    return b;
}

BITMAP* make_button_label(const std::string& text) {
    BITMAP* b = blank(text_width(text, 1), 9);
    draw_text(b, 0, 0, text, 1, GAME_INKS);
    return b;
}

}  // namespace art
