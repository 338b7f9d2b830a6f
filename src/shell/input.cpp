// The one place that reads the mouse: the window may be enlarged k times,
// and everything else in the game works in 320 x 240 game pixels.
#include "shell/input.h"

#include <allegro.h>

#include <algorithm>

#include "shell/catalogue.h"

int display_scale = 1;

namespace {
PointerSource pointer_source = nullptr;
// Per key: seen up since the screen began or since it last acted. Nothing
// is armed at start-up, so a key must be seen up before it can act.
bool armed[KEY_MAX] = {};
}

int choose_scale(int desktop_width, int desktop_height)
{
    int k = 1;
    // 90 % of the desktop, in whole pixels, without floating point.
    for (int candidate = 2; candidate <= 6; ++candidate) {
        if (SCREEN_WIDTH * candidate * 10 <= desktop_width * 9 && SCREEN_HEIGHT * candidate * 10 <= desktop_height * 9)
            k = candidate;
    }
    return k;
}

void set_pointer_source(PointerSource source) { pointer_source = source; }

PointerState read_pointer()
{
    if (pointer_source != nullptr)
        return pointer_source();
    if (mouse_needs_poll())
        poll_mouse();
    PointerState p;
    p.x = std::clamp(mouse_x / display_scale, 0, SCREEN_WIDTH - 1);
    p.y = std::clamp(mouse_y / display_scale, 0, SCREEN_HEIGHT - 1);
    p.b = mouse_b;
    return p;
}

bool key_press(int scancode)
{
    if (keyboard_needs_poll())
        poll_keyboard();
    if (!key[scancode]) {
        armed[scancode] = true;
        return false;
    }
    const bool acts = armed[scancode];
    armed[scancode] = false;
    return acts;
}

bool any_key_press()
{
    bool any = false;
    for (int k = 1; k < KEY_MAX; ++k)
        any = key_press(k) || any;
    return any;
}

bool enter_press()
{
    // Both are looked at, so that neither is left armed from long ago.
    const bool main_enter = key_press(KEY_ENTER);
    const bool pad_enter = key_press(KEY_ENTER_PAD);
    return main_enter || pad_enter;
}

bool character_typed(int ch)
{
    // Bounded by the library's queue (64 keys): with no keyboard installed,
    // as in the tests, readkey() answers without taking anything off it.
    bool typed = false;
    for (int k = 0; k < 64 && keypressed(); ++k)
        typed = (readkey() & 0xff) == ch || typed;
    return typed;
}

void forget_held_keys()
{
    if (keyboard_needs_poll())
        poll_keyboard();
    for (int k = 0; k < KEY_MAX; ++k)
        armed[k] = !key[k];
    // A key held through a screen repeats into the queue; those repeats
    // must not act on the screen after it.
    clear_keybuf();
}
