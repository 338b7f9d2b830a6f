// The newer save files: the game in progress (a game played, taken back and
// saved comes back whole; a damaged, truncated or foreign file changes
// nothing) and the statistics.
#include <gtest/gtest.h>

#include <string>

#include "board/board.h"
#include "board/groups.h"
#include "board/random.h"
#include "board/settle.h"
#include "board/undo.h"
#include "board_text.h"
#include "persist/game_save.h"
#include "persist/save_file.h"
#include "persist/settings.h"
#include "persist/stats.h"
#include "test_env.h"

namespace {

// Pops the first group in storage order, as the game does.
void pop_first_group()
{
    for (int cell = 0; cell < BOARD_CELLS; ++cell) {
        clear_marks();
        const int size = board.cells[cell].colour != 0 ? find_group(cell / BOARD_ROWS, cell % BOARD_ROWS) : 0;
        if (size >= 2) {
            undo_remember();
            score += size * size - 1;
            tiles_popped += size;
            game_progress = GameProgress::in_progress;
            empty_group(board, marked_cells(board));
            settle_board(board, settings.game_mode, false);
            clear_marks();
            return;
        }
    }
    FAIL() << "no group to pop";
}

std::string whole_game()
{
    std::string text = board_text() + std::to_string(score) + " " + std::to_string(tiles_popped) + " "
                       + std::to_string(int(game_progress)) + " " + std::to_string(game_assisted) + " "
                       + std::to_string(settings.game_mode) + " " + std::string(history.deal.begin(), history.deal.end())
                       + " deal " + (history.deal_numbered ? std::to_string(history.deal_number) : "unknown");
    for (const auto* steps : {&history.undo, &history.redo}) {
        text += "|";
        for (const UndoStep& s : *steps)
            text += std::string(s.colours.begin(), s.colours.end()) + std::to_string(s.score) + " "
                    + std::to_string(s.tiles_popped) + " " + std::to_string(int(s.progress));
    }
    return text;
}

} // namespace

TEST(GameSave, AGameWithItsHistoryComesBackWholeAndADamagedFileChangesNothing)
{
    ScratchDir dir;
    start_headless();
    settings = Settings{200, 100, MODE_MEGASHIFTER, 0, 1};
    random_restart();
    new_game();
    for (int i = 0; i < 4; ++i)
        pop_first_group();
    ASSERT_TRUE(undo_last_pop());
    game_assisted = true;
    save_game_in_progress();
    const std::string saved = whole_game();
    const std::string bytes = encode_game_in_progress();

    // Another game on the board, in another mode, with nothing to undo.
    settings.game_mode = MODE_TRADITIONAL;
    new_game();
    const std::string other = whole_game();
    ASSERT_NE(other, saved);
    ASSERT_TRUE(load_game_in_progress());
    EXPECT_EQ(whole_game(), saved) << "board, numbers, mode, deal and its number, undo and redo all come back";
    ASSERT_TRUE(redo_pop());
    ASSERT_TRUE(undo_last_pop());

    // A file of the first version, written before deals had numbers: the
    // same game, its number unknown.
    size_t body = 0;
    ASSERT_TRUE(unseal_save(bytes, body));
    std::string older = bytes.substr(0, body);
    older[4] = 1;
    older.erase(24, 5);
    seal_save(older);
    new_game();
    ASSERT_TRUE(decode_game_in_progress(older)) << "the first version still loads";
    std::string unnumbered = saved;
    unnumbered.replace(unnumbered.find(" deal "), unnumbered.find('|') - unnumbered.find(" deal "), " deal unknown");
    EXPECT_EQ(whole_game(), unnumbered) << "the first version's game comes back whole, its number unknown";

    new_game();
    const std::string fresh = whole_game();
    std::string damaged = bytes;
    damaged[bytes.size() / 2] ^= 1;
    const std::string foreign = "ZRBG" + std::string(bytes.size() - 4, '\7');
    for (const std::string& bad : {damaged, bytes.substr(0, bytes.size() - 1), bytes.substr(0, 30), bytes + "x",
                                   std::string(), foreign}) {
        EXPECT_FALSE(decode_game_in_progress(bad)) << bad.size() << " bytes";
        EXPECT_EQ(whole_game(), fresh) << "a refused file leaves the game as it was";
    }
    write_packed(GAME_SAVE_FILE, damaged);
    EXPECT_FALSE(load_game_in_progress()) << "a damaged file";
    write_file(GAME_SAVE_FILE, bytes);
    EXPECT_FALSE(load_game_in_progress()) << "the bytes not packed under the password";
    forget_game_in_progress();
    EXPECT_FALSE(load_game_in_progress()) << "no file";
    EXPECT_EQ(whole_game(), fresh);

    // A sound file of a game with no pair left: that game is over.
    set_board("..........\n..........\n..........\n..........\n..........\n..........\n..........\n.......123\n");
    write_packed(GAME_SAVE_FILE, encode_game_in_progress());
    new_game();
    const std::string dealt = whole_game();
    EXPECT_FALSE(load_game_in_progress()) << "a game with no pair left came back";
    EXPECT_EQ(whole_game(), dealt);
}

TEST(Statistics, FinishedGamesAreCountedPerModeAndAssistedApartAndADamagedFileGivesNone)
{
    ScratchDir dir;
    start_headless();
    load_statistics();
    EXPECT_EQ(statistics.played[MODE_SHIFTER][0].games, 0u) << "no file: empty statistics";
    for (uint32_t score = 100; score <= 1200; score += 100)
        record_finished_game(MODE_SHIFTER, score, score == 1200, false);
    record_finished_game(MODE_SHIFTER, 5000, true, true);
    const std::string bytes = read_file(STATISTICS_FILE);
    statistics = Statistics{};
    load_statistics();
    const ModeStatistics& own = statistics.played[MODE_SHIFTER][0];
    EXPECT_EQ(own.games, 12u);
    EXPECT_EQ(own.cleared, 1u);
    EXPECT_EQ(own.best, 1200u);
    EXPECT_EQ(average_score(own), 650u);
    EXPECT_EQ(recent_average(own), 750u) << "the last ten: 300 to 1200";
    EXPECT_EQ(statistics.played[MODE_SHIFTER][1].best, 5000u) << "the assisted game counted apart";
    EXPECT_EQ(statistics.played[MODE_TRADITIONAL][0].games, 0u);

    std::string damaged = bytes;
    damaged[damaged.size() / 3] ^= 0x20;
    for (const std::string& bad : {damaged, bytes.substr(0, bytes.size() - 2), std::string("ZRBS")}) {
        write_file(STATISTICS_FILE, bad);
        load_statistics();
        EXPECT_EQ(statistics.played[MODE_SHIFTER][0].games, 0u) << bad.size() << " bytes: empty statistics";
    }
}

TEST(Statistics, AFileWithImpossibleCountsIsRefusedEvenWithASoundChecksum)
{
    ScratchDir dir;
    start_headless();
    statistics = Statistics{};
    for (uint32_t score = 100; score <= 1200; score += 100)
        record_finished_game(MODE_SHIFTER, score, score == 1200, false);
    const std::string sound = encode_statistics();
    // The file's layout: magic and version (5 bytes), then 62 bytes a record,
    // unassisted before assisted in each mode; in a record the count of
    // recent scores is at 20 and the ring position at 21.
    const size_t record = 5 + 62 * (MODE_SHIFTER * 2);
    struct Case {
        const char* what;
        size_t at;
        uint8_t value;
    };
    for (const Case& c : {Case{"nothing changed", 0, 'Z'}, Case{"eleven recent scores kept", record + 20, 11},
                          Case{"the next recent score going past the tenth", record + 21, 10},
                          Case{"more boards cleared than games played", record + 4, 13}}) {
        std::string bytes = sound.substr(0, sound.size() - 4);
        bytes[c.at] = char(c.value);
        seal_save(bytes);
        statistics = Statistics{};
        const bool refused = !decode_statistics(bytes);
        EXPECT_EQ(refused, c.at != 0) << c.what;
        EXPECT_EQ(statistics.played[MODE_SHIFTER][0].games, refused ? 0u : 12u) << c.what;
    }
}
