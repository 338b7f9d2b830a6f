// Settling by mode: gravity, emptied columns closing up toward the right,
// refills from the left, rows sliding right, and the draw offsets.
#include <gtest/gtest.h>

#include "board/board.h"
#include "board/random.h"
#include "board/settle.h"
#include "board_text.h"
#include "board/modes.h"

namespace {

const char* FULL =
    "1234512345\n"
    "2345123451\n"
    "3451234512\n"
    "4512345123\n"
    "5123451234\n"
    "1234512345\n"
    "2345123451\n"
    "3451234512\n";

void empty_column(int column)
{
    for (int row = 0; row < BOARD_ROWS; ++row)
        board.at(column, row) = Cell{};
}

class Settling : public ::testing::Test {
protected:
    void SetUp() override { random_restart(); }
    // The game's board settled as after a pop in `mode`.
    void settle_board() { ::settle_board(board, mode, animate); }
    int mode = MODE_TRADITIONAL;
    bool animate = true;
};

} // namespace

TEST_F(Settling, TilesFallIntoTheHolesBelowThemAndKeepTheirOrder)
{
    set_board("..........\n1.........\n2.........\n..........\n3.........\n..........\n..........\n4.........");
    apply_gravity(board, true);
    EXPECT_EQ(board_text(), "..........\n..........\n..........\n..........\n1.........\n2.........\n3.........\n4.........\n");
    // Fell 3, 3 and 2 rows; the bottom tile did not move.
    EXPECT_EQ(board.at(0, 4).offset_y, -60);
    EXPECT_EQ(board.at(0, 5).offset_y, -60);
    EXPECT_EQ(board.at(0, 6).offset_y, -40);
    EXPECT_EQ(board.at(0, 7).offset_y, 0);
}

TEST_F(Settling, AFallAddsToAnOffsetStillRunning)
{
    set_board("1.........\n..........\n..........\n..........\n..........\n..........\n..........\n..........");
    board.at(0, 0).offset_y = -8;
    apply_gravity(board, true);
    EXPECT_EQ(board.at(0, 7).offset_y, -8 - 140);
}

TEST_F(Settling, WithAnimationsOffTilesJumpIntoPlace)
{
    animate = false;
    mode = MODE_MEGASHIFTER;
    set_board(FULL);
    empty_column(4);
    board.at(7, 7) = Cell{};
    settle_board();
    EXPECT_EQ(offsets_text(), "");
}

TEST_F(Settling, PoppingOnlyTopTilesChangesNothingElse)
{
    set_board(FULL);
    board.at(3, 0) = Cell{};
    board.at(3, 0).marked = 1;  // a popped cell keeps its mark until the marks are cleared
    const std::string before = board_text();
    settle_board();
    EXPECT_EQ(board_text(), before);
    EXPECT_EQ(offsets_text(), "");
}

TEST_F(Settling, TraditionalClosesOneEmptiedColumnTowardTheRight)
{
    set_board(FULL);
    empty_column(4);
    settle_board();
    EXPECT_EQ(board_text(),
              ".123412345\n"
              ".234523451\n"
              ".345134512\n"
              ".451245123\n"
              ".512351234\n"
              ".123412345\n"
              ".234523451\n"
              ".345134512\n");
    for (int column = 1; column <= 4; ++column)
        EXPECT_EQ(board.at(column, 0).offset_x, -20) << "moved column " << column;
    for (int column = 5; column <= 9; ++column)
        EXPECT_EQ(board.at(column, 0).offset_x, 0) << "column " << column << " stays";
    EXPECT_EQ(random_draws(), 0u) << "no refill in Traditional";
}

TEST_F(Settling, TwoEmptiedColumnsCloseUpAndACarriedTileSlidesOnlyOneColumn)
{
    set_board(FULL);
    empty_column(2);
    empty_column(6);
    settle_board();
    // Old columns 0, 1, 3, 4, 5 end in columns 2..6; 7..9 stay.
    EXPECT_EQ(board_text(),
              "..12451345\n"
              "..23512451\n"
              "..34123512\n"
              "..45234123\n"
              "..51345234\n"
              "..12451345\n"
              "..23512451\n"
              "..34123512\n");
    EXPECT_EQ(board.at(2, 0).offset_x, -20) << "old column 0 moved two places, slides in from one";
    EXPECT_EQ(board.at(3, 0).offset_x, -20);
    EXPECT_EQ(board.at(6, 0).offset_x, -20);
    EXPECT_EQ(board.at(7, 0).offset_x, 0);
}

TEST_F(Settling, ContinousBringsInOneNewColumnPerEmptiedColumn)
{
    mode = MODE_CONTINOUS;
    set_board(FULL);
    empty_column(4);
    settle_board();
    EXPECT_EQ(random_draws(), 8u);
    for (int row = 0; row < BOARD_ROWS; ++row) {
        EXPECT_NE(board.at(0, row).colour, 0);
        EXPECT_EQ(board.at(0, row).offset_x, 0) << "new tiles appear in place";
    }
    EXPECT_EQ(board.at(1, 0).colour, 1) << "old column 0 moved right";
}

TEST_F(Settling, ContinousRefillsAWholeClearedBoard)
{
    mode = MODE_CONTINOUS;
    set_board("..........\n..........\n..........\n..........\n..........\n..........\n..........\n..........");
    settle_board();
    EXPECT_EQ(random_draws(), 80u);
    for (const Cell& c : board.cells)
        EXPECT_NE(c.colour, 0);
}

TEST_F(Settling, RefillDrawsGoToColumnZeroTopToBottom)
{
    mode = MODE_MEGASHIFTER;
    set_board(FULL);
    empty_column(9);
    settle_board();
    random_restart();
    for (int row = 0; row < BOARD_ROWS; ++row)
        EXPECT_EQ(board.at(0, row).colour, random_next() % 5 + 1) << "row " << row;
}

TEST_F(Settling, ShifterSlidesRowsRight)
{
    // No column empties: only the row slide can move the top tiles.
    mode = MODE_SHIFTER;
    set_board("..........\n..........\n..........\n..........\n..........\n..........\n3...4.....\n2222222222");
    settle_board();
    EXPECT_EQ(board_text(),
              "..........\n..........\n..........\n..........\n..........\n..........\n........34\n2222222222\n");
    EXPECT_EQ(board.at(8, 6).offset_x, -160);
    EXPECT_EQ(board.at(9, 6).offset_x, -100);
}

TEST_F(Settling, MegashifterRefillsAndSlides)
{
    mode = MODE_MEGASHIFTER;
    set_board("..........\n..........\n..........\n..........\n..........\n..........\n5.........\n5.3.......");
    settle_board();
    // Column 1 (empty) and columns 3..9 closed up; every emptied column refilled.
    EXPECT_EQ(random_draws(), 8u * 8u);
    int tiles = 0;
    for (const Cell& c : board.cells)
        tiles += c.colour != 0;
    EXPECT_EQ(tiles, 64 + 3);
    EXPECT_EQ(board.at(9, 7).colour, 3);
    EXPECT_EQ(board.at(8, 7).colour, 5);
    EXPECT_EQ(board.at(9, 6).colour, 5) << "the row above slid right onto the tile below";
}

TEST_F(Settling, TraditionalNeverSlidesRows)
{
    set_board("..........\n..........\n..........\n..........\n..........\n..........\n.........1\n.......2.3");
    settle_board();
    // Column 8 is empty at the bottom, so columns 0..7 move right by one.
    EXPECT_EQ(board_text(),
              "..........\n..........\n..........\n..........\n..........\n..........\n.........1\n........23\n");
    EXPECT_EQ(random_draws(), 0u);
}

TEST(ColourSettling, AColourBoardSettlesAsTheGamesBoardDoes)
{
    // Holes knocked into dealt boards, and boards already settled, which a
    // colour board skips column by column.
    random_restart();
    for (int deal = 0; deal < 40; ++deal) {
        for (int mode : {MODE_TRADITIONAL, MODE_SHIFTER}) {
            fill_board();
            for (Cell& cell : board.cells) {
                if (random_next() % 4 == 0)
                    cell.colour = 0;
            }
            for (int round = 0; round < 2; ++round) {
                ColourBoard colours = colours_of(board);
                settle_board(board, mode, false);
                settle_board(colours, mode);
                for (int i = 0; i < BOARD_CELLS; ++i)
                    ASSERT_EQ(colours.cells[i].colour, board.cells[i].colour) << "deal " << deal << ", cell " << i;
            }
        }
    }
}
