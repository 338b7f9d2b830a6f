// Typing a name into the high-score table, and a deal's number in a box of
// the same look.
#pragma once

constexpr int NAME_ENTRY_BUFFER = 12;  // ten characters, the cursor, a zero byte
constexpr int NAME_MAX_CHARS = 10;

// Edits `buffer` (NAME_ENTRY_BUFFER bytes, starting as "_") in place until
// Enter; it then holds the name alone. The window's close button asks the
// quit question over the entry: true when it was answered "Yes!", and the
// buffer then holds the name typed so far.
bool enter_name(const char* title, char* buffer);

// How an entry ended: Enter, Esc (a number's entry only), or the quit
// question answered "Yes!".
enum class EntryEnd { entered, cancelled, quit };

// The same box taking digits alone (ten at most; no other key goes in) into
// `buffer` (NAME_ENTRY_BUFFER bytes, starting as "_"): on Enter it holds the
// digits typed, perhaps none; Esc goes back.
EntryEnd enter_digits(const char* title, char* buffer);

// One key of the entry (scancode x 256 + character): edits the buffer and
// the cursor; true when the key was Enter. With digits_only, only 0 to 9
// go in.
bool name_entry_key(char* buffer, int& cursor, int key_value, bool digits_only = false);
