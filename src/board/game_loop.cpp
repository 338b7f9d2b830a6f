// The game loop. This is the edge between the rules and the library: it
// reads the pointer and keys and draws frames; the rules it calls do not.
#include "board/game_loop.h"

#include <cstring>

#include "board/board.h"
#include "board/groups.h"
#include "board/random.h"
#include "board/settle.h"
#include "effects/banner.h"
#include "effects/pop.h"
#include "persist/highscore.h"
#include "persist/screenshot.h"
#include "persist/settings.h"
#include "shell/input.h"
#include "shell/render.h"
#include "shell/shell.h"
#include "ui/dialogs.h"
#include "ui/name_entry.h"

int32_t selection_size = 0;

namespace {

constexpr int SMALLEST_GROUP = 2;

void draw_frame()
{
    render_frame(true);
    present_frame();
}

bool over_board(const PointerState& p)
{
    return p.x >= BOARD_X && p.x <= BOARD_X + BOARD_COLUMNS * CELL_SIZE - 1 && p.y >= BOARD_Y
           && p.y <= BOARD_Y + BOARD_ROWS * CELL_SIZE - 1;
}

void pop_selected_group()
{
    const int32_t n = selection_size;
    const int32_t points = group_points(n);
    score += points;
    tiles_popped += n;
    game_progress = GameProgress::in_progress;
    show_points_banner(points);
    if (points < 50)
        pop_animate(10, POP_FADE);
    else if (points < 100)
        pop_animate(0, POP_SHRINK);
    else if (points < 150)
        pop_animate(0, POP_BURST);
    else
        pop_animate(5, POP_FLASH);
    settle_board();
}

bool screenshot_keys_held()
{
    return key[KEY_P] && (key[KEY_LCONTROL] || key[KEY_RCONTROL]);
}

void play_game_over(int& loop_result)
{
    HighScoreEntry candidate{};
    candidate.name[0] = '_';
    candidate.score = static_cast<uint32_t>(score);

    while (banner_frames_left != 0 || read_pointer().b != 0)
        draw_frame();
    panel_y = PANEL_HIDDEN_Y;
    game_over_panel_shown = 1;
    while (read_pointer().b == 0)
        draw_frame();
    game_over_panel_shown = 0;

    HighScoreTable& table = current_highscore_table();
    if (highscore_qualifies(table, candidate)) {
        // The entry edits a buffer of twelve bytes: ten characters, the
        // cursor and a zero byte. The row keeps the name and its zero byte.
        char name[NAME_ENTRY_BUFFER] = "_";
        enter_name("You got a highscore!", name);
        std::memcpy(candidate.name, name, sizeof candidate.name);
        candidate.name[sizeof candidate.name - 1] = '\0';
        highscore_replace_lowest(table, candidate);
        highscore_sort(table);
        draw_frame();
    }
    loop_result = game_over_wait();
}

} // namespace

void board_press_step(ClickState& click_state, const PointerState& pointer)
{
    if (over_board(pointer) && pointer.b == 1) {
        const int column = (pointer.x - BOARD_X) / CELL_SIZE;
        const int row = (pointer.y - BOARD_Y) / CELL_SIZE;
        if (click_state == ClickState::idle) {
            selection_size = clear_marks();
            if (board.at(column, row).colour != 0) {
                selection_size = find_group(column, row);
                click_state = ClickState::selecting;
            }
            if (selection_size == 1) {
                selection_size = clear_marks();
                click_state = ClickState::idle;
            }
            if (selection_size != 0)
                play_cue(OBJ_SND_CLICK);
        } else if (click_state == ClickState::selected) {
            // A press anywhere else on the board only drops the selection.
            if (board.at(column, row).marked && selection_size >= SMALLEST_GROUP)
                pop_selected_group();
            selection_size = clear_marks();
            click_state = ClickState::consumed;
        }
    } else if (pointer.b == 0) {
        if (click_state == ClickState::selecting)
            click_state = ClickState::selected;
        else if (click_state == ClickState::consumed)
            click_state = ClickState::idle;
    }
}

int play_frame(ClickState& click_state)
{
    const PointerState pointer = read_pointer();
    tick_counter = 0;
    draw_frame();
    board_press_step(click_state, pointer);
    int loop_result = handle_side_buttons();
    if (!any_move_left()) {
        if (board_empty()) {
            confirm_dialog("WOW! Empty board!", "250 bonus pts!!!");
            score += EMPTY_BOARD_BONUS;
        }
        // Game over wins over whatever the side buttons said this frame.
        loop_result = LOOP_GAME_OVER;
    }
    if (screenshot_keys_held())
        take_screenshot();
    return loop_result;
}

bool run_game()
{
    set_palette(game_palette());
    ClickState click_state = ClickState::idle;
    int loop_result;
    do {
        loop_result = play_frame(click_state);
        wait_for_tick();
    } while (loop_result == LOOP_CONTINUE);

    game_progress = GameProgress::finished;
    if (loop_result == LOOP_GAME_OVER)
        play_game_over(loop_result);

    if (loop_result == LOOP_NEW_GAME) {
        int tiles_left = 0;
        for (Cell& cell : board.cells) {
            if (cell.colour != 0) {
                cell.marked = 1;
                ++tiles_left;
            }
        }
        if (tiles_left != 0)
            pop_animate(5, random_next() % 3 + 1);
        new_game();
        board_fade_in(5);
        return false;
    }
    return true;
}
