// zorbl: pop groups of same-coloured tiles. The fixed main flow.
#include <allegro.h>

#include <cstdio>

#include "persist/daily.h"
#include "play/game_loop.h"
#include "shell/background.h"
#include "shell/command_line.h"
#include "shell/intro.h"
#include "shell/render.h"
#include "shell/shell.h"
#include "ui/options.h"

namespace {

// Answered before the library starts, so that none of it needs a display.
// Returns the exit code, or -1 to play.
int answer_command_line(const CommandLine& line)
{
    switch (line.action) {
    case CommandLine::Action::Play:
        return -1;
    case CommandLine::Action::Help:
        std::fputs(usage_text().c_str(), stdout);
        return 0;
    case CommandLine::Action::Version:
        std::printf("zorbl %s\n", ZORBL_VERSION);
        return 0;
    case CommandLine::Action::Refuse:
        break;
    }
    // What was wrong, named, then how to call the game.
    std::fprintf(stderr, "zorbl: %s\n%s", line.refusal.c_str(), usage_text().c_str());
    return 2;
}

}  // namespace

int main(int argc, char** argv)
{
    const CommandLine line = read_command_line(argc, argv);
    const int answered = answer_command_line(line);
    if (answered >= 0)
        return answered;
    init_game({line.fullscreen, line.scale});
    create_option_buttons();
    build_background();
    play_intro();
    // The day is read once the intro has played, so that it is the day the
    // first game begins on.
    std::optional<uint32_t> deal = line.deal;
    if (!deal && line.daily)
        deal = todays_deal();
    begin_first_game(deal);
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
