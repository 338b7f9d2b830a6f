// zorbl: pop groups of same-coloured tiles. The fixed main flow.
#include <allegro.h>

#include "board/board.h"
#include "board/game_loop.h"
#include "shell/background.h"
#include "shell/intro.h"
#include "shell/render.h"
#include "shell/shell.h"

int main()
{
    init_game();
    build_background();
    play_intro();
    new_game();
    // The first frame reaches the screen under a black palette and fades in.
    render_frame(false);
    present_frame();
    fade_in(game_palette(), 8);
    while (!run_game()) {
    }
    shutdown_game();
    return 0;
}
END_OF_MAIN()
