// The side buttons of the play screen, the sliding Yes/No boxes, the loop
// that keeps the options open, and the wait after a game.
#include "ui/dialogs.h"

#include <algorithm>
#include <csignal>

#include "board/board.h"
#include "effects/pop.h"
#include "persist/settings.h"
#include "shell/background.h"
#include "shell/input.h"
#include "shell/render.h"
#include "shell/shell.h"
#include "ui/highscore_display.h"
#include "ui/info.h"
#include "ui/options.h"

int hovered_side_button = -1;
std::atomic<int> close_requested{0};
static_assert(std::atomic<int>::is_always_lock_free, "the close callback may not take a lock");
volatile sig_atomic_t end_signalled = 0;

namespace {

constexpr int SLIDE_STEP = 8;

// Runs on the library's side: it only raises the flag.
void on_close_button() { close_requested = 1; }
END_OF_FUNCTION(on_close_button)

// A signal handler may do nothing else.
void on_end_signal(int) { end_signalled = 1; }

// Exclusive bounds: the button's edge pixels are not part of it.
bool over_side_button(int i, int x, int y)
{
    return SIDE_BUTTON_X[i] < x && x < SIDE_BUTTON_X[i] + SIDE_BUTTON_SIZE && SIDE_BUTTON_Y[i] < y
           && y < SIDE_BUTTON_Y[i] + SIDE_BUTTON_SIZE;
}

// One dialog frame: the scene, the box, its lines, the pointer. Returns the
// pointer as sampled for this frame.
PointerState dialog_frame(BITMAP* box, int x, int centre, const char* line1, const char* line2)
{
    const PointerState pointer = begin_box_frame(box, x);
    FONT* f = game_font();
    if (line1 != nullptr)
        textprintf_centre_ex(BackBuffer, f, centre, 75, -1, -1, "%s", line1);
    if (line2 != nullptr)
        textprintf_centre_ex(BackBuffer, f, centre, 90, -1, -1, "%s", line2);
    // Each answer sits on its own plate (the plates' middles are 48 left
    // and 53 right of the box's middle). Printed as one line with three
    // spaces, as first drawn, "No!" fell beside its plate and its click area.
    textprintf_centre_ex(BackBuffer, f, centre - 48, 115, -1, -1, "%s", "Yes!");
    textprintf_centre_ex(BackBuffer, f, centre + 53, 115, -1, -1, "%s", "No!");
    end_box_frame(pointer);
    return pointer;
}

// The answer areas stand at fixed screen places, whatever the box's width.
enum Answer { NO_ANSWER, ANSWER_YES, ANSWER_NO };

// Set while the quit question is open, so that the close button does not
// ask it again over itself.
bool asking_quit = false;

Answer answer_by_key()
{
    const bool y = key_press(KEY_Y);
    const bool enter = enter_press();
    const bool n = key_press(KEY_N);
    const bool esc = key_press(KEY_ESC);
    if (y || enter)
        return ANSWER_YES;
    if (n || esc)
        return ANSWER_NO;
    return NO_ANSWER;
}

Answer answer_at(const PointerState& sampled, int buttons)
{
    if (buttons != 1 || sampled.y < 115 || sampled.y > 130)
        return NO_ANSWER;
    if (sampled.x >= 85 && sampled.x <= 140)
        return ANSWER_YES;
    if (sampled.x >= 190 && sampled.x <= 240)
        return ANSWER_NO;
    return NO_ANSWER;
}

} // namespace

PointerState begin_box_frame(BITMAP* box, int x, int y)
{
    const PointerState pointer = read_pointer();
    render_frame(false);
    color_map = &trans_table_220;
    draw_trans_sprite(BackBuffer, box, x, y);
    return pointer;
}

void end_box_frame(const PointerState& pointer)
{
    draw_sprite(BackBuffer, sprite(OBJ_POINTER), pointer.x, pointer.y);
    present_frame();
}

void install_close_button()
{
    LOCK_VARIABLE(close_requested);
    LOCK_FUNCTION(on_close_button);
    set_close_button_callback(on_close_button);
}

void wait_for_release()
{
    while (read_pointer().b != 0)
        rest(1);
}

bool confirm_dialog(const char* line1, const char* line2)
{
    FONT* f = game_font();
    int widest = 0;
    if (line1 != nullptr)
        widest = std::max(widest, text_length(f, line1));
    if (line2 != nullptr)
        widest = std::max(widest, text_length(f, line2));
    const int w = 20 + widest;
    const int h = w / 2;

    BITMAP* box = create_bitmap(w + 1, 71);
    if (box == nullptr)
        return false;
    // Narrow boxes cut the answer plates at their borders; the answer areas
    // stay where they are.
    clear_to_color(box, COLOUR_DIALOG_FILL);
    draw_framed_box(box, 3, 3, w - 3, 67, COLOUR_DIALOG_BOX);
    draw_framed_box(box, h - 76, 45, h - 20, 62, COLOUR_DIALOG_FILL);
    draw_framed_box(box, h + 30, 45, h + 76, 62, COLOUR_DIALOG_FILL);
    rect(box, 0, 0, w, 70, COLOUR_OUTLINE);

    forget_held_keys();
    play_cue(OBJ_SND_DIALOG);
    for (int x = -w; x < 160 - h; x += SLIDE_STEP)
        dialog_frame(box, x, x + h, line1, line2);

    Answer answer = NO_ANSWER;
    while (answer == NO_ANSWER) {
        const PointerState sampled = dialog_frame(box, 160 - h, 160, line1, line2);
        answer = answer_at(sampled, read_pointer().b);
        if (answer == NO_ANSWER)
            answer = answer_by_key();
        if (answer == NO_ANSWER && end_signalled)
            answer = asking_quit ? ANSWER_YES : ANSWER_NO;
        if (answer == NO_ANSWER && close_requested) {
            if (asking_quit)
                close_requested = 0;
            else
                answer = ANSWER_NO;
        }
    }

    play_cue(OBJ_SND_CLICK);
    wait_for_release();
    play_cue(OBJ_SND_DIALOG);
    if (answer == ANSWER_YES) {
        for (int x = 160 - h; x < 320; x += SLIDE_STEP)
            dialog_frame(box, x, x + h, line1, line2);
    } else {
        for (int x = 160 - h; x > -w; x -= SLIDE_STEP)
            dialog_frame(box, x, x + h, line1, line2);
    }
    destroy_bitmap(box);
    return answer == ANSWER_YES;
}

bool ask_quit()
{
    asking_quit = true;
    const bool yes = confirm_dialog("Are you sure you", "want to quit?");
    asking_quit = false;
    return yes;
}

bool quit_requested() { return close_requested || end_signalled; }

void install_end_signals()
{
    struct sigaction action {};
    action.sa_handler = on_end_signal;
    sigemptyset(&action.sa_mask);
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGHUP, &action, nullptr);
}

bool ask_quit_if_closed()
{
    if (end_signalled)
        return true;
    if (!close_requested)
        return false;
    close_requested = 0;
    return ask_quit();
}

LoopResult handle_side_buttons()
{
    const PointerState pointer = read_pointer();
    hovered_side_button = -1;
    for (int i = 0; i < 3; ++i) {
        if (over_side_button(i, pointer.x, pointer.y))
            hovered_side_button = i;
    }

    // The window's close button asks the quit question like the quit button.
    if (ask_quit_if_closed())
        return LOOP_QUIT;

    // The screens that tell what is there open over whatever is shown.
    const bool f1 = key_press(KEY_F1);
    const bool question_mark = key_press(KEY_SLASH);
    const bool s = key_press(KEY_S);
    if ((f1 || question_mark) && run_help())
        return LOOP_QUIT;
    if (s) {
        const StatisticsExit exit = run_statistics();
        if (exit != StatisticsExit::closed)
            return exit == StatisticsExit::quit ? LOOP_QUIT : LOOP_WATCH;
    }

    // A key presses its button with the same click; the pointer may be
    // anywhere. Ctrl+N is N; Ctrl+Q is the desktop's quit.
    const bool n = key_press(KEY_N);
    const bool o = key_press(KEY_O);
    const bool esc = key_press(KEY_ESC);
    const bool q = key_press(KEY_Q) && (key[KEY_LCONTROL] || key[KEY_RCONTROL]);
    int pressed = n ? SIDE_NEW_GAME : o ? SIDE_OPTIONS : esc || q ? SIDE_QUIT : -1;
    const bool by_key = pressed >= 0;
    if (!by_key) {
        if (hovered_side_button < 0)
            return LOOP_CONTINUE;
        if (pointer.b == 1)
            pressed = hovered_side_button;
    }
    if (by_key || pointer.b != 0)
        play_cue(OBJ_SND_CLICK);

    LoopResult result = LOOP_CONTINUE;
    switch (pressed) {
    case SIDE_NEW_GAME:
        if (game_progress != GameProgress::in_progress || confirm_dialog("This will start a", "new game. Restart?"))
            result = LOOP_NEW_GAME;
        break;
    case SIDE_OPTIONS:
        if (run_options())
            result = LOOP_QUIT;
        break;
    case SIDE_QUIT:
        if (ask_quit())
            result = LOOP_QUIT;
        break;
    default:
        break;
    }
    if (!by_key && pointer.b != 0)
        wait_for_release();
    return result;
}

bool run_options()
{
    options_open = 1;
    options_highlight = -1;
    forget_held_keys();
    while (options_open) {
        render_frame(true);
        present_frame();
        if (quit_requested()) {
            // The screen is put away under the question: it reads the mouse
            // and keys while drawn, and would take the answer as its own.
            options_open = 0;
            if (ask_quit_if_closed())
                return true;
            options_open = 1;
        }
    }
    save_settings();
    return false;
}

LoopResult game_over_wait()
{
    highscores_shown = 1;
    forget_held_keys();
    LoopResult result;
    do {
        render_frame(true);
        present_frame();
        result = handle_side_buttons();
        // The digit keys pick the mode; with several held the highest wins.
        for (int digit = 0; digit < MODE_COUNT; ++digit) {
            if (key[KEY_0 + digit])
                settings.game_mode = digit;
        }
    } while (result == LOOP_CONTINUE);
    highscores_shown = 0;
    return result;
}
