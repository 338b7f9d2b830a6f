// A long evening of play in one process: eight games, two in each mode,
// through run_game frame by frame, with a scripted player at the pointer and
// the keyboard. Games in the modes that refill are restarted through the
// new-game question after a few pops; the mode is changed on the high-score
// screen with the digit keys and, before the first pop, in the options. Run
// under the sanitizers, this is the full-session check for memory faults.
#include <allegro.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <string>
#include <vector>

#include <unistd.h>

#include "board/board.h"
#include "board/points.h"
#include "play/game_loop.h"
#include "board/groups.h"
#include "effects/banner.h"
#include "persist/game_save.h"
#include "persist/highscore.h"
#include "persist/settings.h"
#include "shell/frame_clock.h"
#include "shell/input.h"
#include "shell/shell.h"
#include "test_env.h"
#include "ui/highscore_display.h"
#include "ui/options.h"

namespace {

struct Press {
    int x, y;
};
constexpr Press NEW_GAME{208, 188}, OPTIONS{218, 206}, QUIT{228, 224}, YES{100, 120};
constexpr Press MODE_NEXT{195, 75}, MODE_PREV{35, 75}, CLOSE{200, 165}, ANYWHERE{300, 100};

// The mode of each game. Traditional and Shifter games are played to their
// end; the others are restarted (the last one quit) after POP_CAP pops.
constexpr int MODES[8] = {0, 2, 1, 3, 0, 2, 1, 3};
constexpr int POP_CAP = 12;

struct Played {
    int mode;
    int32_t score;
    std::string name;  // empty when no name was asked
};

struct Player {
    std::deque<Press> plan;
    int calls = 0;  // pointer looks into the current press: 4 over, 8 down, 8 up
    int game = 0;
    int pops = 0;
    int32_t expected_score = 0;
    int32_t tiles_seen = 0;
    bool restarting = false;
    bool ended = false;    // no pair left: the game is over
    bool between = false;  // the new-game button was pressed on the table screen
    std::string name;      // keys still to type into the name entry
    bool name_asked = false;
    bool panel_seen = false;  // the game-over panel of this game came up
    std::vector<Played> played;
};
Player player;

bool refills(int mode) { return mode == MODE_CONTINOUS || mode == MODE_MEGASHIFTER; }

// The largest group on the board, found on a copy so the marks stay as they are.
int largest_group(Press& at)
{
    const Board before = board;
    int best = 0;
    for (int column = 0; column < BOARD_COLUMNS; ++column)
        for (int row = 0; row < BOARD_ROWS; ++row) {
            if (board.at(column, row).colour == 0 || board.at(column, row).marked)
                continue;
            const int n = find_group(column, row);
            if (n > best) {
                best = n;
                at = {BOARD_X + CELL_SIZE * column + 10, BOARD_Y + CELL_SIZE * row + 10};
            }
        }
    board = before;
    return best;
}

Press marked_cell()
{
    for (int column = 0; column < BOARD_COLUMNS; ++column)
        for (int row = 0; row < BOARD_ROWS; ++row)
            if (board.at(column, row).marked)
                return {BOARD_X + CELL_SIZE * column + 10, BOARD_Y + CELL_SIZE * row + 10};
    return ANYWHERE;
}

void change_mode_in_options(int from, int to)
{
    player.plan.push_back(OPTIONS);
    for (int k = from; k != to; k += to > from ? 1 : -1)
        player.plan.push_back(to > from ? MODE_NEXT : MODE_PREV);
    player.plan.push_back(CLOSE);
}

// What the player does next, from what the game shows. in_play: the pointer
// is looked at by a frame of play, not by an animation that ignores it.
void decide(bool in_play)
{
    Player& p = player;
    const int mode = MODES[p.game];
    // One press at a time: a press may land in a pop animation and be lost,
    // so what happened is read off the game, not assumed.
    if (game_progress == GameProgress::in_progress && tiles_popped > p.tiles_seen) {
        p.expected_score += group_points(tiles_popped - p.tiles_seen);
        p.tiles_seen = tiles_popped;
        ++p.pops;
    }
    if (p.between && game_progress == GameProgress::fresh)
        p.between = false;
    if (!p.ended && !p.between && game_progress != GameProgress::fresh && !any_move_left()) {
        EXPECT_EQ(score, p.expected_score) << "game " << p.game << ", before any bonus";
        p.ended = true;
        p.name_asked = false;
        p.name = "lap" + std::to_string(p.game) + "\r";
    }
    if (game_over_panel_shown) {
        p.panel_seen = true;
        p.plan.push_back(ANYWHERE);
    } else if (highscores_shown) {
        if (p.between)
            return;  // the new game is on its way
        p.played.push_back({mode, score, p.name_asked ? "lap" + std::to_string(p.game) : ""});
        p.ended = false;
        p.panel_seen = false;
        p.between = true;
        ++p.game;
        p.pops = p.tiles_seen = p.expected_score = 0;
        key[KEY_0 + MODES[p.game]] = 1;  // held until the next game's first pop
        p.plan.push_back(NEW_GAME);
    } else if (p.restarting) {
        if (game_progress != GameProgress::fresh) {
            p.plan.push_back(YES);  // until the box has come to rest and takes it
            return;
        }
        if (!in_play)
            return;
        p.restarting = false;
        ++p.game;
        p.pops = p.tiles_seen = p.expected_score = 0;
        change_mode_in_options(mode, MODES[p.game]);
    } else if (p.ended) {
        if (board_empty())
            p.plan.push_back(YES);  // the empty-board box
    } else if (!in_play) {
        return;
    } else if (refills(mode) && p.pops == POP_CAP) {
        p.plan.push_back(p.game == 7 ? QUIT : NEW_GAME);
        p.restarting = p.game != 7;
        if (p.game == 7)
            p.plan.insert(p.plan.end(), {YES, YES, YES});
    } else {
        for (int digit = 0; digit < MODE_COUNT; ++digit)
            key[KEY_0 + digit] = 0;
        // A press on the selected group pops it; else the largest is selected.
        Press at{};
        if (selection_size >= 2)
            at = marked_cell();
        else
            largest_group(at);
        p.plan.push_back(at);
    }
}

PointerState scripted_player()
{
    // A frame of play zeroes the tick counter before it draws; the frame
    // loops need not wait for real ticks.
    const bool in_play = tick_counter == 0;
    tick_counter = 1;
    if (player.plan.empty() && !options_open)
        decide(in_play);
    if (player.plan.empty())
        return {300, 142, 0};
    const Press at = player.plan.front();
    const int phase = player.calls++;
    if (player.calls == 20) {
        player.plan.pop_front();
        player.calls = 0;
    }
    return {at.x, at.y, phase >= 4 && phase < 12 ? 1 : 0};
}

// The name is typed once the game-over panel has gone: until then, frames of
// play look for '?' in the queue, and would take it. The entry's first look
// (as the box comes to rest it empties the queue) finds nothing; then the
// name comes.
int name_key_waiting()
{
    if (!player.panel_seen || game_over_panel_shown)
        return 0;
    if (!player.name_asked) {
        player.name_asked = true;
        return 0;
    }
    return !player.name.empty();
}

int next_name_key()
{
    const char c = player.name.front();
    player.name.erase(0, 1);
    return c == '\r' ? (KEY_ENTER << 8) | '\r' : c;
}

} // namespace

TEST(Session, EightGamesInEveryModeEndWithTheRowsEarnedSavedInTheirTables)
{
    ScratchDir dir;
    start_scene();
    load_saved_data();
    set_pointer_source(scripted_player);
    install_keyboard_hooks(name_key_waiting, next_name_key);
    alarm(120);  // a player stuck on some screen fails the test instead of hanging it
    begin_new_game();
    int runs = 0;
    while (!run_game())
        ++runs;
    alarm(0);
    set_pointer_source(nullptr);

    EXPECT_EQ(player.game, 7) << "the session reached its last game";
    EXPECT_EQ(runs, 7) << "four games ended, three were restarted";
    EXPECT_EQ(settings.game_mode, MODES[7]);
    // Read back as a game killed now would find them: no save at shutdown.
    load_saved_data();
    for (const Played& game : player.played) {
        const HighScoreTable& table = *highscore_tables[game.mode];
        bool found = false;
        for (const HighScoreEntry& row : table)
            found = found || (row.score == static_cast<uint32_t>(game.score) && game.name == row.name);
        EXPECT_EQ(found, !game.name.empty()) << "mode " << game.mode << ", " << game.score << " points";
    }
    for (int mode = 0; mode < MODE_COUNT; ++mode)
        for (int row = 1; row < HIGHSCORE_ROWS; ++row)
            EXPECT_GE((*highscore_tables[mode])[row - 1].score, (*highscore_tables[mode])[row].score);
    EXPECT_EQ(player.played.size(), 4u);
    EXPECT_TRUE(load_game_in_progress()) << "the game quit in progress is kept for the next start";
    EXPECT_TRUE(std::any_of(player.played.begin(), player.played.end(),
                            [](const Played& game) { return !game.name.empty(); }))
        << "some game went through the name entry";
}
