// Help and statistics: a box in the question boxes' look, nearly the size
// of the screen, with lines of the game's font; the scene goes on behind.
#include "ui/info.h"

#include <allegro.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>

#include "board/undo.h"
#include "effects/pop.h"
#include "persist/daily.h"
#include "persist/settings.h"
#include "persist/stats.h"
#include "shell/background.h"
#include "shell/input.h"
#include "shell/shell.h"
#include "ui/dialogs.h"

BoardVerdict board_verdict = {false, false, 0, -1};

const char* const STATISTICS_NO_BEST_LINE[2] = {"New columns come in this mode, so no",
                                                "best line is known for this board."};

namespace {

constexpr int BOX_X = 8;
constexpr int BOX_TOP = 6;
constexpr int BOX_WIDTH = 304;
constexpr int BOX_HEIGHT = 228;
constexpr int TEXT_X = BOX_X + 9;
constexpr int TEXT_RIGHT = BOX_X + BOX_WIDTH - 9;
constexpr int TEXT_TOP = BOX_TOP + 8;
constexpr int LINE_HEIGHT = 11;
constexpr int KEY_COLUMN = 16;  // characters of a key's name, before what it does
constexpr int FOOTER_Y = BOX_TOP + BOX_HEIGHT - 19;

// Each line is drawn from the box's left edge; a tab starts the second
// column, for the keys and what they do. The keys listed here are the ones
// the manual page lists (tests/docs/keys_agree.py holds them to it).
constexpr const char* HELP_PAGES[HELP_PAGE_COUNT][HELP_PAGE_LINES + 1] = {
    {
        "HOW TO PLAY",
        "",
        "Click a group of two or more touching",
        "tiles of one colour: it shakes. Click",
        "it again and it pops for n x n - 1",
        "points: 3 for two tiles, 99 for ten.",
        "Tiles above fall down, and emptied",
        "columns close up toward the right.",
        "Clearing the board earns 250 points.",
        "The game ends when no two touching",
        "tiles share a colour.",
        "",
        "MODES",
        "Traditional\ttiles fall, columns close",
        "Continous\tnew columns come in",
        "Shifter\tall rows slide right",
        "Megashifter\tnew columns, rows slide",
        nullptr,
    },
    {
        "KEYS",
        "Arrows\tmove the cell cursor",
        "Space, Enter\tclick the cursor's cell",
        "U, Bksp, Ctrl+Z\tundo",
        "Shift+U, Ctrl+Y\tredo",
        "Ctrl+Shift+Z\tredo too",
        "R, F5\trestart this board",
        "H\thint: select a good group",
        "N, Ctrl+N\tnew game",
        "G\tplay a deal by its number",
        "D\tplay the day's deal",
        "O\toptions",
        "Esc, Ctrl+Q\tquit",
        "S\tstatistics",
        "F1, ?\tthis help",
        "Ctrl+P\tscreenshots, while held",
        "F11, Alt+Enter\twindow or whole screen",
        nullptr,
    },
    {
        "MORE KEYS",
        "In a question box",
        "Y, Enter\tYes!",
        "N, Esc\tNo!",
        "In the statistics, after a game",
        "W\twatch the best line",
        "In the options",
        "Up, Down\tchoose a line",
        "Left, Right\tchange it",
        "Enter, Esc\tclose",
        "In the deal number box",
        "0 to 9\tthe deal's number",
        "Enter, Esc\tplay it, or not",
        "On the high-score table",
        "0 1 2 3\tpick the mode",
        "PgUp, PgDn\tturn these pages",
        "Undo, hint, restart: no high score.",
        nullptr,
    },
    {
        "DEALS",
        "",
        "Every deal has a number, and the same",
        "number deals the same board. G plays",
        "a deal by its number; D plays the",
        "day's deal, numbered by the date as",
        "YYYYMMDD. zorbl --deal N and zorbl",
        "--daily start the game on a deal.",
        "In Continous and Megashifter the",
        "columns that come in depend on play.",
        "",
        "While you look away, the game waits.",
        "",
        nullptr,
    },
};

// How to leave or turn each page, on its last line.
constexpr const char* HELP_FOOTERS[HELP_PAGE_COUNT] = {
    "Right: keys    F1, Esc, click: back",
    "Left, Right: turn    F1, Esc, click: back",
    "Left, Right: turn    F1, Esc, click: back",
    "Left: keys    F1, Esc, click: back",
};

void text(int x, int y, const char* s) { textprintf_ex(BackBuffer, game_font(), x, y, -1, -1, "%s", s); }

// A line of the statistics from a format, at the text's left edge.
template <class... Values>
void text_line(int y, const char* format, Values... values)
{
    char line[128];
    std::snprintf(line, sizeof line, format, values...);
    text(TEXT_X, y, line);
}

void text_right(int x, int y, const char* format, uint32_t value)
{
    textprintf_right_ex(BackBuffer, game_font(), x, y, -1, -1, format, value);
}

// Made as the question boxes are: the face, a framed inner box, the outline.
BITMAP* make_box()
{
    BITMAP* box = create_bitmap(BOX_WIDTH, BOX_HEIGHT);
    if (box == nullptr)
        return nullptr;
    clear_to_color(box, COLOUR_DIALOG_FILL);
    draw_framed_box(box, 3, 3, BOX_WIDTH - 4, BOX_HEIGHT - 4, COLOUR_DIALOG_BOX);
    rect(box, 0, 0, BOX_WIDTH - 1, BOX_HEIGHT - 1, COLOUR_OUTLINE);
    return box;
}

void draw_help_page(int page)
{
    char line[64];
    int y = TEXT_TOP;
    for (const char* const* l = HELP_PAGES[page]; *l != nullptr; ++l, y += LINE_HEIGHT) {
        std::snprintf(line, sizeof line, "%s", *l);
        char* tab = line;
        while (*tab != '\0' && *tab != '\t')
            ++tab;
        if (*tab == '\t') {
            *tab = '\0';
            text(TEXT_X + 7 * KEY_COLUMN, y, tab + 1);
        }
        text(TEXT_X, y, line);
    }
    // The deals' page names the deal on the board, to pass on.
    if (page == HELP_PAGE_COUNT - 1) {
        if (history.deal_numbered)
            std::snprintf(line, sizeof line, "This board is deal %u.", unsigned(history.deal_number));
        else
            std::snprintf(line, sizeof line, "This board's number is not known.");
        text(TEXT_X, y, line);
    }
    textprintf_right_ex(BackBuffer, game_font(), BOX_X + BOX_WIDTH - 10, TEXT_TOP, -1, -1, "%d/%d", page + 1,
                        HELP_PAGE_COUNT);
    text(TEXT_X, FOOTER_Y, HELP_FOOTERS[page]);
}

// Right edges of the statistics' columns.
constexpr int COLUMN_RIGHT[5] = {BOX_X + 128, BOX_X + 170, BOX_X + 210, BOX_X + 248, BOX_X + 296};

void draw_statistics_rows(int y, int assisted)
{
    text(TEXT_X, y, assisted ? "ASSISTED" : "UNAIDED");
    const char* heads[5] = {"Games", "Clear", "Avg", "Best", "Last10"};
    for (int c = 0; c < 5; ++c)
        textprintf_right_ex(BackBuffer, game_font(), COLUMN_RIGHT[c], y, -1, -1, "%s", heads[c]);
    for (int mode = 0; mode < MODE_COUNT; ++mode) {
        y += LINE_HEIGHT;
        const ModeStatistics& s = statistics.played[mode][assisted];
        text(TEXT_X, y, MODE_NAMES[mode]);
        const uint32_t values[5] = {s.games, s.cleared, average_score(s), s.best, recent_average(s)};
        for (int c = 0; c < 5; ++c)
            text_right(COLUMN_RIGHT[c], y, "%u", values[c]);
    }
}

void draw_statistics(bool can_watch)
{
    text(TEXT_X, TEXT_TOP, "STATISTICS");
    draw_statistics_rows(TEXT_TOP + 2 * LINE_HEIGHT, 0);
    draw_statistics_rows(TEXT_TOP + 8 * LINE_HEIGHT, 1);
    int y = TEXT_TOP + 14 * LINE_HEIGHT;
    char line[24];
    if (history.deal_numbered)
        std::snprintf(line, sizeof line, "Deal %u", unsigned(history.deal_number));
    else
        std::snprintf(line, sizeof line, "This board");
    if (board_verdict.after_game && board_verdict.knowable && board_verdict.best >= 0)
        text_line(y, "%s: you %d, best found %d", line, int(board_verdict.you), int(board_verdict.best));
    else if (board_verdict.after_game)
        text_line(y, "%s: you %d", line, int(board_verdict.you));
    else
        text(TEXT_X, y, line);
    if (board_verdict.after_game && !board_verdict.knowable) {
        text(TEXT_X, y + LINE_HEIGHT, STATISTICS_NO_BEST_LINE[0]);
        text(TEXT_X, y + 2 * LINE_HEIGHT, STATISTICS_NO_BEST_LINE[1]);
    }
    // The day's deal in the mode chosen: the player's best unassisted game
    // on it, and the best line found (where one means something).
    y += (board_verdict.after_game && !board_verdict.knowable ? 3 : 2) * LINE_HEIGHT;
    const uint32_t today = todays_deal();
    const DailyModeRecord record = daily_record_of(today, settings.game_mode);
    if (!record.played && history.deal_numbered && history.deal_number == today)
        text_line(y, "Today %u: this board", unsigned(today));
    else if (!record.played)
        text_line(y, "Today %u: D plays it", unsigned(today));
    else if (!refills_from_left(settings.game_mode) && record.best_found >= 0)
        text_line(y, "Today %u: you %u, best found %d", unsigned(today), unsigned(record.best),
                  int(record.best_found));
    else
        text_line(y, "Today %u: you %u", unsigned(today), unsigned(record.best));
    text(TEXT_X, FOOTER_Y, can_watch ? "W: watch the best line   S, Esc, click: back" : "S, Esc, click: back");
}

// One screen's loop: `frame` draws the text and answers whether the screen
// stays open. The window's close button asks the quit question over the
// scene, as everywhere.
template <class Frame>
bool run_screen(Frame frame)
{
    BITMAP* box = make_box();
    if (box == nullptr)
        return false;
    forget_held_keys();
    play_cue(OBJ_SND_DIALOG);
    bool quit = false;
    for (;;) {
        const PointerState pointer = begin_box_frame(box, BOX_X, BOX_TOP);
        const bool open = frame(pointer);
        end_box_frame(pointer);
        if (!open)
            break;
        if (quit_requested() && ask_quit_if_closed()) {
            quit = true;
            break;
        }
    }
    destroy_bitmap(box);
    play_cue(OBJ_SND_CLICK);
    // A press that closed the screen must not reach the board behind it.
    wait_for_release();
    forget_held_keys();
    return quit;
}

} // namespace

const char* const* help_page_lines(int page) { return HELP_PAGES[page]; }

int widest_help_line(int page)
{
    int widest = text_length(game_font(), HELP_FOOTERS[page]);
    for (const char* const* l = HELP_PAGES[page]; *l != nullptr; ++l) {
        const char* tab = std::strchr(*l, '\t');
        if (tab == nullptr) {
            widest = std::max(widest, text_length(game_font(), *l));
        } else {
            const std::string name(*l, size_t(tab - *l));
            widest = std::max(widest, std::max(text_length(game_font(), name.c_str()),
                                               7 * KEY_COLUMN + text_length(game_font(), tab + 1)));
        }
    }
    return widest;
}

int info_text_width() { return TEXT_RIGHT - TEXT_X; }

bool run_help()
{
    int page = 0;
    // Only a press that begins on this screen closes it.
    bool was_down = read_pointer().b != 0;
    return run_screen([&page, &was_down](const PointerState& pointer) {
        draw_help_page(page);
        const bool f1 = key_press(KEY_F1);
        const bool esc = key_press(KEY_ESC);
        const bool next = key_press(KEY_RIGHT) | key_press(KEY_DOWN) | key_press(KEY_PGDN);
        const bool back = key_press(KEY_LEFT) | key_press(KEY_UP) | key_press(KEY_PGUP);
        if (next)
            page = std::min(page + 1, HELP_PAGE_COUNT - 1);
        if (back)
            page = std::max(page - 1, 0);
        const bool click = pointer.b == 1 && !was_down;
        was_down = pointer.b != 0;
        return !(f1 || esc || click);
    });
}

StatisticsExit run_statistics()
{
    const bool can_watch = board_verdict.after_game && board_verdict.knowable && board_verdict.best >= 0;
    bool watch = false;
    // A click closes it as it closes the help; only a press that begins on
    // this screen counts.
    bool was_down = read_pointer().b != 0;
    const bool quit = run_screen([can_watch, &watch, &was_down](const PointerState& pointer) {
        draw_statistics(can_watch);
        const bool s = key_press(KEY_S);
        const bool esc = key_press(KEY_ESC);
        watch = key_press(KEY_W) && can_watch;
        const bool click = pointer.b == 1 && !was_down;
        was_down = pointer.b != 0;
        return !(s || esc || watch || click);
    });
    return quit ? StatisticsExit::quit : watch ? StatisticsExit::watch : StatisticsExit::closed;
}
