// The one place that reads the mouse: the picture may be enlarged k times
// and stand anywhere on the display, and everything else in the game works
// in 320 x 240 game pixels. Also the flags that end the game from outside.
#include "shell/input.h"

#include <allegro.h>

#include <algorithm>

#include "common/catalogue.h"

PicturePlace picture_place = {1, 0, 0};
std::atomic<int> close_requested{0};
static_assert(std::atomic<int>::is_always_lock_free, "the close callback may not take a lock");
volatile sig_atomic_t end_signalled = 0;

namespace {
// Runs on the library's thread: it only raises the flag.
void on_close_button() { close_requested = 1; }
END_OF_FUNCTION(on_close_button)

// A signal handler may do nothing else.
void on_end_signal(int) { end_signalled = 1; }

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

int whole_screen_scale(int display_width, int display_height)
{
    return std::max(1, std::min(display_width / SCREEN_WIDTH, display_height / SCREEN_HEIGHT));
}

void set_pointer_source(PointerSource source) { pointer_source = source; }

PointerState read_pointer()
{
    if (pointer_source != nullptr)
        return pointer_source();
    if (mouse_needs_poll())
        poll_mouse();
    PointerState p;
    // Floor division: the black band left of the picture is not its first column.
    const int x = mouse_x - picture_place.left;
    const int y = mouse_y - picture_place.top;
    p.x = std::clamp(x < 0 ? -1 : x / picture_place.scale, 0, SCREEN_WIDTH - 1);
    p.y = std::clamp(y < 0 ? -1 : y / picture_place.scale, 0, SCREEN_HEIGHT - 1);
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

namespace {

bool alt_held() { return key[KEY_ALT] || key[KEY_ALTGR]; }

// F11 and Alt+Enter switch the screen and do nothing else.
bool screen_switch_key(int scancode)
{
    if (scancode == KEY_F11 || scancode == KEY_ALT || scancode == KEY_ALTGR)
        return true;
    return (scancode == KEY_ENTER || scancode == KEY_ENTER_PAD) && alt_held();
}

}  // namespace

bool any_key_press()
{
    bool any = false;
    for (int k = 1; k < KEY_MAX; ++k) {
        // Every key is looked at, so that none is left armed from long ago.
        const bool acts = key_press(k);
        any = (acts && !screen_switch_key(k)) || any;
    }
    return any;
}

bool enter_press()
{
    // Both are looked at, so that neither is left armed from long ago.
    const bool main_enter = key_press(KEY_ENTER);
    const bool pad_enter = key_press(KEY_ENTER_PAD);
    return (main_enter || pad_enter) && !alt_held();
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

void install_close_button()
{
    LOCK_FUNCTION(on_close_button);
    set_close_button_callback(on_close_button);
}

void install_end_signals()
{
    struct sigaction action {};
    action.sa_handler = on_end_signal;
    sigemptyset(&action.sa_mask);
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGHUP, &action, nullptr);
}

bool quit_requested() { return close_requested || end_signalled; }
