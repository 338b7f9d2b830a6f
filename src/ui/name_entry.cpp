// The name entry: a box slides in, takes typed keys until Enter, slides out.
#include "ui/name_entry.h"

#include <algorithm>

#include "effects/pop.h"
#include "shell/background.h"
#include "shell/input.h"
#include "shell/render.h"
#include "shell/shell.h"
#include "ui/dialogs.h"

namespace {

constexpr int SLIDE_STEP = 8;

void entry_frame(BITMAP* box, int x, int centre, const char* title, const char* buffer)
{
    const PointerState pointer = begin_box_frame(box, x);
    FONT* f = game_font();
    if (title != nullptr)
        textprintf_centre_ex(BackBuffer, f, centre, 75, -1, -1, "%s", title);
    textprintf_centre_ex(BackBuffer, f, centre, 94, -1, -1, "%s", buffer);
    end_box_frame(pointer);
}

void put_cursor(char* buffer, int cursor)
{
    buffer[cursor] = '_';
    buffer[cursor + 1] = '\0';
}

} // namespace

bool name_entry_key(char* buffer, int& cursor, int key_value, bool digits_only)
{
    const int scancode = key_value >> 8;
    // The keypad's Enter ends the entry too, as it acts as Enter on every
    // other screen; it once went nowhere, and a player had to find the other key.
    if (scancode == KEY_ENTER || scancode == KEY_ENTER_PAD) {
        // Alt+Enter switches the screen and leaves the name as it is.
        if (key_shifts & KB_ALT_FLAG)
            return false;
        buffer[cursor] = '\0';
        return true;
    }
    if (scancode == KEY_BACKSPACE) {
        buffer[cursor] = '\0';
        cursor = std::max(0, cursor - 1);
        put_cursor(buffer, cursor);
        return false;
    }
    // Only printable characters go in: an arrow key or Tab would otherwise
    // put a zero byte or a control character inside the name and hide
    // whatever is typed after it.
    const int character = key_value & 0xFF;
    if (character < 32 || character > 126)
        return false;
    if (digits_only && (character < '0' || character > '9'))
        return false;
    // At the tenth place the character is stored and at once covered by the cursor.
    buffer[cursor] = static_cast<char>(character);
    cursor = std::min(NAME_MAX_CHARS, cursor + 1);
    put_cursor(buffer, cursor);
    return false;
}

namespace {

// The entry's loop for a name or, with `digits`, a number (which Esc leaves).
EntryEnd run_entry(const char* title, char* buffer, bool digits)
{
    FONT* f = game_font();
    // A number's box is wide enough for its ten digits from the start.
    const int typed = text_length(f, digits ? "4294967295_" : buffer);
    const int widest = std::max(title != nullptr ? text_length(f, title) : 0, typed);
    const int w = 20 + widest;
    const int h = w / 2;
    BITMAP* box = create_bitmap(w + 1, 51);
    if (box == nullptr) {
        buffer[0] = '\0';
        return digits ? EntryEnd::cancelled : EntryEnd::entered;
    }
    clear_to_color(box, COLOUR_DIALOG_FILL);
    draw_framed_box(box, 3, 3, w - 3, 47, COLOUR_DIALOG_BOX);
    rect(box, 0, 0, w, 50, COLOUR_OUTLINE);

    for (int x = -w; x < 160 - h; x += SLIDE_STEP)
        entry_frame(box, x, x + h, title, buffer);

    // Keys pressed before the box came to rest are dropped.
    clear_keybuf();
    int cursor = 0;
    EntryEnd end = EntryEnd::entered;
    for (;;) {
        entry_frame(box, 160 - h, 160, title, buffer);
        if (quit_requested()) {
            if (ask_quit_if_closed()) {
                buffer[cursor] = '\0';
                end = EntryEnd::quit;
                break;
            }
            // The key that answered is not part of the name.
            clear_keybuf();
            continue;
        }
        if (!keypressed())
            continue;
        // One key a frame; the rest wait in the queue.
        play_cue(OBJ_SND_CLICK);
        const int key_value = readkey();
        if (digits && key_value >> 8 == KEY_ESC) {
            buffer[cursor] = '\0';
            end = EntryEnd::cancelled;
            break;
        }
        if (name_entry_key(buffer, cursor, key_value, digits))
            break;
    }

    // After "Yes!" to the quit question the game fades out at once.
    if (end != EntryEnd::quit) {
        play_cue(OBJ_SND_DIALOG);
        for (int x = 160 - h; x < 320; x += SLIDE_STEP)
            entry_frame(box, x, x + h, title, buffer);
    }
    destroy_bitmap(box);
    return end;
}

} // namespace

bool enter_name(const char* title, char* buffer) { return run_entry(title, buffer, false) == EntryEnd::quit; }

EntryEnd enter_digits(const char* title, char* buffer) { return run_entry(title, buffer, true); }
