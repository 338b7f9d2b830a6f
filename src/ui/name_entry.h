// Typing a name into the high-score table.
#pragma once

// Edits `buffer` (12 bytes: ten characters, the cursor and a zero byte) in place.
void enter_name(const char* title, char* buffer);
