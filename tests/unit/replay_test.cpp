// Golden replays: a fixed number of draws, a deal, then a script of pops in
// each mode through the game loop's own press handling. The boards and
// scores after every pop are written out and compared with tests/golden.
// Set ZORBL_UPDATE_GOLDEN=1 to rewrite the files after a deliberate change.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "board/board.h"
#include "play/game_loop.h"
#include "board/groups.h"
#include "board/random.h"
#include "board_text.h"
#include "persist/settings.h"
#include "shell/input.h"
#include "test_env.h"

namespace {

constexpr int DRAWS_BEFORE_DEAL = 1000;
constexpr int POPS = 40;

// The script: each pop takes the largest group, the first in storage order
// among equals, so that columns empty and the modes part ways.
bool largest_group(int& column, int& row)
{
    int best = 1;
    for (int c = 0; c < BOARD_COLUMNS; ++c) {
        for (int r = 0; r < BOARD_ROWS; ++r) {
            if (board.at(c, r).colour == 0)
                continue;
            const int size = find_group(c, r);
            clear_marks();
            if (size > best) {
                best = size;
                column = c;
                row = r;
            }
        }
    }
    return best >= 2;
}

std::string replay(int mode)
{
    settings = Settings{0, 0, mode, THEME_ORIGINAL, 0};
    random_restart();
    for (int i = 0; i < DRAWS_BEFORE_DEAL; ++i)
        random_next();
    begin_new_game();
    selection_size = 0;
    std::ostringstream out;
    out << "deal\n" << board_text();
    ClickState state = ClickState::idle;
    for (int pop = 1; pop <= POPS; ++pop) {
        int column = 0;
        int row = 0;
        if (!largest_group(column, row)) {
            out << "no pair left\n";
            break;
        }
        const PointerState down{BOARD_X + CELL_SIZE * column + 5, BOARD_Y + CELL_SIZE * row + 5, 1};
        const PointerState up{down.x, down.y, 0};
        for (const PointerState& p : {down, up, down, up})
            board_press_step(state, p);
        out << "pop " << pop << " at " << column << "," << row << " score " << score << " tiles " << tiles_popped
            << " draws " << random_draws() << "\n"
            << board_text();
    }
    return out.str();
}

std::string golden_path(int mode)
{
    return std::string(ZORBL_SOURCE_DIR) + "/tests/golden/replay_mode" + std::to_string(mode) + ".txt";
}

} // namespace

TEST(GoldenReplay, EachModePlaysTheScriptExactlyAsRecorded)
{
    start_headless_with_archive();
    const bool update = std::getenv("ZORBL_UPDATE_GOLDEN") != nullptr;
    for (int mode = 0; mode < MODE_COUNT; ++mode) {
        const std::string played = replay(mode);
        if (update) {
            std::ofstream(golden_path(mode)) << played;
            continue;
        }
        const std::string recorded = read_file(golden_path(mode));
        ASSERT_FALSE(recorded.empty()) << "missing " << golden_path(mode);
        EXPECT_EQ(played, recorded) << "mode " << mode << " no longer plays as recorded";
    }
}
