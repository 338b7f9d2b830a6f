// The two-click pop, driven frame by frame with a scripted pointer.
#include <gtest/gtest.h>

#include "board/board.h"
#include "board/points.h"
#include "play/game_loop.h"
#include "board/random.h"
#include "board_text.h"
#include "effects/banner.h"
#include "persist/settings.h"
#include "shell/input.h"
#include "shell/render.h"
#include "board/groups.h"
#include "test_env.h"

namespace {

PointerState scripted{0, 0, 0};
PointerState scripted_pointer() { return scripted; }

// Centre of cell (column, row) in game pixels.
PointerState at_cell(int column, int row, int buttons)
{
    return {BOARD_X + CELL_SIZE * column + 10, BOARD_Y + CELL_SIZE * row + 10, buttons};
}

const char* BOARD =
    "1212121212\n"
    "2121212121\n"
    "1212121212\n"
    "2121212121\n"
    "1212121212\n"
    "2121212121\n"
    "1212121213\n"
    "3321212133\n";

class ClickStates : public ::testing::Test {
protected:
    void SetUp() override
    {
        start_headless_with_archive();
        settings = Settings{0, 0, MODE_TRADITIONAL, 0, 0};
        set_pointer_source(scripted_pointer);
        set_board(BOARD);
        score = 0;
        tiles_popped = 0;
        selection_size = 0;
        game_progress = GameProgress::fresh;
        state = ClickState::idle;
    }
    void TearDown() override { set_pointer_source(nullptr); }

    void press(const PointerState& p) { board_press_step(state, p); }

    ClickState state;
};

} // namespace

TEST_F(ClickStates, APressOnAGroupSelectsItAndClicks)
{
    random_restart();
    press(at_cell(0, 7, 1));
    EXPECT_EQ(state, ClickState::selecting);
    EXPECT_EQ(selection_size, 2);
    EXPECT_TRUE(board.at(0, 7).marked && board.at(1, 7).marked);
    EXPECT_EQ(random_draws(), 1u) << "the select cue draws its pitch";
}

TEST_F(ClickStates, TwoPressesPopTheGroupAndScoreIt)
{
    press(at_cell(9, 7, 1));
    press(at_cell(9, 7, 0));
    EXPECT_EQ(state, ClickState::selected);
    press(at_cell(8, 7, 1));
    EXPECT_EQ(state, ClickState::consumed);
    EXPECT_EQ(score, 8) << "three tiles: 3 x 3 - 1";
    EXPECT_EQ(tiles_popped, 3);
    EXPECT_EQ(game_progress, GameProgress::in_progress);
    EXPECT_EQ(last_points, 8u);
    EXPECT_EQ(selection_size, 0);
    for (const Cell& c : board.cells)
        EXPECT_EQ(c.marked, 0);
    // Column 9 lost its two 3s and fell two rows; column 8 lost its bottom 3.
    EXPECT_EQ(board.at(9, 7).colour, 1);
    EXPECT_EQ(board.at(9, 1).colour, 0);
    EXPECT_EQ(board.at(9, 0).colour, 0);
    press(at_cell(8, 7, 0));
    EXPECT_EQ(state, ClickState::idle);
}

TEST_F(ClickStates, APressOnALoneTileOrAnEmptyCellSelectsNothingSilently)
{
    random_restart();
    press(at_cell(4, 4, 1));
    EXPECT_EQ(state, ClickState::idle);
    EXPECT_EQ(selection_size, 0);
    board.at(5, 5).colour = 0;
    press(at_cell(5, 5, 1));
    EXPECT_EQ(state, ClickState::idle);
    EXPECT_EQ(random_draws(), 0u) << "no cue";
    for (const Cell& c : board.cells)
        EXPECT_EQ(c.marked, 0);
}

TEST_F(ClickStates, APressOutsideTheSelectionOnlyDropsIt)
{
    press(at_cell(0, 7, 1));
    press(at_cell(0, 7, 0));
    press(at_cell(9, 7, 1));
    EXPECT_EQ(state, ClickState::consumed);
    EXPECT_EQ(score, 0);
    EXPECT_EQ(board_text(), std::string(BOARD));
    for (const Cell& c : board.cells)
        EXPECT_EQ(c.marked, 0) << "the selection is dropped, the other group is not selected";
}

TEST_F(ClickStates, TheRightButtonNeverSelectsOrPops)
{
    press(at_cell(0, 7, 2));
    EXPECT_EQ(state, ClickState::idle);
    press(at_cell(0, 7, 1));
    press(at_cell(0, 7, 0));
    press(at_cell(0, 7, 2));
    EXPECT_EQ(state, ClickState::selected) << "right button changes nothing";
    press(at_cell(0, 7, 3));
    EXPECT_EQ(state, ClickState::selected) << "left with right changes nothing";
    EXPECT_EQ(score, 0);
}

TEST_F(ClickStates, ReleasingOutsideTheBoardStillCompletesTheSelection)
{
    press(at_cell(0, 7, 1));
    press(PointerState{300, 100, 0});
    EXPECT_EQ(state, ClickState::selected);
    // A press outside the board keeps the selection.
    press(PointerState{300, 100, 1});
    EXPECT_EQ(state, ClickState::selected);
    EXPECT_EQ(selection_size, 2);
}

TEST_F(ClickStates, APressMovedOntoAGroupWhileHeldSelectsIt)
{
    press(PointerState{5, 100, 1});
    EXPECT_EQ(state, ClickState::idle);
    press(at_cell(0, 7, 1));
    EXPECT_EQ(state, ClickState::selecting);
    // Moving over other cells with the button held does nothing more.
    press(at_cell(4, 4, 1));
    EXPECT_EQ(state, ClickState::selecting);
    EXPECT_EQ(selection_size, 2);
}

TEST_F(ClickStates, TheBoardsEdgesAreExact)
{
    set_board("1111111111\n1111111111\n1111111111\n1111111111\n1111111111\n1111111111\n1111111111\n1111111111");
    press(PointerState{19, 50, 1});
    EXPECT_EQ(state, ClickState::idle) << "x 19 is off the board";
    press(PointerState{50, 9, 1});
    EXPECT_EQ(state, ClickState::idle) << "y 9 is off the board";
    press(PointerState{20, 10, 1});
    EXPECT_EQ(state, ClickState::selecting) << "(20, 10) is column 0, row 0";
    press(PointerState{0, 0, 0});
    state = ClickState::idle;
    clear_marks();
    press(PointerState{219, 169, 1});
    EXPECT_EQ(state, ClickState::selecting) << "(219, 169) is column 9, row 7";
    press(PointerState{220, 170, 0});
    EXPECT_EQ(state, ClickState::selected);
}

TEST(GameEnd, ABoardWithNoPairEndsTheGameInItsFirstFrame)
{
    start_headless_with_archive();
    settings = Settings{0, 0, MODE_TRADITIONAL, 0, 0};
    set_pointer_source(scripted_pointer);
    scripted = PointerState{300, 10, 0};
    std::string checker;
    for (int r = 0; r < 8; ++r)
        checker += r % 2 ? "2121212121\n" : "1212121212\n";
    set_board(checker);
    score = 0;
    ClickState state = ClickState::idle;
    EXPECT_EQ(play_frame(state), LOOP_GAME_OVER);
    EXPECT_EQ(score, 0);
    set_pointer_source(nullptr);
}

namespace {
// Once the board is empty the pointer rests on "Yes!" and its left button
// goes down and up on every look, so the bonus box is answered at once.
int looks = 0;
PointerState answering_yes()
{
    if (!board_empty())
        return scripted;
    return {90, 120, ++looks & 1};
}
} // namespace

TEST(GameEnd, PoppingTheLastTilesEarnsTheEmptyBoardBonus)
{
    start_headless_with_archive();
    settings = Settings{0, 0, MODE_TRADITIONAL, 0, 0};
    set_pointer_source(answering_yes);
    // A pair on the cells under the "Yes!" answer area.
    set_board("..........\n..........\n..........\n..........\n..........\n...44.....\n..........\n..........");
    score = 0;
    ClickState state = ClickState::idle;
    scripted = {90, 120, 1};
    EXPECT_EQ(play_frame(state), LOOP_CONTINUE);
    scripted.b = 0;
    EXPECT_EQ(play_frame(state), LOOP_CONTINUE);
    scripted.b = 1;
    const unsigned long frames_before = frames_presented;
    EXPECT_EQ(play_frame(state), LOOP_GAME_OVER);
    EXPECT_EQ(score, 3 + EMPTY_BOARD_BONUS);
    EXPECT_GT(frames_presented - frames_before, 10u) << "the box slid in and out";
    set_pointer_source(nullptr);
}
