// Boards as text, for tests and golden replays.
#include "board_text.h"

#include <gtest/gtest.h>

#include <sstream>

#include "board/board.h"

void set_board(const std::string& picture)
{
    std::istringstream in(picture);
    std::string line;
    int row = 0;
    board = Board{};
    while (std::getline(in, line)) {
        if (line.find_first_not_of(" \t") == std::string::npos)
            continue;
        line = line.substr(line.find_first_not_of(" \t"));
        ASSERT_LT(row, BOARD_ROWS) << "too many rows in the board picture";
        ASSERT_GE(line.size(), size_t(BOARD_COLUMNS)) << "short row: " << line;
        for (int column = 0; column < BOARD_COLUMNS; ++column) {
            const char c = line[column];
            board.at(column, row).colour = c == '.' ? 0 : static_cast<uint8_t>(c - '0');
        }
        ++row;
    }
    ASSERT_EQ(row, BOARD_ROWS) << "a board picture has eight rows";
}

std::string board_text()
{
    std::string text;
    for (int row = 0; row < BOARD_ROWS; ++row) {
        for (int column = 0; column < BOARD_COLUMNS; ++column) {
            const int colour = board.at(column, row).colour;
            text += colour == 0 ? '.' : static_cast<char>('0' + colour);
        }
        text += '\n';
    }
    return text;
}

std::string offsets_text()
{
    std::ostringstream out;
    for (int column = 0; column < BOARD_COLUMNS; ++column) {
        for (int row = 0; row < BOARD_ROWS; ++row) {
            const Cell& c = board.at(column, row);
            if (c.offset_x != 0 || c.offset_y != 0)
                out << "(" << column << "," << row << ")=" << c.offset_x << "," << c.offset_y << " ";
        }
    }
    return out.str();
}
