// The picture behind everything, the board well and its soft shadow, the
// head-up boxes, the logo and the side buttons: drawn once at start-up.
#include "shell/background.h"

#include "shell/shell.h"

void draw_framed_box(BITMAP* bitmap, int x1, int y1, int x2, int y2, int colour)
{
    rectfill(bitmap, x1, y1, x2, y2, colour);
    // The edge lines are lit draws of level 170: the dark table takes a third
    // of the way toward black, the white one a third toward white. The
    // top-right and bottom-left corner pixels are left as they were.
    drawing_mode(DRAW_MODE_TRANS, nullptr, 0, 0);
    color_map = &dark_light_table;
    hline(bitmap, x1, y1 - 1, x2, 170);
    vline(bitmap, x1 - 1, y1 - 1, y2, 170);
    color_map = &white_light_table;
    vline(bitmap, x2 + 1, y1, y2 + 1, 170);
    hline(bitmap, x1, y2 + 1, x2, 170);
    solid_mode();
}

void draw_key_frame(BITMAP* bitmap, int x1, int y1, int x2, int y2)
{
    rect(bitmap, x1, y1, x2, y2, COLOUR_OUTLINE);
    rect(bitmap, x1 + 1, y1 + 1, x2 - 1, y2 - 1, COLOUR_KEY_FRAME);
    rect(bitmap, x1 + 2, y1 + 2, x2 - 2, y2 - 2, COLOUR_OUTLINE);
}

void build_background()
{
    BITMAP* bg = BackgroundBitmap;
    draw_sprite(bg, sprite(OBJ_BACKGROUND), 0, 0);

    // The board well: a quarter of the way toward colour 0.
    drawing_mode(DRAW_MODE_TRANS, nullptr, 0, 0);
    color_map = &trans_table_64;
    rectfill(bg, 19, 9, 219, 169, 0);

    // The shadow: nested rectangles, each darkening all it covers, so the
    // shadow deepens one pixel at a time toward the well.
    color_map = &dark_light_table;
    rectfill(bg, 18, 8, 220, 170, 100);
    rectfill(bg, 17, 7, 221, 171, 140);
    rectfill(bg, 16, 6, 222, 172, 180);
    rectfill(bg, 15, 5, 223, 173, 220);
    solid_mode();

    draw_framed_box(bg, 240, 20, 310, 35, 0);
    draw_framed_box(bg, 240, 70, 310, 85, 0);
    draw_framed_box(bg, 240, 120, 310, 135, 0);

    // The logo with a faint halo either side.
    color_map = &trans_table_64;
    draw_trans_sprite(bg, sprite(OBJ_LOGO), 21, 180);
    draw_trans_sprite(bg, sprite(OBJ_LOGO), 19, 180);
    draw_sprite(bg, sprite(OBJ_LOGO), 20, 180);

    draw_sprite(bg, sprite(OBJ_LABEL_SCORE), 235, 13);
    draw_sprite(bg, sprite(OBJ_LABEL_TILES), 235, 63);
    draw_sprite(bg, sprite(OBJ_LABEL_MODE), 235, 113);

    for (int i = 0; i < 3; ++i)
        draw_sprite(bg, sprite(OBJ_SIDE_BUTTON), SIDE_BUTTON_X[i], SIDE_BUTTON_Y[i]);

    // The first label is a plain sprite, the other two run-length ones.
    const auto label_x = [](int i) { return SIDE_BUTTON_X[i] + SIDE_LABEL_DX; };
    const auto label_y = [](int i) { return SIDE_BUTTON_Y[i] + SIDE_LABEL_DY; };
    draw_sprite(bg, sprite(OBJ_LABEL_NEW_GAME), label_x(0), label_y(0));
    draw_rle_sprite(bg, static_cast<RLE_SPRITE*>(Datafile[OBJ_LABEL_OPTIONS].dat), label_x(1), label_y(1));
    draw_rle_sprite(bg, static_cast<RLE_SPRITE*>(Datafile[OBJ_LABEL_QUIT].dat), label_x(2), label_y(2));
}
