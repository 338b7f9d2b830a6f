// The game loop. This is the edge between the rules and the library: it
// reads the pointer and keys and draws frames; the rules it calls do not.
#include "play/game_loop.h"

#include <algorithm>
#include <cstring>

#include "board/board.h"
#include "board/groups.h"
#include "board/points.h"
#include "board/random.h"
#include "board/settle.h"
#include "board/undo.h"
#include "effects/banner.h"
#include "effects/pop.h"
#include "persist/daily.h"
#include "persist/game_save.h"
#include "persist/highscore.h"
#include "persist/stats.h"
#include "persist/screenshot.h"
#include "persist/settings.h"
#include "play/best_line.h"
#include "play/commands.h"
#include "play/game_over.h"
#include "play/watch.h"
#include "play/hint.h"
#include "shell/frame_clock.h"
#include "shell/input.h"
#include "shell/render.h"
#include "shell/shell.h"
#include "solver/solver.h"
#include "ui/dialogs.h"
#include "ui/info.h"

int32_t selection_size = 0;

namespace {

bool over_board(const PointerState& p)
{
    return p.x >= BOARD_X && p.x <= BOARD_X + BOARD_COLUMNS * CELL_SIZE - 1 && p.y >= BOARD_Y
           && p.y <= BOARD_Y + BOARD_ROWS * CELL_SIZE - 1;
}


// The player's pop: remembered for an undo, and saved.
void pop_selected_group()
{
    undo_remember();
    pop_marked_group();
    // Keys pressed while the animation played do nothing (an undo among them).
    forget_held_keys();
    // Kept after every pop, but for the last: an ended game never comes back.
    // Written after the keys are looked at, so a key pressed while the file
    // goes to disk still acts.
    if (any_move_left())
        save_game_in_progress();
    else
        forget_game_in_progress();
}

// Where the mouse was at the last frame of play; moving it hides the cursor.
PointerState last_pointer = {-1, -1, 0};

// A left press at the middle of a cell, as keys make one.
PointerState press_on_cell(int column, int row)
{
    return {BOARD_X + CELL_SIZE * column + CELL_SIZE / 2, BOARD_Y + CELL_SIZE * row + CELL_SIZE / 2, 1};
}

// Space or Enter stands in for a left press at the middle of the cursor's
// cell, so it takes the path and the random draws a click there would.
PointerState pointer_or_key_click(const PointerState& pointer)
{
    const bool space = key_press(KEY_SPACE);
    const bool enter = enter_press();
    if (!(space || enter) || !board_cursor.shown)
        return pointer;
    return press_on_cell(board_cursor.column, board_cursor.row);
}

void move_cursor(const PointerState& pointer)
{
    if (last_pointer.x >= 0 && (pointer.x != last_pointer.x || pointer.y != last_pointer.y))
        board_cursor.shown = false;
    last_pointer = pointer;
    const int right = key_press(KEY_RIGHT);
    const int left = key_press(KEY_LEFT);
    const int down = key_press(KEY_DOWN);
    const int up = key_press(KEY_UP);
    if (right + left + down + up == 0)
        return;
    // The first arrow only brings the cursor up, in the middle of the board.
    if (!board_cursor.shown) {
        board_cursor = {true, BOARD_COLUMNS / 2, BOARD_ROWS / 2};
        return;
    }
    board_cursor.column = std::clamp(board_cursor.column + right - left, 0, BOARD_COLUMNS - 1);
    board_cursor.row = std::clamp(board_cursor.row + down - up, 0, BOARD_ROWS - 1);
}

// The board changed under the player's hand (an undo, a redo, a restart):
// the selection goes, and a mouse button still down must be let go before
// it selects again. The game becomes an assisted one, and is saved as it is.
void board_replaced(ClickState& click_state)
{
    game_assisted = true;
    selection_size = 0;
    click_state = click_state == ClickState::selected || click_state == ClickState::idle ? ClickState::idle
                                                                                      : ClickState::consumed;
    save_game_in_progress();
}

bool shift_held() { return key[KEY_LSHIFT] || key[KEY_RSHIFT]; }
bool control_held() { return key[KEY_LCONTROL] || key[KEY_RCONTROL]; }

// U, Backspace or Ctrl+Z take the last pop back; Shift+U, Ctrl+Y or
// Ctrl+Shift+Z put it back again; R or F5 ask to restart the board from its
// deal. Each is looked at every frame, so none is left armed from long ago.
void history_keys(ClickState& click_state)
{
    const bool u = key_press(KEY_U);
    const bool backspace = key_press(KEY_BACKSPACE);
    const bool z = key_press(KEY_Z) && control_held();
    const bool y = key_press(KEY_Y) && control_held();
    const bool r = key_press(KEY_R);
    const bool f5 = key_press(KEY_F5);
    const bool redo = ((u || z) && shift_held()) || y;
    const bool undo = !redo && (u || z || backspace);
    if ((undo && undo_last_pop()) || (redo && redo_pop())) {
        board_replaced(click_state);
    } else if ((r || f5) && confirm_dialog("Restart this board?", nullptr)) {
        restart_deal();
        board_replaced(click_state);
    }
}

// Any key down but H, whose press asked for the hint.
bool other_key_down()
{
    for (int k = 1; k < KEY_MAX; ++k) {
        if (key[k] && k != KEY_H)
            return true;
    }
    return false;
}

// H asks for the first group of the best line the search finds on the board
// shown. The search runs beside the frames; when it ends, its group is
// selected as a first click on it would (it shakes, the cue sounds), with
// the cursor on it so that Space or Enter pops it. A hint already selected
// stays. A key, a press of a mouse button or a pop before then cancels it,
// and a board changed meanwhile drops its answer. The search takes no draw;
// a hint shown makes the game an assisted one.
void hint_key(ClickState& click_state, const PointerState& pointer)
{
    if (hint_pending() && (pointer.b != 0 || other_key_down()))
        hint_cancel();
    if (key_press(KEY_H))
        hint_request(colours_of(board), settings.game_mode);
    SolverMove first{};
    if (!hint_collect(colours_of(board), first))
        return;
    game_assisted = true;
    board_cursor = {true, first.column, first.row};
    if (board.at(first.column, first.row).marked && selection_size >= SMALLEST_GROUP)
        return;
    click_state = ClickState::idle;
    board_press_step(click_state, press_on_cell(first.column, first.row));
}

// Read as held, not pressed: as designed, a held Ctrl+P saves a picture
// every frame, unlike every other key.
bool screenshot_keys_held()
{
    return key[KEY_P] && (key[KEY_LCONTROL] || key[KEY_RCONTROL]);
}

} // namespace

void draw_play_frame()
{
    render_frame(true);
    present_frame();
}

void pop_marked_group()
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
    hint_cancel();
    empty_group(board, marked_cells(board));
    settle_board(board, settings.game_mode, settings.animations != 0);
}

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

LoopResult play_frame(ClickState& click_state)
{
    const PointerState pointer = read_pointer();
    tick_counter = 0;
    draw_play_frame();
    move_cursor(pointer);
    board_press_step(click_state, pointer_or_key_click(pointer));
    history_keys(click_state);
    hint_key(click_state, pointer);
    LoopResult loop_result = play_commands();
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

void begin_new_game(std::optional<uint32_t> number)
{
    if (number)
        new_game_numbered(*number);
    else
        new_game();
    banner_frames_left = 0;
    forget_game_in_progress();
    board_verdict.after_game = false;
    show_window_title();
    best_line_search(history.deal, settings.game_mode);
}

void begin_first_game(std::optional<uint32_t> number)
{
    // A game left unfinished comes back in place of the deal; a deal asked
    // for on the command line is offered over it, never dropped on it unasked.
    if (!load_game_in_progress()) {
        begin_new_game(number);
        return;
    }
    if (number)
        offer_deal(*number);
    show_window_title();
    best_line_search(history.deal, settings.game_mode);
}

bool run_game()
{
    set_palette(game_palette());
    ClickState click_state = ClickState::idle;
    forget_held_keys();
    LoopResult loop_result;
    do {
        loop_result = play_frame(click_state);
        wait_for_tick();
    } while (loop_result == LOOP_CONTINUE);
    hint_cancel();

    // A game left by quitting comes back at the next start; one that ended,
    // or was given up for a new one, does not.
    if (loop_result == LOOP_QUIT && (game_progress == GameProgress::in_progress || !history.redo.empty()))
        save_game_in_progress();
    else
        forget_game_in_progress();
    game_progress = GameProgress::finished;
    board_cursor.shown = false;
    if (loop_result == LOOP_GAME_OVER) {
        record_finished_game(settings.game_mode, uint32_t(score), board_empty() != 0, game_assisted);
        SolverLine best;
        const bool found = best_line_found(settings.game_mode, best);
        board_verdict = {true, !refills_from_left(settings.game_mode), score, found ? best.score : -1};
        if (history.deal_numbered && history.deal_number == todays_deal())
            record_daily_game(history.deal_number, settings.game_mode, uint32_t(score), game_assisted,
                              board_verdict.best);
        loop_result = play_game_over();
        while (loop_result == LOOP_WATCH) {
            watch_best_line();
            loop_result = game_over_wait();
        }
    }

    if (loop_result == LOOP_NEW_GAME) {
        int tiles_left = 0;
        for (Cell& cell : board.cells) {
            if (cell.colour != 0) {
                cell.marked = 1;
                ++tiles_left;
            }
        }
        // The old board goes in one of three animations; the deal refills every cell.
        if (tiles_left != 0)
            pop_animate(5, random_next() % 3 + 1);
        begin_new_game(take_asked_deal());
        board_fade_in(5);
        return false;
    }
    return true;
}
