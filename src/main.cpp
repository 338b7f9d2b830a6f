// zorbl: pop groups of same-coloured tiles. The fixed main flow.
#include <allegro.h>

#include <cstdio>
#include <cstring>

#include "play/game_loop.h"
#include "persist/paths.h"
#include "shell/background.h"
#include "shell/intro.h"
#include "shell/render.h"
#include "shell/shell.h"

namespace {

constexpr const char* USAGE =
    "usage: zorbl [--help | --version]\n"
    "Pop groups of same-coloured tiles. Started without arguments, the game\n"
    "opens its window. It reads the data folder (%s, or $%s)\n"
    "and saves in $XDG_DATA_HOME/zorbl (by default ~/.local/share/zorbl);\n"
    "but with that variable unset and data/gfx.dat in the working directory,\n"
    "as in the source folder, it reads that file and saves beside it.\n";

// Answered before the library starts, so that none of it needs a display.
// Returns the exit code, or -1 to play.
int command_line(int argc, char** argv)
{
    if (argc == 1)
        return -1;
    // A player who asks for help gets it, whatever else is on the line.
    for (int a = 1; a < argc; ++a) {
        if (std::strcmp(argv[a], "--help") == 0) {
            std::printf(USAGE, installed_data_folder(), DATA_DIR_VARIABLE);
            return 0;
        }
    }
    if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
        std::printf("zorbl %s\n", ZORBL_VERSION);
        return 0;
    }
    // The first argument not taken, named, then how to call the game.
    const bool too_many = std::strcmp(argv[1], "--version") == 0;
    std::fprintf(stderr, "zorbl: %s '%s'\n", too_many ? "unexpected argument" : "unknown argument",
                 argv[too_many ? 2 : 1]);
    std::fprintf(stderr, USAGE, installed_data_folder(), DATA_DIR_VARIABLE);
    return 2;
}

}  // namespace

int main(int argc, char** argv)
{
    const int answered = command_line(argc, argv);
    if (answered >= 0)
        return answered;
    init_game();
    build_background();
    play_intro();
    begin_first_game();
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
