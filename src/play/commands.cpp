// What the side buttons and the command keys do, on the play screen and on
// the table after a game.
#include "play/commands.h"

#include <allegro.h>

#include "board/board.h"
#include "board/deal_number.h"
#include "board/undo.h"
#include "effects/pop.h"
#include "persist/daily.h"
#include "persist/settings.h"
#include "play/best_line.h"
#include "common/catalogue.h"
#include "shell/input.h"
#include "ui/dialogs.h"
#include "ui/info.h"
#include "ui/name_entry.h"

namespace {

std::optional<uint32_t> asked_deal;
std::optional<uint32_t> offered_deal;

// The new-game question, asked only over a game in progress, as N asks it.
bool may_start_new_game()
{
    return game_progress != GameProgress::in_progress || confirm_dialog("This will start a", "new game. Restart?");
}

// A new game on deal `number`, once the player agrees.
LoopResult play_deal(uint32_t number)
{
    if (!may_start_new_game())
        return LOOP_CONTINUE;
    asked_deal = number;
    return LOOP_NEW_GAME;
}

// G: the number typed in the entry's box. Anything but a number in range is
// refused in a box and nothing changes; Esc goes back.
LoopResult ask_deal_number()
{
    char typed[NAME_ENTRY_BUFFER] = "_";
    const EntryEnd end = enter_digits("Deal number:", typed);
    if (end == EntryEnd::quit)
        return LOOP_QUIT;
    if (end == EntryEnd::cancelled)
        return LOOP_CONTINUE;
    const std::optional<uint32_t> number = parse_deal_number(typed);
    if (!number) {
        confirm_dialog(DEAL_REFUSAL_1, DEAL_REFUSAL_2);
        return quit_requested() && ask_quit_if_closed() ? LOOP_QUIT : LOOP_CONTINUE;
    }
    return play_deal(*number);
}

// What the statistics say of the board: the best line, once found, and the
// day's record when the board is the day's deal.
void update_verdict()
{
    SolverLine best;
    const bool found = best_line_found(settings.game_mode, best);
    if (board_verdict.after_game && found)
        board_verdict.best = best.score;
    if (found && history.deal_numbered && history.deal_number == todays_deal())
        record_daily_best_found(history.deal_number, settings.game_mode, best.score);
}

} // namespace

void offer_deal(uint32_t number) { offered_deal = number; }

std::optional<uint32_t> take_asked_deal()
{
    const std::optional<uint32_t> number = asked_deal;
    asked_deal.reset();
    return number;
}

LoopResult play_commands()
{
    const PointerState pointer = read_pointer();
    hovered_side_button = side_button_at(pointer.x, pointer.y);

    // The window's close button asks the quit question like the quit button.
    if (ask_quit_if_closed())
        return LOOP_QUIT;

    if (offered_deal) {
        const uint32_t number = *offered_deal;
        offered_deal.reset();
        return play_deal(number);
    }

    // The screens that tell what is there open over whatever is shown.
    const bool f1 = key_press(KEY_F1);
    const bool question_mark = character_typed('?');
    const bool s = key_press(KEY_S);
    if ((f1 || question_mark) && run_help())
        return LOOP_QUIT;
    if (s) {
        update_verdict();
        const StatisticsExit exit = run_statistics();
        if (exit != StatisticsExit::closed)
            return exit == StatisticsExit::quit ? LOOP_QUIT : LOOP_WATCH;
    }
    if (key_press(KEY_G))
        return ask_deal_number();
    if (key_press(KEY_D))
        return play_deal(todays_deal());

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
        if (may_start_new_game())
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
