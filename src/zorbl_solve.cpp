// zorbl-solve: reads a board on standard input, or deals one by its number,
// and prints the best line the solver finds, one "column row points" line per
// pop, then "score S".
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "board/board.h"
#include "board/deal_number.h"
#include "board/modes.h"
#include "solver/solver.h"

namespace {

constexpr int BAD_INPUT = 2;

const char* const USAGE =
    "usage: zorbl-solve [--deal N] [--mode M] [--ms T] [--threads N]\n"
    "Reads a board from standard input: 8 lines of 10 characters, 0 for an empty\n"
    "cell and 1 to 5 for a tile colour; row 0 is the top row, column 0 the left.\n"
    "With --deal N it reads nothing and solves the board the game deals as deal N.\n"
    "Prints one line per pop of the best line found, \"C R P\": the column and row\n"
    "of one cell of the group on the board as it is before that pop, and the\n"
    "points; then \"score S\", the total with 250 for a cleared board.\n"
    "  --deal N     solve deal number N (0 to 4294967295), as the game's window\n"
    "               title and statistics name it\n"
    "  --mode M     game mode 0 %s, 1 %s, 2 %s, 3 %s\n"
    "               (default 0); in 1 and 3 the columns that will come in are\n"
    "               unknown, so the line is planned with them empty and scores\n"
    "               no bonus\n"
    "  --ms T       time budget in milliseconds, above 0 (default 100)\n"
    "  --threads N  threads to search on, above 0 (default %d: the cores there are)\n"
    "  --help       this text\n"
    "An option takes its value as the next argument or after '=' (--ms=500).\n"
    "Exit status: 0 with a line printed (or after --help); 2 for bad input or a\n"
    "bad option, with one line on standard error saying which.\n";

int fail(const std::string& why)
{
    std::fprintf(stderr, "zorbl-solve: %s\n", why.c_str());
    return BAD_INPUT;
}

// A whole number in lo..INT_MAX written in decimal digits only.
bool whole_number(const std::string& text, long lo, int& out)
{
    if (text.empty() || text.size() > 10 || text.find_first_not_of("0123456789") != std::string::npos)
        return false;
    const long value = std::strtol(text.c_str(), nullptr, 10);
    if (value < lo || value > INT_MAX)
        return false;
    out = int(value);
    return true;
}

// The board's text, line by line; a final newline ends the last line rather
// than starting another, and a carriage return before a newline is dropped.
std::vector<std::string> input_lines(const std::string& text)
{
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        std::string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        lines.push_back(line);
        start = end + 1;
    }
    return lines;
}

// Reads the board on standard input; answers what is wrong with it, or
// nothing when it is a board.
std::string read_board(ColourBoard& board)
{
    const std::string text{std::istreambuf_iterator<char>(std::cin), std::istreambuf_iterator<char>()};
    const std::vector<std::string> lines = input_lines(text);
    if (lines.size() != BOARD_ROWS)
        return ("the board must be 8 lines of 10 cells, not " + std::to_string(lines.size()) + " line"
                    + (lines.size() == 1 ? "" : "s"));
    for (int row = 0; row < BOARD_ROWS; ++row) {
        const std::string& line = lines[size_t(row)];
        if (line.size() != BOARD_COLUMNS)
            return ("line " + std::to_string(row + 1) + " has " + std::to_string(line.size())
                        + " characters, not 10");
        for (int column = 0; column < BOARD_COLUMNS; ++column) {
            const char ch = line[size_t(column)];
            if (ch < '0' || ch > '0' + colour_count)
                return ("line " + std::to_string(row + 1) + ", column " + std::to_string(column + 1)
                            + ": '" + std::string(1, ch) + "' is not a cell (0 to 5)");
            board.at(column, row).colour = uint8_t(ch - '0');
        }
    }
    return {};
}

} // namespace

int main(int argc, char** argv)
{
    int mode = MODE_TRADITIONAL;
    SolverLimits limits;
    limits.threads = cores();
    std::optional<uint32_t> deal;
    // --help wins wherever it stands, even after a bad option.
    for (int a = 1; a < argc; ++a) {
        if (std::string(argv[a]) == "--help") {
            std::printf(USAGE, MODE_NAMES[0], MODE_NAMES[1], MODE_NAMES[2], MODE_NAMES[3], cores());
            return 0;
        }
    }
    for (int a = 1; a < argc; ++a) {
        std::string arg = argv[a];
        std::string value;
        bool has_value = false;
        const size_t equals = arg.find('=');
        if (arg.compare(0, 2, "--") == 0 && equals != std::string::npos) {
            value = arg.substr(equals + 1);
            arg = arg.substr(0, equals);
            has_value = true;
        }
        if (arg != "--deal" && arg != "--mode" && arg != "--ms" && arg != "--threads")
            return fail("unknown option '" + std::string(argv[a]) + "' (see --help)");
        if (!has_value) {
            if (a + 1 >= argc)
                return fail("option " + arg + " needs a value");
            value = argv[++a];
        }
        if (arg == "--deal" && !(deal = parse_deal_number(value)))
            return fail("'" + value + "' is not a deal number (0 to 4294967295)");
        if (arg == "--mode" && (!whole_number(value, 0, mode) || mode >= MODE_COUNT))
            return fail("mode must be 0, 1, 2 or 3, not '" + value + "'");
        if (arg == "--ms" && !whole_number(value, 1, limits.budget_ms))
            return fail("time budget must be a whole number of milliseconds above 0, not '" + value + "'");
        if (arg == "--threads" && !whole_number(value, 1, limits.threads))
            return fail("threads must be a whole number above 0, not '" + value + "'");
    }

    ColourBoard board{};
    if (deal) {
        const std::array<uint8_t, BOARD_CELLS> colours = deal_colours(*deal);
        for (int i = 0; i < BOARD_CELLS; ++i)
            board.cells[size_t(i)].colour = colours[size_t(i)];
    } else if (const std::string wrong = read_board(board); !wrong.empty()) {
        return fail(wrong);
    }

    const SolverLine line = solve_board(board, mode, limits);
    for (const SolverMove& move : line.moves)
        std::printf("%d %d %d\n", move.column, move.row, move.points);
    std::printf("score %d\n", line.score);
    return 0;
}
