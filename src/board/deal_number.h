// Deal numbers as players read and type them: the generator's state just
// before a deal's 80 draws, written in decimal.
#pragma once
#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

#include "board/board.h"

// The number a text of decimal digits alone spells, 0 to 4294967295 (leading
// zeros allowed); nothing for an empty text, a sign, a space, any other
// character, or a value out of that range.
std::optional<uint32_t> parse_deal_number(std::string_view text);

// The day's deal: its number is the date as YYYYMMDD (20261208 for
// 8 December 2026), so friends can name "today's deal".
uint32_t daily_deal_number(int year, int month, int day);

// The colours dealt from the deal numbered `number`, cell by cell in storage
// order, as new_game_numbered deals them; the game's generator is not
// touched (for zorbl-solve and tests).
std::array<uint8_t, BOARD_CELLS> deal_colours(uint32_t number);
