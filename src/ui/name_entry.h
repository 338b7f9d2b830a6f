// Typing a name into the high-score table.
#pragma once

constexpr int NAME_ENTRY_BUFFER = 12;  // ten characters, the cursor, a zero byte
constexpr int NAME_MAX_CHARS = 10;

// Edits `buffer` (NAME_ENTRY_BUFFER bytes, starting as "_") in place until
// Enter; it then holds the name alone. The window's close button asks the
// quit question over the entry: true when it was answered "Yes!", and the
// buffer then holds the name typed so far.
bool enter_name(const char* title, char* buffer);

// One key of the entry (scancode x 256 + character): edits the buffer and
// the cursor; true when the key was Enter.
bool name_entry_key(char* buffer, int& cursor, int key_value);
