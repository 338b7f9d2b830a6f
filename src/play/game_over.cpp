// The end of a game, from the last pop to the player's next choice.
#include "play/game_over.h"

#include <allegro.h>

#include <cstring>

#include "board/board.h"
#include "effects/banner.h"
#include "persist/highscore.h"
#include "persist/settings.h"
#include "play/commands.h"
#include "play/game_loop.h"
#include "shell/input.h"
#include "shell/render.h"
#include "ui/dialogs.h"
#include "ui/highscore_display.h"
#include "ui/name_entry.h"

LoopResult play_game_over()
{
    HighScoreEntry candidate{};
    candidate.name[0] = '_';
    candidate.score = static_cast<uint32_t>(score);

    // Space or Enter is the click the panel waits for; the window's close
    // button asks the quit question here as everywhere.
    forget_held_keys();
    while (banner_frames_left != 0 || read_pointer().b != 0) {
        draw_play_frame();
        if (ask_quit_if_closed())
            return LOOP_QUIT;
    }
    panel_y = PANEL_HIDDEN_Y;
    game_over_panel_shown = 1;
    for (;;) {
        const bool space = key_press(KEY_SPACE);
        const bool enter = enter_press();
        if (read_pointer().b != 0 || space || enter)
            break;
        draw_play_frame();
        if (ask_quit_if_closed()) {
            game_over_panel_shown = 0;
            return LOOP_QUIT;
        }
    }
    game_over_panel_shown = 0;

    HighScoreTable& table = current_highscore_table();
    if (game_assisted) {
        // Told once, and the answer does not matter: no name is asked.
        confirm_dialog("Assisted game:", "no high score");
    } else if (highscore_qualifies(table, candidate)) {
        // The entry edits a buffer of twelve bytes: ten characters, the
        // cursor and a zero byte. The row keeps the name and its zero byte.
        char name[NAME_ENTRY_BUFFER] = "_";
        const bool quit = enter_name("You got a highscore!", name);
        std::memcpy(candidate.name, name, sizeof candidate.name);
        candidate.name[sizeof candidate.name - 1] = '\0';
        highscore_replace_lowest(table, candidate);
        highscore_sort(table);
        // On disk at once: a game killed later loses no row.
        save_highscore_table(settings.game_mode);
        if (quit)
            return LOOP_QUIT;
        draw_play_frame();
    }
    return game_over_wait();
}

LoopResult game_over_wait()
{
    highscores_shown = 1;
    forget_held_keys();
    LoopResult result;
    do {
        render_frame(true);
        present_frame();
        result = play_commands();
        // The digit keys pick the mode; with several held the highest wins.
        // As designed, the choice reaches zorbl.sav only at shutdown.
        for (int digit = 0; digit < MODE_COUNT; ++digit) {
            if (key[KEY_0 + digit])
                settings.game_mode = digit;
        }
    } while (result == LOOP_CONTINUE);
    highscores_shown = 0;
    return result;
}
