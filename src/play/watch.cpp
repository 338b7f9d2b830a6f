// The best line of a deal, played pop by pop for the player to watch.
#include "play/watch.h"

#include "board/board.h"
#include "board/groups.h"
#include "board/points.h"
#include "board/undo.h"
#include "effects/banner.h"
#include "effects/pop.h"
#include "persist/settings.h"
#include "play/best_line.h"
#include "play/game_loop.h"
#include "common/catalogue.h"
#include "shell/input.h"
#include "shell/render.h"
#include "ui/dialogs.h"

namespace {

// How long a watched line lets each pop be seen: before the group is
// selected, and while it shakes.
constexpr int WATCH_LOOK_FRAMES = 30;

} // namespace

bool watch_best_line()
{
    SolverLine line;
    if (!best_line_found(settings.game_mode, line))
        return false;
    restart_deal();
    banner_frames_left = 0;
    selection_size = clear_marks();
    board_cursor.shown = false;
    // Any key or a press begun while watching stops it; so does the window's
    // close button, whose question the table then asks.
    forget_held_keys();
    bool was_down = read_pointer().b != 0;
    const auto shown_for = [&was_down](int frames) {
        for (int i = 0; i < frames; ++i) {
            draw_play_frame();
            const bool down = read_pointer().b != 0;
            const bool pressed = down && !was_down;
            was_down = down;
            if (pressed || any_key_press() || quit_requested())
                return false;
        }
        return true;
    };
    for (const SolverMove& move : line.moves) {
        // As a player would: a look, a first click (the group shakes), then the pop.
        if (!shown_for(WATCH_LOOK_FRAMES))
            return false;
        selection_size = find_group(move.column, move.row);
        if (selection_size < SMALLEST_GROUP) {
            selection_size = clear_marks();
            return false;
        }
        play_cue(OBJ_SND_CLICK);
        if (!shown_for(WATCH_LOOK_FRAMES)) {
            selection_size = clear_marks();
            return false;
        }
        pop_marked_group();
        selection_size = clear_marks();
    }
    if (board_empty())
        score += EMPTY_BOARD_BONUS;
    return shown_for(BANNER_FRAMES);
}
