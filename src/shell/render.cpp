// Every frame is composed here from the whole game state, in a fixed order,
// into the back buffer, and shown with one copy to the screen.
#include "shell/render.h"

#include <cstring>

#include "board/board.h"
#include "board/random.h"
#include "effects/banner.h"
#include "effects/particles.h"
#include "persist/settings.h"
#include "shell/background.h"
#include "shell/display.h"
#include "shell/input.h"
#include "shell/frame_clock.h"
#include "shell/shell.h"
#include "ui/dialogs.h"
#include "ui/highscore_display.h"
#include "ui/options.h"

uint8_t frame_counter = 0;
unsigned long frames_presented = 0;
BoardCursor board_cursor = {false, BOARD_COLUMNS / 2, BOARD_ROWS / 2};

namespace {

// The 320 x 240 picture the screen shows now.
BITMAP* presented = nullptr;

bool same_picture(BITMAP* a, BITMAP* b)
{
    for (int y = 0; y < SCREEN_HEIGHT; ++y) {
        if (std::memcmp(a->line[y], b->line[y], SCREEN_WIDTH) != 0)
            return false;
    }
    return true;
}

// Runs a moved tile's displacement down by 4 pixels: sideways first, then
// the fall, so a tile first slides in and then drops.
void decay_offsets(Cell& cell)
{
    if (cell.offset_x > 0)
        cell.offset_x -= 4;
    else if (cell.offset_x < 0)
        cell.offset_x += 4;
    else if (cell.offset_y > 0)
        cell.offset_y -= 4;
    else if (cell.offset_y < 0)
        cell.offset_y += 4;
}

// Tiles drawn plain are drawn from run-length copies made on first use: the
// same pixels, without testing every transparent one again each frame.
RLE_SPRITE* plain_tile(int index)
{
    static RLE_SPRITE* runs[OBJ_TILE_LAST + 1] = {};
    if (runs[index] == nullptr)
        runs[index] = get_rle_sprite(sprite(index));
    return runs[index];
}

void draw_board()
{
    color_map = &dark_light_table;
    for (int column = 0; column < BOARD_COLUMNS; ++column) {
        for (int row = 0; row < BOARD_ROWS; ++row) {
            Cell& cell = board.at(column, row);
            if (cell.colour == 0)
                continue;  // empty cells keep whatever offsets they hold
            const int tile_index = OBJ_TILE_BASE + 5 * settings.theme + cell.colour;
            BITMAP* tile = sprite(tile_index);
            const int home_x = BOARD_X + CELL_SIZE * column;
            const int home_y = BOARD_Y + CELL_SIZE * row;
            const bool shaking = cell.flash > 0 || cell.light > 0 || (cell.light == 0 && cell.marked);
            int shake_x = 0;
            int shake_y = 0;
            if (shaking) {
                // y is drawn before x: the order of draws is part of the game.
                shake_y = home_y - 1 + random_next() % 3;
                shake_x = home_x - 1 + random_next() % 3;
            }
            if (cell.flash > 0) {
                // The white table stays current for the rest of the pass.
                color_map = &white_light_table;
                draw_lit_sprite(BackBuffer, tile, shake_x, shake_y, cell.flash);
            } else if (cell.light > 0) {
                draw_lit_sprite(BackBuffer, tile, shake_x, shake_y, cell.light);
            } else if (cell.light < 0) {
                // Shrinks about the cell's middle; the shift rounds toward minus infinity.
                const int half = cell.light >> 1;
                stretch_sprite(BackBuffer, tile, home_x - half, home_y - half, TILE_SIZE + cell.light,
                               TILE_SIZE + cell.light);
            } else if (cell.marked) {
                draw_rle_sprite(BackBuffer, plain_tile(tile_index), shake_x, shake_y);
            } else {
                draw_rle_sprite(BackBuffer, plain_tile(tile_index), home_x + cell.offset_x, home_y + cell.offset_y);
            }
            decay_offsets(cell);
        }
    }
}

void draw_side_panel_numbers()
{
    FONT* f = game_font();
    textprintf_right_ex(BackBuffer, f, 310, 19, -1, -1, "%d", score);
    textprintf_right_ex(BackBuffer, f, 310, 69, -1, -1, "%d", tiles_popped);
    textprintf_right_ex(BackBuffer, f, 310, 119, -1, -1, "%s", MODE_TAGS[settings.game_mode]);
}

} // namespace

void render_frame(bool draw_pointer)
{
    const PointerState pointer = read_pointer();
    ++frame_counter;
    blit(BackgroundBitmap, BackBuffer, 0, 0, 0, 0, SCREEN_WIDTH, SCREEN_HEIGHT);
    draw_board();
    if (board_cursor.shown) {
        // Round the cell, over the gaps and the edge pixels of the tiles about it.
        const int x = BOARD_X + CELL_SIZE * board_cursor.column;
        const int y = BOARD_Y + CELL_SIZE * board_cursor.row;
        draw_key_frame(BackBuffer, x - 2, y - 2, x + CELL_SIZE, y + CELL_SIZE);
    }
    draw_points_banner();
    if (hovered_side_button >= 0 && hovered_side_button <= 2)
        draw_sprite(BackBuffer, sprite(OBJ_SIDE_HOVER), SIDE_BUTTON_X[hovered_side_button],
                    SIDE_BUTTON_Y[hovered_side_button]);
    if (highscores_shown)
        draw_highscore_overlay();
    draw_game_over_panel();
    draw_side_panel_numbers();
    particles_update();
    if (options_open)
        options_frame();
    if (draw_pointer)
        draw_sprite(BackBuffer, sprite(OBJ_POINTER), pointer.x, pointer.y);
}

void clear_screen()
{
    clear_to_color(screen, 0);
    if (presented != nullptr)
        clear_to_color(presented, 0);
}

BITMAP* last_presented_frame()
{
    return presented != nullptr ? presented : BackBuffer;
}

void present_frame()
{
    ++frames_presented;
    if (screen == nullptr)
        return;  // no display: tests compose frames into memory only
    // While the player looks elsewhere the game waits here, whichever loop
    // it is in, with this frame composed and not yet shown: it goes on from
    // the same state and the same draws when the player is back.
    rest_while_unwatched();
    const bool switched = take_screen_switch();
    wait_for_frame();
    // A frame identical to the one on the screen is not copied again: on an
    // idle board most frames are, and an enlarged copy is what costs.
    if (presented == nullptr)
        presented = create_bitmap(SCREEN_WIDTH, SCREEN_HEIGHT);
    else if (!switched && same_picture(BackBuffer, presented))
        return;
    if (presented != nullptr)
        blit(BackBuffer, presented, 0, 0, 0, 0, SCREEN_WIDTH, SCREEN_HEIGHT);
    const PicturePlace at = picture_place;
    acquire_screen();
    if (at.scale == 1)
        blit(BackBuffer, screen, 0, 0, at.left, at.top, SCREEN_WIDTH, SCREEN_HEIGHT);
    else
        stretch_blit(BackBuffer, screen, 0, 0, SCREEN_WIDTH, SCREEN_HEIGHT, at.left, at.top, SCREEN_WIDTH * at.scale,
                     SCREEN_HEIGHT * at.scale);
    release_screen();
}
