// Buttons, the options screen's actions, the name entry's editing, the
// high-score table's swing, the side buttons and the Yes/No box; the help
// and statistics texts fit their box.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "board/board.h"
#include "play/commands.h"
#include "play/game_loop.h"
#include "play/game_over.h"
#include "board/random.h"
#include "persist/settings.h"
#include "shell/background.h"
#include "shell/input.h"
#include "shell/render.h"
#include "shell/shell.h"
#include "test_env.h"
#include "ui/buttons.h"
#include "ui/dialogs.h"
#include "ui/highscore_display.h"
#include "ui/info.h"
#include "ui/name_entry.h"
#include "ui/options.h"

namespace {

class Interface : public ::testing::Test {
protected:
    void SetUp() override
    {
        start_headless_with_archive();
        settings = Settings{0, 0, MODE_TRADITIONAL, THEME_ORIGINAL, 1};
        build_background();
        game_progress = GameProgress::fresh;
        random_restart();
        // A press one case left held must not carry into the next: run in
        // one process, the cases share the options screen's memory of it.
        options_mouse_was_down = 0;
    }
    void TearDown() override { set_pointer_source(nullptr); }
};

// A list with two overlapping 16-pixel-wide arrows.
ButtonList* two_buttons()
{
    ButtonList* list = button_list_create();
    button_add(list, Datafile, OBJ_ARROW_LEFT, OBJ_ARROW_LEFT, 10, 10, 1);
    button_add(list, Datafile, OBJ_ARROW_RIGHT, OBJ_ARROW_RIGHT, 14, 10, 2);
    return list;
}

} // namespace

TEST_F(Interface, AButtonOwnsItsLeftAndTopEdgesButNotItsRightAndBottom)
{
    ButtonList* list = button_list_create();
    button_add(list, Datafile, OBJ_CHECK_BOX, OBJ_CHECK_BOX, 30, 40, 5);
    const Button* b = list->next;
    EXPECT_EQ(b->width, sprite(OBJ_CHECK_BOX)->w);
    EXPECT_EQ(b->height, sprite(OBJ_CHECK_BOX)->h);
    EXPECT_EQ(button_hit_test(list, 30, 40), 5);
    EXPECT_EQ(b->hovered, 1);
    EXPECT_EQ(button_hit_test(list, 30 + b->width - 1, 40 + b->height - 1), 5);
    EXPECT_EQ(button_hit_test(list, 30 + b->width, 40), 0);
    EXPECT_EQ(b->hovered, 0);
    EXPECT_EQ(button_hit_test(list, 30, 40 + b->height), 0);
    EXPECT_EQ(button_hit_test(list, 29, 40), 0);
    button_list_free(list);
}

TEST_F(Interface, OverlappingButtonsAreBothLitAndTheLaterOneWins)
{
    ButtonList* list = two_buttons();
    EXPECT_EQ(button_hit_test(list, 15, 12), 2);
    EXPECT_EQ(list->next->hovered, 1);
    EXPECT_EQ(list->next->next->hovered, 1);
    EXPECT_EQ(button_hit_test(list, 11, 12), 1);
    EXPECT_EQ(list->next->next->hovered, 0);

    ButtonList* empty = button_list_create();
    EXPECT_EQ(button_hit_test(empty, 15, 12), 0);
    BITMAP* before = create_bitmap(64, 64);
    clear_to_color(before, 3);
    button_draw_all(before, Datafile, empty);
    EXPECT_EQ(getpixel(before, 20, 20), 3) << "an empty list draws nothing";
    destroy_bitmap(before);
    button_list_free(list);
    button_list_free(empty);
}

TEST_F(Interface, MovingButtonsById)
{
    ButtonList* list = two_buttons();
    button_move(list, 9, 100, 100);
    EXPECT_EQ(list->next->x, 10);
    EXPECT_EQ(list->next->next->x, 14);
    button_move(list, 2, -1, -1);
    EXPECT_EQ(list->next->next->x, 14);
    EXPECT_EQ(list->next->next->y, 10);
    button_move(list, 2, 50, -1);
    EXPECT_EQ(list->next->next->x, 50);
    EXPECT_EQ(list->next->next->y, 10) << "-1 keeps a coordinate";
    button_add(list, Datafile, OBJ_CLOSE, OBJ_CLOSE, 0, 0, 2);
    button_move(list, 2, -1, 77);
    EXPECT_EQ(list->next->next->y, 77);
    EXPECT_EQ(list->next->next->next->y, 77) << "every button with the id moves";
    button_list_free(list);
}

TEST_F(Interface, AHoveredButtonIsLitTowardWhite)
{
    ButtonList* list = button_list_create();
    button_add(list, Datafile, OBJ_CHECK_BOX, OBJ_CHECK_BOX, 0, 0, 5);
    BITMAP* dest = create_bitmap(64, 64);
    clear_to_color(dest, 0);
    button_hit_test(list, 1, 1);
    color_map = &white_light_table;
    button_draw_all(dest, Datafile, list);
    BITMAP* face = sprite(OBJ_CHECK_BOX);
    int checked = 0;
    for (int y = 0; y < face->h; ++y)
        for (int x = 0; x < face->w; ++x)
            if (getpixel(face, x, y) != 0) {
                ASSERT_EQ(getpixel(dest, x, y), white_light_table.data[150][getpixel(face, x, y)]);
                ++checked;
            }
    EXPECT_GT(checked, 0);
    destroy_bitmap(dest);
    button_list_free(list);
}

TEST_F(Interface, OptionArrowsStopAtTheirLimitsButAlwaysClick)
{
    settings.game_mode = 0;
    options_act(BUTTON_MODE_PREV);
    EXPECT_EQ(settings.game_mode, 0);
    EXPECT_EQ(random_draws(), 1u) << "the arrow still clicks";
    for (int i = 0; i < 5; ++i)
        options_act(BUTTON_MODE_NEXT);
    EXPECT_EQ(settings.game_mode, 3);
    for (int i = 0; i < 7; ++i)
        options_act(BUTTON_THEME_NEXT);
    EXPECT_EQ(settings.theme, 4);
    options_act(BUTTON_THEME_PREV);
    EXPECT_EQ(settings.theme, 3);
    options_act(BUTTON_ANIMATIONS);
    EXPECT_EQ(settings.animations, 0);
    settings.animations = 7;
    options_act(BUTTON_ANIMATIONS);
    EXPECT_EQ(settings.animations, 0) << "any other value counts as on";
    options_act(BUTTON_ANIMATIONS);
    EXPECT_EQ(settings.animations, 1);
    const uint64_t draws = random_draws();
    options_act(0);
    EXPECT_EQ(random_draws(), draws) << "empty space does not click";
    options_open = 1;
    options_act(BUTTON_CLOSE);
    EXPECT_EQ(options_open, 0);
}

TEST_F(Interface, TheModeCannotChangeWhileAGameIsInProgress)
{
    game_progress = GameProgress::in_progress;
    settings.game_mode = 1;
    options_act(BUTTON_MODE_NEXT);
    options_act(BUTTON_MODE_PREV);
    EXPECT_EQ(settings.game_mode, 1);
    EXPECT_EQ(random_draws(), 2u) << "both arrows still click";
    options_act(BUTTON_THEME_NEXT);
    EXPECT_EQ(settings.theme, 1) << "the theme may change";
    game_progress = GameProgress::finished;
    options_act(BUTTON_MODE_NEXT);
    EXPECT_EQ(settings.game_mode, 2);
}

TEST_F(Interface, TheVolumeSliderCoversItsRangeInFiftyOnePixels)
{
    EXPECT_EQ(slider_volume(100), 0);
    EXPECT_EQ(slider_volume(150), 0);
    EXPECT_EQ(slider_volume(151), 5);
    EXPECT_EQ(slider_volume(201), 255);
    EXPECT_EQ(slider_volume(300), 255);
}

namespace {
PointerState pointer_script;
PointerState scripted() { return pointer_script; }
} // namespace

TEST_F(Interface, AHeldPressActsOnceButDragsAKnobEveryFrame)
{
    set_pointer_source(scripted);
    options_open = 1;
    options_mouse_was_down = 0;
    settings.theme = 0;
    // The theme arrow at (190, 110), held for three frames.
    pointer_script = {195, 115, 1};
    for (int frame = 0; frame < 3; ++frame)
        options_frame();
    EXPECT_EQ(settings.theme, 1);
    // Released, then a press begun on empty space slid onto the arrow: nothing.
    pointer_script.b = 0;
    options_frame();
    pointer_script = {100, 150, 1};
    options_frame();
    pointer_script = {195, 115, 1};
    options_frame();
    EXPECT_EQ(settings.theme, 1);
    // Middle or right button too: nothing reacts and the flag resets.
    pointer_script.b = 3;
    options_frame();
    EXPECT_EQ(options_mouse_was_down, 0);
    // The music knob sits at 144 + volume / 5; dragging it follows the pointer.
    settings.music_volume = 100;
    pointer_script = {144 + 20 + 3, 25, 0};
    options_frame();
    pointer_script.b = 1;
    options_frame();
    EXPECT_EQ(settings.music_volume, (167 - 150) * 5);
    pointer_script.x = 175;
    options_frame();
    EXPECT_EQ(settings.music_volume, 125) << "the knob follows while held";
    EXPECT_EQ(options_buttons->next->next->next->next->next->next->next->x, 144 + 85 / 5)
        << "the knob was drawn where the volume stood at the start of the frame";
    options_open = 0;
}

TEST_F(Interface, NameEntryEditing)
{
    auto type = [](const std::vector<int>& keys) {
        char buffer[NAME_ENTRY_BUFFER] = "_";
        int cursor = 0;
        bool done = false;
        for (int k : keys)
            done = name_entry_key(buffer, cursor, k);
        EXPECT_TRUE(done) << "Enter ends the entry";
        return std::string(buffer);
    };
    auto letter = [](char c) { return (KEY_A + (c - 'a')) << 8 | c; };
    const int enter = KEY_ENTER << 8 | 13;
    const int backspace = KEY_BACKSPACE << 8 | 8;

    EXPECT_EQ(type({letter('a'), letter('b'), letter('c'), enter}), "abc");
    EXPECT_EQ(type({enter}), "");
    std::vector<int> twelve;
    for (char c : std::string("abcdefghijkl"))
        twelve.push_back(letter(c));
    twelve.push_back(enter);
    EXPECT_EQ(type(twelve), "abcdefghij") << "the eleventh and twelfth are covered by the cursor";
    EXPECT_EQ(type({backspace, enter}), "");
    // The deal number's box takes digits alone.
    char digits[NAME_ENTRY_BUFFER] = "_";
    int at = 0;
    for (int k : {letter('a'), KEY_1 << 8 | '1', KEY_MINUS << 8 | '-', KEY_2 << 8 | '2', enter})
        name_entry_key(digits, at, k, true);
    EXPECT_STREQ(digits, "12") << "a letter or a sign typed into a deal number is dropped";
    EXPECT_EQ(type({letter('x'), letter('y'), backspace, enter}), "x");
    // Keys without a printable character change nothing.
    const int arrow = KEY_LEFT << 8;
    const int tab = KEY_TAB << 8 | 9;
    const int escape = KEY_ESC << 8 | 27;
    EXPECT_EQ(type({letter('a'), arrow, tab, escape, letter('b'), enter}), "ab");
    const int pad_enter = KEY_ENTER_PAD << 8 | 13;
    EXPECT_EQ(type({letter('a'), letter('b'), pad_enter}), "ab") << "the keypad's Enter ends the entry as Enter does";

    char buffer[NAME_ENTRY_BUFFER] = "_";
    int cursor = 0;
    name_entry_key(buffer, cursor, letter('q'));
    EXPECT_STREQ(buffer, "q_") << "each letter shows with the cursor after it";
}

TEST_F(Interface, TheHighScoreRowsSwayInAWave)
{
    frame_counter = 0;
    EXPECT_EQ(row_swing(0), 4) << "row 0 at its widest: name at 25, score ending at 214";
    frame_counter = 16;  // a quarter turn later
    EXPECT_EQ(row_swing(0), 0);
    frame_counter = 32;
    EXPECT_EQ(row_swing(0), -4);
}

TEST_F(Interface, SideButtonsHaveExclusiveEdges)
{
    set_pointer_source(scripted);
    struct Case {
        int x, y, hovered;
    };
    for (const Case& c : {Case{200, 185, -1}, Case{201, 185, 0}, Case{216, 196, 0}, Case{217, 185, -1},
                          Case{205, 180, -1}, Case{215, 205, 1}, Case{225, 230, 2}, Case{100, 100, -1}}) {
        pointer_script = {c.x, c.y, 0};
        EXPECT_EQ(play_commands(), LOOP_CONTINUE);
        EXPECT_EQ(hovered_side_button, c.hovered) << "at " << c.x << "," << c.y;
    }
}

namespace {
// Looks at `miss` for a while, then clicks `then`, releasing between looks.
PointerState miss_point, then_point;
int look_count;
PointerState miss_then_click()
{
    ++look_count;
    const PointerState& p = look_count < 120 ? miss_point : then_point;
    return {p.x, p.y, look_count & 1};
}
bool answer_after(PointerState miss, PointerState then)
{
    miss_point = miss;
    then_point = then;
    look_count = 0;
    set_pointer_source(miss_then_click);
    return confirm_dialog("Are you sure you", "want to quit?");
}
} // namespace

TEST_F(Interface, TheYesNoAnswerAreasAreFixedOnTheScreen)
{
    const PointerState yes{100, 120, 0};
    const PointerState no{200, 120, 0};
    EXPECT_TRUE(answer_after({85, 115, 0}, no)) << "(85, 115) is the corner of Yes";
    EXPECT_TRUE(answer_after({140, 130, 0}, no)) << "(140, 130) is the corner of Yes";
    EXPECT_FALSE(answer_after({240, 130, 0}, yes)) << "(240, 130) still answers No";
    EXPECT_FALSE(answer_after({84, 120, 0}, no)) << "(84, 120) misses Yes";
    EXPECT_FALSE(answer_after({141, 120, 0}, no)) << "(141, 120) misses Yes";
    EXPECT_TRUE(answer_after({241, 120, 0}, yes)) << "(241, 120) misses No";
    EXPECT_FALSE(answer_after({100, 131, 0}, no)) << "y 131 misses though it lies on the plate";
    EXPECT_TRUE(answer_after({200, 114, 0}, yes)) << "y 114 misses";
}

TEST_F(Interface, AnAnswerWorksWithBothLinesAbsent)
{
    miss_point = then_point = {200, 120, 0};
    look_count = 0;
    set_pointer_source(miss_then_click);
    EXPECT_FALSE(confirm_dialog(nullptr, nullptr));
}

TEST_F(Interface, ClosingTheOptionsScreenWritesTheSettingsAtOnce)
{
    ScratchDir dir;
    settings.theme = THEME_XMAS;
    // A press on the close button, then let go.
    look_count = 0;
    set_pointer_source([] {
        ++look_count;
        return PointerState{200, 165, look_count > 2 && look_count < 5 ? 1 : 0};
    });
    EXPECT_FALSE(run_options());
    settings.theme = THEME_ORIGINAL;
    load_saved_data();
    EXPECT_EQ(settings.theme, THEME_XMAS) << "a game killed now keeps the theme chosen";
}

TEST_F(Interface, DigitKeysPickTheModeAfterAGameHighestWins)
{
    game_progress = GameProgress::finished;
    // The new-game button is pressed and released: no question after a game.
    key[KEY_1] = 1;
    key[KEY_3] = 1;
    look_count = 0;
    set_pointer_source([] {
        ++look_count;
        return PointerState{205, 185, look_count < 3 ? 1 : 0};
    });
    EXPECT_EQ(game_over_wait(), LOOP_NEW_GAME);
    EXPECT_EQ(settings.game_mode, 3);
    EXPECT_EQ(highscores_shown, 0);
    key[KEY_1] = 0;
    key[KEY_3] = 0;
}

TEST_F(Interface, EveryLineOfTheHelpAndTheStatisticsNoteFitsInsideTheBox)
{
    for (int page = 0; page < HELP_PAGE_COUNT; ++page) {
        int lines = 0;
        for (const char* const* l = help_page_lines(page); *l != nullptr; ++l)
            ++lines;
        EXPECT_LE(lines, HELP_PAGE_LINES) << "help page " << page + 1 << " has more lines than the box holds";
        EXPECT_LE(widest_help_line(page), info_text_width()) << "a line of help page " << page + 1
                                                             << " runs past the box's right edge";
    }
    for (const char* line : STATISTICS_NO_BEST_LINE)
        EXPECT_LE(text_length(game_font(), line), info_text_width()) << "the statistics say: " << line;
}
