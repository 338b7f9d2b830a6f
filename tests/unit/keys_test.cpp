// Keyboard play and undo, driven frame by frame in-process with scripted keys
// and pointer.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "board/board.h"
#include "play/game_loop.h"
#include "play/game_over.h"
#include "play/watch.h"
#include "play/hint.h"
#include "board/groups.h"
#include "board/random.h"
#include "board/undo.h"
#include "board_text.h"
#include "effects/banner.h"
#include "persist/highscore.h"
#include "persist/settings.h"
#include "play/best_line.h"
#include "shell/frame_clock.h"
#include "shell/input.h"
#include "shell/render.h"
#include "shell/shell.h"
#include "solver/solver.h"
#include "test_env.h"
#include "ui/highscore_display.h"

namespace {

constexpr PointerState PARKED{300, 10, 0};
constexpr PointerState NEW_GAME_BUTTON{208, 188, 0};
constexpr PointerState YES{100, 120, 0};

// Every look at the pointer is counted: a game left waiting for something the
// script never gives ends the test, saying what it was waiting for.
int looks = 0;
int most_looks = 3000;
const char* stuck = "";
PointerState mouse = PARKED;
PointerState (*script)(int look) = nullptr;

PointerState scripted()
{
    if (++looks > most_looks) {
        std::fprintf(stderr, "FAIL: %s\n", stuck);
        std::exit(1);
    }
    // The script stands in for the frame tick too, so run_game's wait ends.
    tick_counter = 1;
    return script != nullptr ? script(looks) : mouse;
}

// The left button down for two looks in five: no loop's period of looks
// keeps it always up or always down.
PointerState clicking(PointerState p, int look) { return {p.x, p.y, look % 5 < 2 ? 1 : 0}; }

// The first cell, in storage order, of a group of two or more.
bool some_group(int& column, int& row)
{
    for (column = 0; column < BOARD_COLUMNS; ++column) {
        for (row = 0; row < BOARD_ROWS; ++row) {
            const int size = board.at(column, row).colour != 0 ? find_group(column, row) : 0;
            clear_marks();
            if (size >= 2)
                return true;
        }
    }
    return false;
}

class Keys : public ::testing::Test {
protected:
    void SetUp() override
    {
        start_headless_with_archive();
        settings = Settings{0, 0, MODE_TRADITIONAL, 0, 0};
        set_pointer_source(scripted);
        looks = 0;
        most_looks = 3000;
        stuck = "the game waited for something the script never gives";
        script = nullptr;
        mouse = PARKED;
        deal();
    }
    void TearDown() override
    {
        set_pointer_source(nullptr);
        std::memset(const_cast<char*>(key), 0, KEY_MAX);
    }
    void deal()
    {
        random_restart();
        begin_new_game();
        selection_size = 0;
        state = ClickState::idle;
        board_cursor.shown = false;
        forget_held_keys();
    }
    void frame() { play_frame(state); }
    void tap(int scancode)
    {
        key[scancode] = 1;
        frame();
        key[scancode] = 0;
        frame();
    }
    // Walks the cursor to the cell and presses Space twice; returns the arrows pressed.
    int pop_by_keys(int column, int row)
    {
        int arrows = 0;
        for (; !board_cursor.shown || board_cursor.column != column || board_cursor.row != row; ++arrows) {
            if (board_cursor.shown && board_cursor.column != column)
                tap(board_cursor.column < column ? KEY_RIGHT : KEY_LEFT);
            else
                tap(board_cursor.row < row ? KEY_DOWN : KEY_UP);
        }
        tap(KEY_SPACE);
        tap(KEY_SPACE);
        return arrows;
    }
    void pop_by_mouse(int column, int row, int idle_frames)
    {
        for (int i = 0; i < idle_frames; ++i)
            frame();
        for (int look = 0; look < 4; ++look) {
            mouse = {BOARD_X + CELL_SIZE * column + 10, BOARD_Y + CELL_SIZE * row + 10, 1 - look % 2};
            frame();
        }
        mouse = PARKED;
    }

    ClickState state = ClickState::idle;
};

// The marked cells of a board, '#' each, in storage order.
template <class B>
std::string marks(const B& on)
{
    std::string text;
    for (const auto& cell : on.cells)
        text += cell.marked ? '#' : '.';
    return text;
}

} // namespace

TEST_F(Keys, HSelectsTheFirstPopOfTheSearchsLineWithTheCursorOnIt)
{
    // Popping the 2s first joins the 1s into a group of four: the search
    // begins there, greedy play with the first pair of 1s.
    set_board("..........\n..........\n.........1\n.........1\n"
              ".........2\n.........2\n.........1\n.........1");
    ColourBoard planned = colours_of(board), greedy = planned;
    const SolverMove first = solve_board(planned, MODE_TRADITIONAL, hint_limits()).moves.at(0);
    const SolverMove largest = greedy_line(greedy, MODE_TRADITIONAL).moves.at(0);
    find_group(planned, first.column, first.row);
    find_group(greedy, largest.column, largest.row);
    ASSERT_NE(marks(planned), marks(greedy)) << "the board tells the search from greedy play";

    tap(KEY_H);
    // The search runs beside the frames: once it has ended, the selection
    // shows within a few frames.
    hint_wait();
    for (int frames = 0; selection_size == 0 && frames < 10; ++frames)
        frame();
    EXPECT_EQ(marks(board), marks(planned)) << "H selects the first pop of the search's line";
    EXPECT_EQ(selection_size, 2);
    EXPECT_TRUE(board_cursor.shown && board.at(board_cursor.column, board_cursor.row).marked) << "the cursor is on it";
    EXPECT_TRUE(game_assisted);
    frame();  // the hint's press is let go, as a click's is
    tap(KEY_SPACE);
    EXPECT_EQ(score, 3) << "Space pops it";
}

TEST_F(Keys, ThreePopsByKeysTakeTheMousesDrawsAndThreeUndosGiveBackTheDeal)
{
    const std::string dealt = board_text();
    int cells[3][3];
    std::string after_pop[3];
    for (int n = 0; n < 3; ++n) {
        int* c = cells[n];
        ASSERT_TRUE(some_group(c[0], c[1]));
        c[2] = pop_by_keys(c[0], c[1]);
        after_pop[n] = board_text();
    }
    const std::string after_keys = board_text();
    const int32_t score_by_keys = score;
    const uint64_t draws_by_keys = random_draws();

    tap(KEY_U);
    tap(KEY_BACKSPACE);
    tap(KEY_U);
    EXPECT_EQ(board_text(), dealt) << "three undos give back the deal";
    EXPECT_EQ(score, 0);
    EXPECT_EQ(tiles_popped, 0);
    EXPECT_EQ(game_progress, GameProgress::fresh);
    EXPECT_TRUE(game_assisted);
    const uint64_t draws_with_undos = random_draws();

    // The same game by mouse, with an idle frame for every frame a key took.
    deal();
    for (const auto& c : cells)
        pop_by_mouse(c[0], c[1], 2 * c[2]);
    EXPECT_EQ(board_text(), after_keys);
    EXPECT_EQ(score, score_by_keys);
    EXPECT_EQ(random_draws(), draws_by_keys) << "a key press takes exactly the draws of the click";
    EXPECT_FALSE(game_assisted);
    for (int i = 0; i < 6; ++i)
        frame();
    EXPECT_EQ(random_draws(), draws_with_undos) << "undo takes no draw";

    for (int i = 0; i < 3; ++i)
        tap(KEY_U);
    ASSERT_EQ(board_text(), dealt);
    // Shift+U and Ctrl+Shift+Z redo a pop each; a new pop empties what is
    // left to redo; a restart empties both lists.
    key[KEY_LSHIFT] = 1;
    tap(KEY_U);
    EXPECT_EQ(board_text(), after_pop[0]) << "Shift+U redoes the first pop";
    key[KEY_LCONTROL] = 1;
    tap(KEY_Z);
    key[KEY_LCONTROL] = 0;
    key[KEY_LSHIFT] = 0;
    EXPECT_EQ(board_text(), after_pop[1]) << "Ctrl+Shift+Z redoes the second pop";
    ASSERT_EQ(history.redo.size(), 1u);
    int column = 0;
    int row = 0;
    ASSERT_TRUE(some_group(column, row));
    pop_by_keys(column, row);
    EXPECT_TRUE(history.redo.empty()) << "a new pop leaves something to redo";
    const std::string after_new_pop = board_text();
    key[KEY_LSHIFT] = 1;
    tap(KEY_U);
    key[KEY_LSHIFT] = 0;
    EXPECT_EQ(board_text(), after_new_pop) << "Shift+U after a new pop changes nothing";
    tap(KEY_U);
    ASSERT_FALSE(history.redo.empty());
    ASSERT_FALSE(history.undo.empty());
    script = [](int look) { return clicking(YES, look); };
    tap(KEY_R);
    script = nullptr;
    EXPECT_EQ(board_text(), dealt) << "R and Yes restart the deal";
    EXPECT_TRUE(history.undo.empty() && history.redo.empty()) << "a restart leaves something to undo or redo";
}

TEST_F(Keys, UndoInARefillModeGivesBackTheBoardBeforeThePopAtOnce)
{
    settings.game_mode = MODE_MEGASHIFTER;
    settings.animations = 1;  // moved tiles slide only with animations on
    deal();
    int column = 0;
    int row = 0;
    ASSERT_TRUE(some_group(column, row));
    pop_by_keys(column, row);
    const std::string before = board_text();
    const int32_t score_before = score;
    ASSERT_TRUE(some_group(column, row));
    pop_by_keys(column, row);
    ASSERT_NE(board_text(), before);
    // A selection made after the pop is dropped with it.
    ASSERT_TRUE(some_group(column, row));
    board_cursor = {true, column, row};
    tap(KEY_SPACE);
    ASSERT_NE(selection_size, 0);

    // Looked at in the frame of the press, before any frame runs slides down.
    key[KEY_U] = 1;
    frame();
    EXPECT_EQ(selection_size, 0);
    EXPECT_EQ(board_text(), before);
    EXPECT_EQ(offsets_text(), "") << "the undone board shows at once, nothing slides";
    EXPECT_EQ(score, score_before);
    mouse.x += 1;
    frame();
    EXPECT_FALSE(board_cursor.shown) << "moving the mouse hides the cursor";
}

TEST_F(Keys, AHintCancelledByAKeyLeavesNoSelectionAndAnswerAndTakesNoDraw)
{
    const uint64_t draws = random_draws();
    key[KEY_H] = 1;
    frame();
    key[KEY_H] = 0;
    key[KEY_LEFT] = 1;  // before the answer, whenever it comes
    frame();
    key[KEY_LEFT] = 0;
    EXPECT_FALSE(hint_pending());
    hint_wait();  // an answer not cancelled would be shown by the next frame
    frame();
    EXPECT_EQ(selection_size, 0);
    for (const Cell& cell : board.cells)
        ASSERT_EQ(cell.marked, 0) << "nothing is selected";
    EXPECT_FALSE(game_assisted);
    EXPECT_EQ(random_draws(), draws);

    // Asked again and left to finish: the search takes no draw, and its
    // group is selected as a click on it selects.
    key[KEY_H] = 1;
    frame();
    key[KEY_H] = 0;
    hint_wait();
    EXPECT_EQ(random_draws(), draws);
    frame();
    EXPECT_GE(selection_size, 2);
    EXPECT_TRUE(board.at(board_cursor.column, board_cursor.row).marked) << "the cursor is on the hinted group";
    EXPECT_TRUE(game_assisted);
}

TEST_F(Keys, TheWatchedBestLineReplaysLegallyToTheScoreFoundForTheDeal)
{
    best_line_wait();
    SolverLine best;
    ASSERT_TRUE(best_line_found(MODE_TRADITIONAL, best));
    int column = 0;
    int row = 0;
    ASSERT_TRUE(some_group(column, row));
    pop_by_keys(column, row);  // the game played goes elsewhere
    const uint64_t pops = best.moves.size();
    most_looks = 20000;  // every pop is watched for a while
    EXPECT_TRUE(watch_best_line()) << "every pop of the line met a group";
    EXPECT_EQ(score, best.score) << pops << " pops";
    EXPECT_EQ(board_empty() != 0, best.cleared);
    EXPECT_FALSE(any_move_left()) << "the line plays to the end of the game";
}

TEST_F(Keys, AnAssistedGameAsksNoName)
{
    HighScoreTable& table = current_highscore_table();
    highscore_defaults(table);
    const HighScoreTable before = table;
    score = 5000;
    game_assisted = true;
    banner_frames_left = 0;
    stuck = "the game waited for a name in an assisted game";
    static unsigned long first_table_frame = 0;
    const unsigned long start = frames_presented;
    script = [](int look) {
        if (!highscores_shown)
            return clicking(YES, look);
        if (first_table_frame == 0)
            first_table_frame = frames_presented;
        return clicking(NEW_GAME_BUTTON, look);
    };
    EXPECT_EQ(play_game_over(), LOOP_NEW_GAME);
    EXPECT_EQ(std::memcmp(&table, &before, sizeof table), 0) << "the table is unchanged";
    EXPECT_GT(first_table_frame - start, 20u) << "the assisted-game box slid in and out before the table";
}

TEST_F(Keys, KeysHeldFromTheIntroDoNotActInPlay)
{
    // An earlier screen saw every key up; then Esc, N and an arrow went down
    // (Esc to skip the intro) and are still held as play begins.
    frame();
    key[KEY_ESC] = key[KEY_N] = key[KEY_RIGHT] = 1;
    stuck = "a key held from the intro opened a question in play";
    static bool cursor_shown_while_held = false;
    script = [](int look) {
        if (look < 60)
            return PARKED;
        if (look == 60) {
            cursor_shown_while_held = board_cursor.shown;
            key[KEY_ESC] = key[KEY_N] = key[KEY_RIGHT] = 0;
        }
        return look < 120 ? PARKED : clicking(NEW_GAME_BUTTON, look);
    };
    EXPECT_FALSE(run_game()) << "the new-game button, clicked later, ended the game";
    EXPECT_GE(looks, 120) << "N held from the intro started a new game";
    EXPECT_FALSE(cursor_shown_while_held) << "an arrow held from the intro showed the cursor";
}
