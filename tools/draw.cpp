// The game palette and the shading helpers every picture is drawn with.
#include "art.h"

#include <cmath>

#include "common/catalogue.h"

namespace art {

namespace {

int to6(double v) {
    int i = static_cast<int>(std::lround(v * 63.0));
    return i < 0 ? 0 : (i > 63 ? 63 : i);
}

void set(PALETTE pal, int i, double r, double g, double b) {
    pal[i].r = static_cast<unsigned char>(to6(r));
    pal[i].g = static_cast<unsigned char>(to6(g));
    pal[i].b = static_cast<unsigned char>(to6(b));
    pal[i].filler = 0;
}

// A ramp runs from near black through the pure hue (at about 2/3) to a
// pale, almost white top, so the lit and translucent tables find close
// neighbours at every brightness.
void hue_ramp(PALETTE pal, int first, int len, double r, double g, double b) {
    for (int i = 0; i < len; ++i) {
        double t = static_cast<double>(i) / (len - 1);
        double rr, gg, bb;
        const double knee = 0.66;
        if (t <= knee) {
            double k = 0.06 + 0.94 * (t / knee);
            rr = r * k;
            gg = g * k;
            bb = b * k;
        } else {
            double k = (t - knee) / (1.0 - knee) * 0.85;
            rr = r + (1.0 - r) * k;
            gg = g + (1.0 - g) * k;
            bb = b + (1.0 - b) * k;
        }
        set(pal, first + i, rr, gg, bb);
    }
}

}  // namespace

void build_palette(PALETTE pal) {
    for (int i = 0; i < 256; ++i) set(pal, i, 0, 0, 0);
    set(pal, 0, 0, 0, 0);
    set(pal, INK_OUTLINE, 0.04, 0.04, 0.10);
    set(pal, INK_DEEP, 0.12, 0.12, 0.20);
    set(pal, INK_STEEL, 0.30, 0.34, 0.44);
    set(pal, 4, 0.55, 0.60, 0.72);
    set(pal, 5, 0.80, 0.84, 0.92);
    set(pal, COLOUR_OPTIONS, 0.10, 0.13, 0.26);
    set(pal, COLOUR_DIALOG_BOX, 0.07, 0.09, 0.24);
    set(pal, 8, 0.20, 0.26, 0.46);
    set(pal, COLOUR_DIALOG_FILL, 0.22, 0.30, 0.56);
    set(pal, INK_YELLOW, 1.00, 0.95, 0.36);
    set(pal, INK_GOLD, 1.00, 0.76, 0.20);
    set(pal, INK_ORANGE, 0.92, 0.50, 0.12);
    set(pal, INK_PALE, 1.00, 1.00, 0.80);
    set(pal, INK_MIST, 0.62, 0.70, 0.86);
    set(pal, COLOUR_SPARK, 1.0, 1.0, 1.0);
    for (int i = 0; i < RAMP_LEN; ++i) {
        double v = static_cast<double>(i) / (RAMP_LEN - 1);
        set(pal, GREY + i, v, v, v * 0.96 + 0.04);
    }
    hue_ramp(pal, ramp_base(1), RAMP_LEN, 1.00, 0.14, 0.10);  // red
    hue_ramp(pal, ramp_base(2), RAMP_LEN, 0.16, 0.88, 0.18);  // green
    hue_ramp(pal, ramp_base(3), RAMP_LEN, 0.16, 0.40, 1.00);  // blue
    hue_ramp(pal, ramp_base(4), RAMP_LEN, 1.00, 0.84, 0.06);  // yellow
    hue_ramp(pal, ramp_base(5), RAMP_LEN, 0.72, 0.22, 1.00);  // purple
    hue_ramp(pal, BACKDROP, RAMP_LEN, 0.24, 0.42, 0.78);      // backdrop blue
    hue_ramp(pal, WOOD, 8, 0.60, 0.34, 0.14);
    hue_ramp(pal, EMBER, 7, 1.00, 0.50, 0.10);
    // The grid colour only ever appears in the font's source picture.
    set(pal, GRID_BORDER, 0.50, 0.50, 0.50);
}

BITMAP* blank(int w, int h) {
    BITMAP* b = create_bitmap_ex(8, w, h);
    clear_to_color(b, 0);
    return b;
}

int Mask::count() const {
    int n = 0;
    for (uint8_t v : bits) n += v;
    return n;
}

Mask make_mask(int w, int h, const Shape& inside) {
    Mask m(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) m.set(x, y, inside(x + 0.5, y + 0.5));
    return m;
}

bool in_polygon(double x, double y, const Points& pts) {
    bool in = false;
    size_t n = pts.size();
    for (size_t i = 0, j = n - 1; i < n; j = i++) {
        double xi = pts[i].first, yi = pts[i].second;
        double xj = pts[j].first, yj = pts[j].second;
        if ((yi > y) != (yj > y) && x < (xj - xi) * (y - yi) / (yj - yi) + xi) in = !in;
    }
    return in;
}

Mask mask_minus(const Mask& a, const Mask& b) {
    Mask r = a;
    for (int y = 0; y < a.h; ++y)
        for (int x = 0; x < a.w; ++x)
            if (b.at(x, y)) r.set(x, y, false);
    return r;
}

void shade_bevel(BITMAP* b, int ox, int oy, const Mask& m, int base, int bevel, int flat) {
    const double lx = -0.7071, ly = -0.7071;  // towards the light
    const int reach = bevel + 1;
    for (int y = 0; y < m.h; ++y) {
        for (int x = 0; x < m.w; ++x) {
            if (!m.at(x, y)) continue;
            bool rim = !m.at(x - 1, y) || !m.at(x + 1, y) || !m.at(x, y - 1) || !m.at(x, y + 1);
            double best = 1e9, sx = 0, sy = 0;
            for (int dy = -reach; dy <= reach; ++dy) {
                for (int dx = -reach; dx <= reach; ++dx) {
                    if (m.at(x + dx, y + dy)) continue;
                    double d = std::sqrt(static_cast<double>(dx * dx + dy * dy));
                    if (d < best) best = d;
                    if (d <= bevel + 0.5) {
                        sx += dx / (d * d * d);
                        sy += dy / (d * d * d);
                    }
                }
            }
            int level;
            if (best > bevel) {
                level = flat;
            } else {
                double len = std::sqrt(sx * sx + sy * sy);
                double t = len > 0 ? (sx * lx + sy * ly) / len : 0;
                level = flat + static_cast<int>(std::lround(t * 8.0));
                if (rim) level = t > 0.3 ? flat + 4 : 4;
            }
            putpixel(b, ox + x, oy + y, base + clamp_level(level));
        }
    }
}

void shade_sphere(BITMAP* b, int ox, int oy, const Mask& m, int base, double cx, double cy, double r) {
    double lx = -0.45, ly = -0.55, lz = 0.70;
    double ll = std::sqrt(lx * lx + ly * ly + lz * lz);
    lx /= ll;
    ly /= ll;
    lz /= ll;
    for (int y = 0; y < m.h; ++y) {
        for (int x = 0; x < m.w; ++x) {
            if (!m.at(x, y)) continue;
            double nx = (x + 0.5 - cx) / r, ny = (y + 0.5 - cy) / r;
            double q = 1.0 - nx * nx - ny * ny;
            double nz = q > 0 ? std::sqrt(q) : 0.0;
            double diff = nx * lx + ny * ly + nz * lz;
            if (diff < 0) diff = 0;
            // reflection of the light about the normal, seen from straight on
            double rz = 2 * diff * nz - lz;
            double shine = rz > 0 ? std::pow(rz, 14.0) : 0.0;
            int level = 6 + static_cast<int>(std::lround(diff * 18.0 + shine * 9.0));
            bool rim = !m.at(x - 1, y) || !m.at(x + 1, y) || !m.at(x, y - 1) || !m.at(x, y + 1);
            if (rim) level = level > 18 ? 14 : 4;
            putpixel(b, ox + x, oy + y, base + clamp_level(level));
        }
    }
}

void fill_mask(BITMAP* b, int ox, int oy, const Mask& m, int colour) {
    for (int y = 0; y < m.h; ++y)
        for (int x = 0; x < m.w; ++x)
            if (m.at(x, y)) putpixel(b, ox + x, oy + y, colour);
}

void add_outline(BITMAP* b, int colour) {
    BITMAP* src = blank(b->w, b->h);
    blit(b, src, 0, 0, 0, 0, b->w, b->h);
    for (int y = 0; y < b->h; ++y) {
        for (int x = 0; x < b->w; ++x) {
            if (getpixel(src, x, y) != 0) continue;
            auto lit = [&](int px, int py) {
                return px >= 0 && py >= 0 && px < b->w && py < b->h && getpixel(src, px, py) != 0;
            };
            if (lit(x - 1, y) || lit(x + 1, y) || lit(x, y - 1) || lit(x, y + 1)) putpixel(b, x, y, colour);
        }
    }
    destroy_bitmap(src);
}

void add_drop_shadow(BITMAP* b, int dx, int dy, int colour) {
    BITMAP* src = blank(b->w, b->h);
    blit(b, src, 0, 0, 0, 0, b->w, b->h);
    for (int y = 0; y < b->h; ++y)
        for (int x = 0; x < b->w; ++x) {
            int sx = x - dx, sy = y - dy;
            if (getpixel(b, x, y) == 0 && sx >= 0 && sy >= 0 && sx < b->w && sy < b->h &&
                getpixel(src, sx, sy) != 0)
                putpixel(b, x, y, colour);
        }
    destroy_bitmap(src);
}

}  // namespace art
