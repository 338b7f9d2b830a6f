// The 25 tiles: five themes of five colours, each 19x19.
#include "art.h"

#include <cmath>

#include "common/catalogue.h"

namespace art {

namespace {

constexpr int S = TILE_SIZE;
constexpr double C = S / 2.0;  // centre in pixel-centre coordinates
constexpr double PI = 3.14159265358979323846;

// ---- theme 0: bevelled gems with a flat face --------------------------------
BITMAP* gem(int colour) {
    BITMAP* b = blank(S, S);
    Shape shape;
    switch (colour) {
    case 1:  // square cut: straight sides and small corners, so it never reads as round
        shape = [](double x, double y) {
            double dx = std::fabs(x - C), dy = std::fabs(y - C);
            return dx <= 8.6 && dy <= 8.6 && dx + dy <= 14.6;
        };
        break;
    case 2:  // diamond
        shape = [](double x, double y) { return std::fabs(x - C) + std::fabs(y - C) <= 9.8; };
        break;
    case 3:  // round
        shape = [](double x, double y) { return (x - C) * (x - C) + (y - C) * (y - C) <= 9.3 * 9.3; };
        break;
    case 4:  // hexagon
        shape = [](double x, double y) {
            double dx = std::fabs(x - C), dy = std::fabs(y - C);
            return dx <= 8.6 && dy + 0.55 * dx <= 9.7;
        };
        break;
    default:  // cross
        shape = [](double x, double y) {
            double dx = std::fabs(x - C), dy = std::fabs(y - C);
            return dx <= 9.2 && dy <= 9.2 && (dx <= 5.1 || dy <= 5.1);
        };
        break;
    }
    Mask m = make_mask(S, S, shape);
    shade_bevel(b, 0, 0, m, ramp_base(colour), 3);
    // a glint on the lit bevel
    for (int y = 0; y < S; ++y)
        for (int x = 0; x < S; ++x)
            if (m.at(x, y) && m.at(x + 1, y) && m.at(x, y + 1) && !m.at(x - 2, y - 2) && x + y < 16 &&
                x + y > 6 && std::abs(x - y) <= 1 && (x + 1 < 7 || y + 1 < 7)) {
                putpixel(b, x + 1, y + 1, ramp(colour, 31));
            }
    return b;
}

// ---- theme 1: dice ---------------------------------------------------------
BITMAP* die(int colour) {
    BITMAP* b = blank(S, S);
    Mask body = make_mask(S, S, [](double x, double y) {
        double dx = std::fabs(x - C) - 5.0, dy = std::fabs(y - C) - 5.0;
        if (dx < 0) dx = 0;
        if (dy < 0) dy = 0;
        return dx * dx + dy * dy <= 4.3 * 4.3;
    });
    shade_bevel(b, 0, 0, body, ramp_base(colour), 2, 17);
    static const int PIPS[5][5][2] = {
        {{9, 9}},
        {{5, 5}, {13, 13}},
        {{5, 5}, {9, 9}, {13, 13}},
        {{5, 5}, {13, 5}, {5, 13}, {13, 13}},
        {{5, 5}, {13, 5}, {9, 9}, {5, 13}, {13, 13}},
    };
    for (int i = 0; i < colour; ++i) {
        int px = PIPS[colour - 1][i][0], py = PIPS[colour - 1][i][1];
        // a round pip sunk into the face: dark upper rim, bright body
        for (int dy = -1; dy <= 1; ++dy)
            for (int dx = -1; dx <= 1; ++dx) {
                int c = (dx == 0 || dy == 0) ? grey(30) : grey(22);
                putpixel(b, px + dx, py + dy, c);
            }
        putpixel(b, px - 1, py - 2, ramp(colour, 8));
        putpixel(b, px, py - 2, ramp(colour, 8));
        putpixel(b, px + 1, py - 2, ramp(colour, 8));
        putpixel(b, px - 2, py, ramp(colour, 8));
        putpixel(b, px - 2, py - 1, ramp(colour, 9));
        putpixel(b, px, py, WHITE);
    }
    return b;
}

// ---- theme 2: flat crisp squares -------------------------------------------
// One silhouette for all five, so each carries a bold mark of its own: a
// dot, a ring, a triangle, a cross and bars, in a light and a dark ink that
// read on every colour.
BITMAP* square(int colour) {
    BITMAP* b = blank(S, S);
    rectfill(b, 1, 1, 17, 17, ramp(colour, 17));
    hline(b, 1, 1, 17, ramp(colour, 26));
    vline(b, 1, 1, 17, ramp(colour, 26));
    hline(b, 2, 2, 16, ramp(colour, 22));
    vline(b, 2, 2, 16, ramp(colour, 22));
    hline(b, 2, 17, 17, ramp(colour, 7));
    vline(b, 17, 2, 17, ramp(colour, 7));
    hline(b, 3, 16, 16, ramp(colour, 12));
    vline(b, 16, 3, 16, ramp(colour, 12));
    const int lite = ramp(colour, 29), dark = ramp(colour, 6);
    Mask mark(S, S);
    switch (colour) {
    case 1:  // a round dot
        mark = make_mask(S, S, [](double x, double y) { return (x - C) * (x - C) + (y - C) * (y - C) <= 4.6 * 4.6; });
        break;
    case 2:  // a square ring
        mark = make_mask(S, S, [](double x, double y) {
            double d = std::fmax(std::fabs(x - C), std::fabs(y - C));
            return d <= 5.6 && d >= 3.4;
        });
        break;
    case 3: {  // a triangle pointing up
        Points tri = {{C, 4.0}, {15.0, 14.5}, {4.0, 14.5}};
        mark = make_mask(S, S, [&](double x, double y) { return in_polygon(x, y, tri); });
        break;
    }
    case 4:  // a diagonal cross, two pixels thick
        mark = make_mask(S, S, [](double x, double y) {
            double dx = x - C, dy = y - C;
            return std::fabs(dx) <= 5.6 && std::fabs(dy) <= 5.6 && (std::fabs(dx - dy) <= 1.5 || std::fabs(dx + dy) <= 1.5);
        });
        break;
    default:  // three bars
        mark = make_mask(S, S, [](double x, double y) {
            int row = static_cast<int>(std::floor(y));
            return std::fabs(x - C) <= 5.6 && row >= 4 && row <= 14 && (row - 4) % 4 < 2;
        });
        break;
    }
    // the mark sits in the face like a light inlay with a dark shadow under it
    for (int y = S - 1; y >= 0; --y)
        for (int x = S - 1; x >= 0; --x)
            if (mark.at(x, y) && !mark.at(x + 1, y + 1)) putpixel(b, x + 1, y + 1, dark);
    fill_mask(b, 0, 0, mark, lite);
    return b;
}

// ---- theme 3: Christmas ------------------------------------------------------
BITMAP* bauble(int colour) {
    BITMAP* b = blank(S, S);
    const double cx = C, cy = 11.0, r = 7.6;
    Mask ball = make_mask(S, S, [&](double x, double y) { return (x - cx) * (x - cx) + (y - cy) * (y - cy) <= r * r; });
    shade_sphere(b, 0, 0, ball, ramp_base(colour), cx, cy, r);
    // a golden band round the middle
    for (int x = 0; x < S; ++x)
        if (ball.at(x, 11) && ball.at(x - 1, 11) && ball.at(x + 1, 11)) putpixel(b, x, 11, ramp(4, 26));
    // cap and hanging loop
    rectfill(b, 7, 2, 11, 3, grey(24));
    hline(b, 7, 2, 11, grey(30));
    putpixel(b, 8, 0, grey(26));
    putpixel(b, 10, 0, grey(26));
    putpixel(b, 9, 0, 0);
    putpixel(b, 8, 1, grey(20));
    putpixel(b, 10, 1, grey(20));
    return b;
}

BITMAP* tree(int colour) {
    BITMAP* b = blank(S, S);
    Points tiers[3] = {
        {{9.5, 1.5}, {14.5, 7.5}, {4.5, 7.5}},
        {{9.5, 4.5}, {16.0, 11.5}, {3.0, 11.5}},
        {{9.5, 7.5}, {17.5, 15.5}, {1.5, 15.5}},
    };
    Mask m = make_mask(S, S, [&](double x, double y) {
        return in_polygon(x, y, tiers[0]) || in_polygon(x, y, tiers[1]) || in_polygon(x, y, tiers[2]);
    });
    shade_bevel(b, 0, 0, m, ramp_base(colour), 2, 16);
    rectfill(b, 8, 16, 10, 18, WOOD + 3);
    vline(b, 8, 16, 18, WOOD + 5);
    // star on top, lights
    putpixel(b, 9, 0, ramp(4, 30));
    putpixel(b, 9, 1, ramp(4, 26));
    putpixel(b, 8, 1, ramp(4, 22));
    putpixel(b, 10, 1, ramp(4, 22));
    putpixel(b, 7, 7, ramp(1, 26));
    putpixel(b, 12, 10, ramp(4, 28));
    putpixel(b, 6, 13, ramp(3, 28));
    putpixel(b, 13, 14, ramp(1, 26));
    putpixel(b, 9, 11, ramp(5, 28));
    return b;
}

BITMAP* snowflake(int colour) {
    BITMAP* b = blank(S, S);
    Mask disc = make_mask(S, S, [](double x, double y) { return (x - C) * (x - C) + (y - C) * (y - C) <= 9.2 * 9.2; });
    shade_sphere(b, 0, 0, disc, ramp_base(colour), C, C, 9.2);
    // darken the disc so the white flake stands out
    for (int y = 0; y < S; ++y)
        for (int x = 0; x < S; ++x)
            if (disc.at(x, y)) {
                int v = getpixel(b, x, y) - ramp_base(colour);
                putpixel(b, x, y, ramp(colour, v - 5));
            }
    Mask flake(S, S);
    for (int arm = 0; arm < 6; ++arm) {
        double a = arm * PI / 3 + PI / 2;
        double ux = std::cos(a), uy = -std::sin(a);
        for (double t = 0; t <= 7.2; t += 0.25) flake.set(static_cast<int>(std::floor(C + ux * t)), static_cast<int>(std::floor(C + uy * t)), true);
        for (int side = -1; side <= 1; side += 2) {
            double ba = a + side * PI / 4;
            double bx = std::cos(ba), by = -std::sin(ba);
            for (double t = 0; t <= 2.4; t += 0.25)
                flake.set(static_cast<int>(std::floor(C + ux * 4.5 + bx * t)), static_cast<int>(std::floor(C + uy * 4.5 + by * t)), true);
        }
    }
    for (int y = 0; y < S; ++y)
        for (int x = 0; x < S; ++x)
            if (flake.at(x, y)) putpixel(b, x, y, (x + y) % 3 ? grey(29) : WHITE);
    putpixel(b, 9, 9, WHITE);
    return b;
}

BITMAP* star(int colour) {
    BITMAP* b = blank(S, S);
    Points pts;
    for (int i = 0; i < 10; ++i) {
        double a = -PI / 2 + i * PI / 5;
        double r = (i % 2) ? 4.1 : 9.6;
        pts.push_back({C + r * std::cos(a), 10.2 + r * std::sin(a)});
    }
    Mask m = make_mask(S, S, [&](double x, double y) { return in_polygon(x, y, pts); });
    shade_bevel(b, 0, 0, m, ramp_base(colour), 2, 19);
    putpixel(b, 9, 10, ramp(colour, 30));
    return b;
}

BITMAP* bell(int colour) {
    BITMAP* b = blank(S, S);
    Points pts = {{9.5, 1.5}, {12.5, 2.5}, {14.0, 5.0}, {14.5, 10.0}, {17.5, 14.5}, {17.5, 15.8},
                  {1.5, 15.8}, {1.5, 14.5}, {4.5, 10.0}, {5.0, 5.0}, {6.5, 2.5}};
    Mask m = make_mask(S, S, [&](double x, double y) { return in_polygon(x, y, pts); });
    shade_bevel(b, 0, 0, m, ramp_base(colour), 2, 18);
    hline(b, 3, 13, 15, ramp(4, 24));  // gold rim
    circlefill(b, 9, 17, 1, ramp(4, 22));
    putpixel(b, 9, 17, ramp(4, 30));
    putpixel(b, 9, 0, ramp(4, 20));
    return b;
}

// ---- theme 4: eaters and ghosts ----------------------------------------------
// An eater facing right, its mouth open.
BITMAP* eater(int colour) {
    BITMAP* b = blank(S, S);
    const double r = 9.0;
    Mask m = make_mask(S, S, [&](double x, double y) {
        double dx = x - C, dy = y - C;
        if (dx * dx + dy * dy > r * r) return false;
        return !(dx > 0 && std::fabs(dy) < dx * 0.62);  // open mouth
    });
    shade_sphere(b, 0, 0, m, ramp_base(colour), C, C, r);
    putpixel(b, 10, 4, INK_OUTLINE);
    putpixel(b, 11, 4, INK_OUTLINE);
    putpixel(b, 10, 5, INK_OUTLINE);
    putpixel(b, 11, 5, INK_DEEP);
    return b;
}

// A ghost looking right, or frightened.
BITMAP* ghost(int colour, bool frightened) {
    BITMAP* b = blank(S, S);
    Mask m = make_mask(S, S, [](double x, double y) {
        double dx = x - C;
        if (y < 9.5) return dx * dx + (y - 9.5) * (y - 9.5) <= 8.6 * 8.6;
        if (std::fabs(dx) > 8.6) return false;
        if (y < 15.5) return true;
        // three wavy feet
        double phase = std::fmod(x - 1.0 + 60.0, 5.8) / 5.8;
        return y < 16.0 + 2.6 * std::sin(phase * PI);
    });
    shade_bevel(b, 0, 0, m, ramp_base(colour), 2, 18);
    if (frightened) {  // small eyes, wobbly mouth
        rectfill(b, 6, 7, 7, 8, ramp(4, 30));
        rectfill(b, 11, 7, 12, 8, ramp(4, 30));
        for (int x = 4; x <= 14; ++x) putpixel(b, x, (x % 2) ? 12 : 13, ramp(4, 30));
        return b;
    }
    // eyes: white with pupils looking right
    for (int e = 0; e < 2; ++e) {
        int ex = e ? 11 : 5;
        rectfill(b, ex, 6, ex + 3, 10, WHITE);
        putpixel(b, ex, 6, grey(26));
        putpixel(b, ex + 3, 6, grey(26));
        putpixel(b, ex, 10, grey(26));
        putpixel(b, ex + 3, 10, grey(26));
        rectfill(b, ex + 2, 7, ex + 3, 8, ramp(3, 10));
    }
    return b;
}

// A pear: the one green piece of the arcade set, a fruit with a stalk and a
// leaf, so it never looks like the eater of the same size.
BITMAP* pear(int colour) {
    BITMAP* b = blank(S, S);
    Mask m = make_mask(S, S, [](double x, double y) {
        double dx = x - C;
        if (dx * dx + (y - 12.6) * (y - 12.6) <= 5.9 * 5.9) return true;
        if (dx * dx + (y - 6.6) * (y - 6.6) <= 3.4 * 3.4) return true;
        // the waist between the two bulges
        return y >= 6.6 && y <= 12.6 && std::fabs(dx) <= 3.4 + (y - 6.6) / 6.0 * 2.5 - 0.6;
    });
    shade_sphere(b, 0, 0, m, ramp_base(colour), C, 11.0, 7.6);
    // stalk and leaf
    vline(b, 9, 1, 3, WOOD + 2);
    putpixel(b, 10, 0, WOOD + 3);
    putpixel(b, 11, 2, ramp(colour, 12));
    putpixel(b, 12, 1, ramp(colour, 16));
    putpixel(b, 13, 1, ramp(colour, 12));
    putpixel(b, 12, 2, ramp(colour, 10));
    return b;
}

// A bunch of grapes: six small berries in a hanging triangle.
BITMAP* grapes(int colour) {
    BITMAP* b = blank(S, S);
    static const double BERRIES[6][2] = {{4.0, 7.0}, {9.5, 7.0}, {15.0, 7.0}, {6.75, 11.8}, {12.25, 11.8}, {9.5, 16.0}};
    const double r = 2.95;
    for (const auto& p : BERRIES) {
        double cx = p[0], cy = p[1];
        Mask m = make_mask(S, S, [&](double x, double y) { return (x - cx) * (x - cx) + (y - cy) * (y - cy) <= r * r; });
        shade_sphere(b, 0, 0, m, ramp_base(colour), cx, cy, r);
    }
    vline(b, 9, 1, 3, WOOD + 2);
    putpixel(b, 10, 1, WOOD + 3);
    hline(b, 11, 1, 13, ramp(2, 14));
    hline(b, 12, 2, 14, ramp(2, 9));
    putpixel(b, 12, 0, ramp(2, 18));
    return b;
}

}  // namespace

BITMAP* make_tile(int theme, int colour) {
    switch (theme) {
    case 0:
        return gem(colour);
    case 1:
        return die(colour);
    case 2:
        return square(colour);
    case 3:
        switch (colour) {
        case 1: return bauble(colour);
        case 2: return tree(colour);
        case 3: return snowflake(colour);
        case 4: return star(colour);
        default: return bell(colour);
        }
    default:
        switch (colour) {
        case 1: return ghost(colour, false);
        case 2: return pear(colour);
        case 3: return ghost(colour, true);
        case 4: return eater(colour);
        default: return grapes(colour);
        }
    }
}

}  // namespace art
