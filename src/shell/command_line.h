// What the game's command line asks for, read before the library starts so
// that none of it needs a display.
#pragma once
#include <cstdint>
#include <optional>
#include <string>

#include "persist/screen_choice.h"

struct CommandLine {
    enum class Action { Play, Help, Version, Refuse };
    Action action = Action::Play;
    // With Refuse: what was wrong, in a line for standard error.
    std::string refusal;
    // --deal N: the first game after the intro deals N.
    std::optional<uint32_t> deal;
    // --daily: the first game after the intro is the day's deal.
    bool daily = false;
    // --fullscreen or --window (the last one given); nothing: as the
    // settings file says.
    std::optional<bool> fullscreen;
    // --scale N, a whole number from 1 to MAX_SCALE, or --scale auto (0);
    // nothing: as the settings file says.
    std::optional<int> scale;
};

constexpr int MAX_SCALE = LARGEST_SCALE;

// --help anywhere wins, then --version, so a player who asks for help gets it
// even after a mistyped option. Each value may follow its option as the next
// argument or after '=' (--deal=42).
CommandLine read_command_line(int argc, const char* const* argv);

// The usage text, with the installed data folder and the variable that names
// another, for --help (standard output) and a refusal (standard error).
std::string usage_text();
