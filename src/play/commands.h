// The commands of the play screen and of the table after a game: the side
// buttons and their keys, the screens that tell what is there, and playing a
// deal by its number.
#pragma once
#include <cstdint>
#include <optional>

#include "play/loop_result.h"

// Polled once a frame: nothing, a new game, quit, or watch. N (and Ctrl+N),
// O, and Esc (and Ctrl+Q) press the side buttons from the keyboard; F1 and ?
// show the help, S the statistics; G asks for a deal's number and D picks
// the day's deal, each a new game (asked first, as N asks, over a game in
// progress).
LoopResult play_commands();

// A deal to offer at the next look (--deal or --daily over a game that came
// back unfinished): the new-game question is asked first, as N asks it.
void offer_deal(uint32_t number);

// The deal the new game the commands asked for should deal, taken once;
// nothing for the next deal of the sequence (N, or a new game after a game).
std::optional<uint32_t> take_asked_deal();

// Said on screen, in place of a deal, when what was typed is no deal number
// (nothing typed, or more than 4294967295).
constexpr const char* DEAL_REFUSAL_1 = "Deal numbers run";
constexpr const char* DEAL_REFUSAL_2 = "from 0 to 4294967295.";
