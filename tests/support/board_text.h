// Boards as text: eight lines of ten characters, '.' empty, '1'..'5' a colour.
#pragma once
#include <string>

void set_board(const std::string& picture);
std::string board_text();
// The board's draw offsets as text, one "x,y" per non-zero cell, for checks.
std::string offsets_text();
