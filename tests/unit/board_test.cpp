// The generator, the deal and the group search.
#include <gtest/gtest.h>

#include "board/board.h"
#include "board/groups.h"
#include "board/random.h"
#include "board_text.h"

TEST(RandomGenerator, FirstDrawsOfAFreshGameAreFixed)
{
    random_restart();
    EXPECT_EQ(random_next(), 41);
    EXPECT_EQ(random_next(), 18467);
    EXPECT_EQ(random_next(), 6334);
    EXPECT_EQ(random_next(), 26500);
    EXPECT_EQ(random_next(), 19169);
    EXPECT_EQ(random_draws(), 5u);
}

TEST(Deal, NewGameFillsEveryCellAndResetsTheCounters)
{
    random_restart();
    board.at(3, 3).light = 77;
    board.at(3, 3).marked = 1;
    board.at(4, 4).offset_x = -20;
    score = 99;
    tiles_popped = 12;
    game_progress = GameProgress::finished;
    new_game();
    EXPECT_EQ(random_draws(), 80u) << "one draw per cell";
    for (const Cell& c : board.cells) {
        EXPECT_GE(c.colour, 1);
        EXPECT_LE(c.colour, 5);
        EXPECT_EQ(c.marked, 0);
        EXPECT_EQ(c.light, 0);
        EXPECT_EQ(c.flash, 0);
        EXPECT_EQ(c.offset_x, 0);
        EXPECT_EQ(c.offset_y, 0);
    }
    EXPECT_EQ(score, 0);
    EXPECT_EQ(tiles_popped, 0);
    EXPECT_EQ(game_progress, GameProgress::fresh);
}

TEST(Deal, CellsAreDealtColumnByColumnFromTheTop)
{
    random_restart();
    new_game();
    // The first draws (41, 18467, 6334) give colours 2, 3, 5 down column 0.
    EXPECT_EQ(board.at(0, 0).colour, 41 % 5 + 1);
    EXPECT_EQ(board.at(0, 1).colour, 18467 % 5 + 1);
    EXPECT_EQ(board.at(0, 2).colour, 6334 % 5 + 1);
}

TEST(Deal, TheSameNumberOfEarlierDrawsDealsTheSameBoard)
{
    random_restart();
    for (int i = 0; i < 1234; ++i)
        random_next();
    new_game();
    const std::string first = board_text();
    random_restart();
    for (int i = 0; i < 1234; ++i)
        random_next();
    new_game();
    EXPECT_EQ(board_text(), first);
    random_restart();
    new_game();
    EXPECT_NE(board_text(), first);
}

TEST(Deal, ClearingMarksKeepsMovingTilesMoving)
{
    set_board("1111111111\n2222222222\n3333333333\n4444444444\n5555555555\n1111111111\n2222222222\n3333333333");
    board.at(2, 2).marked = 1;
    board.at(2, 2).light = -5;
    board.at(2, 2).flash = 30;
    board.at(2, 2).offset_x = -20;
    board.at(2, 2).offset_y = -40;
    EXPECT_EQ(clear_marks(), 0);
    EXPECT_EQ(board.at(2, 2).marked, 0);
    EXPECT_EQ(board.at(2, 2).light, 0);
    EXPECT_EQ(board.at(2, 2).flash, 0);
    EXPECT_EQ(board.at(2, 2).offset_x, -20);
    EXPECT_EQ(board.at(2, 2).offset_y, -40);
    EXPECT_EQ(board.at(2, 2).colour, 3);
}

namespace {
int marked_count()
{
    int n = 0;
    for (const Cell& c : board.cells)
        n += c.marked;
    return n;
}
} // namespace

TEST(Groups, DiagonalContactDoesNotConnect)
{
    set_board("12........\n21........\n..........\n..........\n..........\n..........\n..........\n..........");
    EXPECT_EQ(find_group(0, 0), 1);
    EXPECT_EQ(marked_count(), 1);
}

TEST(Groups, LAndRingShapesCountEachTileOnceFromAnyStart)
{
    const char* ring = "333.......\n3.3.......\n333.......\n..........\n..........\n..........\n..........\n..........";
    for (int start = 0; start < 3; ++start) {
        set_board(ring);
        EXPECT_EQ(find_group(start, 0), 8) << "ring started at column " << start;
        EXPECT_EQ(marked_count(), 8);
    }
    const char* ell = "4.........\n4.........\n4.........\n4444......\n..........\n..........\n..........\n..........";
    set_board(ell);
    EXPECT_EQ(find_group(3, 3), 7);
    set_board(ell);
    EXPECT_EQ(find_group(0, 0), 7);
    EXPECT_EQ(marked_count(), 7);
}

TEST(Groups, NoWrapAroundBetweenOppositeEdges)
{
    set_board("2........2\n1.........\n..........\n..........\n..........\n..........\n..........\n1.........");
    EXPECT_EQ(find_group(0, 0), 1);
    clear_marks();
    EXPECT_EQ(find_group(0, 7), 1);
    clear_marks();
    EXPECT_EQ(any_move_left(), 0);
}

TEST(Groups, AFullBoardOfOneColourIsOneGroupOfEighty)
{
    std::string full;
    for (int r = 0; r < 8; ++r)
        full += "5555555555\n";
    set_board(full);
    EXPECT_EQ(find_group(7, 4), 80);
    EXPECT_EQ(marked_count(), 80);
}

TEST(MoveTest, EmptyBoardsLoneTilesAndPairs)
{
    set_board("..........\n..........\n..........\n..........\n..........\n..........\n..........\n..........");
    EXPECT_EQ(any_move_left(), 0);
    EXPECT_EQ(board_empty(), 1);

    set_board("..........\n..........\n..........\n..........\n..........\n..........\n..........\n.........3");
    EXPECT_EQ(any_move_left(), 0);
    EXPECT_EQ(board_empty(), 0);

    // A checkerboard holds tiles but no pair: the game is over.
    std::string checker;
    for (int r = 0; r < 8; ++r)
        checker += r % 2 ? "2121212121\n" : "1212121212\n";
    set_board(checker);
    EXPECT_EQ(any_move_left(), 0);

    // One pair in the bottom-right corner, found whether vertical or horizontal.
    set_board(checker);
    board.at(9, 6).colour = board.at(9, 7).colour;
    EXPECT_EQ(any_move_left(), 1);
    set_board(checker);
    board.at(8, 7).colour = board.at(9, 7).colour;
    EXPECT_EQ(any_move_left(), 1);
}

TEST(Groups, ListingAllGroupsAtOnceAgreesWithTheFloodFill)
{
    // Dealt boards with some cells emptied, so that groups meet edges and holes.
    random_restart();
    for (int deal = 0; deal < 50; ++deal) {
        fill_board();
        ColourBoard on = colours_of(board);
        for (int i = deal % 3; i < BOARD_CELLS; i += 3 + deal % 5)
            on.cells[i].colour = 0;
        GroupCells groups[BOARD_CELLS / 2];
        const int found = list_groups(on, groups);
        ColourBoard filled = on;
        int expected = 0;
        for (int cell = 0; cell < BOARD_CELLS; ++cell) {
            if (filled.cells[cell].colour == 0 || filled.cells[cell].marked)
                continue;
            ColourBoard before = filled;
            const int size = find_group(filled, cell / BOARD_ROWS, cell % BOARD_ROWS);
            if (size < 2)
                continue;
            ASSERT_LT(expected, found) << "deal " << deal;
            const GroupCells& g = groups[expected++];
            EXPECT_EQ(g.first, cell);
            EXPECT_EQ(g.size, size);
            EXPECT_EQ(g.colour, filled.cells[cell].colour);
            for (int i = 0; i < BOARD_CELLS; ++i)
                EXPECT_EQ(bool((g.cells >> i) & 1), filled.cells[i].marked && !before.cells[i].marked) << "cell " << i;
        }
        EXPECT_EQ(found, expected) << "deal " << deal;
    }
}
