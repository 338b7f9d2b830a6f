// Deal numbers: the first deal after the intro is numbered by the generator's
// state, read without a draw, and that number deals the same board again;
// the day's deal is the local date; its record keeps the day's best.
#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>

#include "board/board.h"
#include "board/deal_number.h"
#include "board/random.h"
#include "board/undo.h"
#include "board_text.h"
#include "persist/daily.h"
#include "persist/settings.h"
#include "play/best_line.h"
#include "play/game_loop.h"
#include "shell/intro.h"
#include "shell/shell.h"
#include "test_env.h"

TEST(DealNumber, TheFirstDealAfterTheIntroIsNumberedByTheGeneratorAndItsNumberDealsItAgain)
{
    ScratchDir dir;
    start_headless_with_archive();
    settings = Settings{0, 0, MODE_TRADITIONAL, THEME_ORIGINAL, 0};
    random_restart();
    Intro intro;
    intro_setup(intro);
    do
        intro_frame(intro);
    while (intro_continues(intro, false));

    const uint32_t state = random_state();
    const uint64_t draws = random_draws();
    begin_new_game();
    EXPECT_EQ(random_draws(), draws + BOARD_CELLS) << "the deal's 80 draws, and none to read its number";
    ASSERT_TRUE(history.deal_numbered);
    EXPECT_EQ(history.deal_number, state) << "the number is the state the generator held before the deal";
    const std::string first = board_text();
    const uint32_t after_first = random_state();
    const std::array<uint8_t, BOARD_CELLS> colours = deal_colours(state);
    EXPECT_EQ(colours, history.deal) << "the solver's deal from the number is the board the game dealt";
    EXPECT_EQ(window_title(state), "zorbl - deal " + std::to_string(state) + " - F1: help");
    EXPECT_EQ(window_title(std::nullopt), "zorbl - F1: help") << "a game whose number is unknown";

    // Other play in between; then the number typed back in.
    for (int i = 0; i < 37; ++i)
        random_next();
    begin_new_game();
    ASSERT_NE(board_text(), first);
    begin_new_game(state);
    EXPECT_EQ(board_text(), first) << "the number deals the same board again";
    EXPECT_EQ(history.deal_number, state);
    EXPECT_EQ(random_state(), after_first) << "and play goes on from where that deal left the generator";
    restart_deal();
    EXPECT_EQ(history.deal_number, state) << "a restarted board keeps its number";
    best_line_wait();
}

TEST(DealNumber, TheDaysDealIsTheLocalDateAndItsRecordKeepsTheDaysBest)
{
    // 8 December 2026, 00:30 UTC: still the 7th an hour west of Greenwich.
    const std::time_t just_after_midnight = 1796688000 + 30 * 60;
    const char* const zone = std::getenv("TZ");
    const std::string kept_zone = zone != nullptr ? zone : "";
    setenv("TZ", "UTC", 1);
    tzset();
    EXPECT_EQ(daily_deal_at(just_after_midnight), 20261208u);
    setenv("TZ", "XST+1", 1);
    tzset();
    EXPECT_EQ(daily_deal_at(just_after_midnight), 20261207u) << "the local date, not Greenwich's";
    if (zone != nullptr)
        setenv("TZ", kept_zone.c_str(), 1);
    else
        unsetenv("TZ");
    tzset();

    ScratchDir dir;
    start_headless();
    load_daily_record();
    EXPECT_FALSE(daily_record_of(20261208, MODE_SHIFTER).played) << "no file: nothing played";
    record_daily_game(20261208, MODE_SHIFTER, 700, false, -1);
    record_daily_game(20261208, MODE_SHIFTER, 500, false, 1500);
    record_daily_game(20261208, MODE_SHIFTER, 3000, true, -1);
    record_daily_best_found(20261208, MODE_SHIFTER, 1400);
    daily_record = DailyRecord{};
    load_daily_record();
    const DailyModeRecord shifter = daily_record_of(20261208, MODE_SHIFTER);
    EXPECT_TRUE(shifter.played);
    EXPECT_EQ(shifter.best, 700u) << "the best unassisted game of the day";
    EXPECT_EQ(shifter.best_found, 1500) << "the best line found stays the best";
    EXPECT_FALSE(daily_record_of(20261208, MODE_TRADITIONAL).played) << "each mode apart";
    EXPECT_FALSE(daily_record_of(20261209, MODE_SHIFTER).played) << "the next day starts with nothing";

    record_daily_game(20261209, MODE_TRADITIONAL, 90, false, -1);
    EXPECT_FALSE(daily_record_of(20261208, MODE_SHIFTER).played) << "a new day's game replaces the old day";
    EXPECT_EQ(daily_record_of(20261209, MODE_TRADITIONAL).best, 90u);

    std::string damaged = encode_daily_record();
    damaged[7] ^= 1;
    EXPECT_FALSE(decode_daily_record(damaged)) << "a damaged file";
    write_packed(DAILY_FILE, damaged);
    load_daily_record();
    EXPECT_FALSE(daily_record_of(20261209, MODE_TRADITIONAL).played) << "a damaged file gives no record";
}
