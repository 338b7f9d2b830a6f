// The window and the whole screen, the switch between them, and the focus.
#include "shell/display.h"

#include <allegro.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>

#include "common/catalogue.h"
#include "persist/paths.h"
#include "shell/frame_clock.h"
#include "shell/input.h"

#ifdef ALLEGRO_WITH_XWINDOWS
#include <xalleg.h>
#endif

namespace {

ScreenChoice chosen;
bool whole_screen = false;

// Raised and lowered on the library's thread, read by the frame loop.
std::atomic<bool> has_focus{false};
std::atomic<bool> had_focus{false};
// Raised while the frame loop rests in rest_while_unwatched.
std::atomic<bool> resting{false};

void on_switch_in()
{
    has_focus = true;
    had_focus = true;
}
END_OF_FUNCTION(on_switch_in)

void on_switch_out() { has_focus = false; }
END_OF_FUNCTION(on_switch_out)

bool desktop_size(int& width, int& height)
{
    return get_desktop_resolution(&width, &height) == 0 && width > 0 && height > 0;
}

bool open_window_mode(int width, int height)
{
    return set_gfx_mode(GFX_AUTODETECT_WINDOWED, width, height, 0, 0) == 0;
}

#ifdef ALLEGRO_WITH_XWINDOWS
bool under_x() { return system_driver != nullptr && system_driver->id == SYSTEM_XWINDOWS; }

// The window the window manager knows (the library may wrap its own in it).
Window managed_window() { return _xwin.wm_window != None ? _xwin.wm_window : _xwin.window; }

// Asks the window manager, the standard way, to show the window as full
// screen or not; with no window manager nobody answers and the window stays
// where it is put. Xlib is called on the main thread, under the library's lock.
void ask_full_screen(bool on)
{
    if (!under_x())
        return;
    XLOCK();
    Display* display = _xwin.display;
    const Window window = managed_window();
    if (on)
        XMoveWindow(display, window, 0, 0);
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(display, "_NET_WM_STATE", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = on ? 1 : 0;  // add, remove
    event.xclient.data.l[1] = static_cast<long>(XInternAtom(display, "_NET_WM_STATE_FULLSCREEN", False));
    event.xclient.data.l[3] = 1;  // asked by an application
    XSendEvent(display, DefaultRootWindow(display), False, SubstructureRedirectMask | SubstructureNotifyMask,
               &event);
    XFlush(display);
    XUNLOCK();
}

// The focus the window already has when the game starts to listen: under a
// window manager the window may have been given it before that.
bool window_has_focus_now()
{
    if (!under_x())
        return false;
    XLOCK();
    Window focus = None;
    int revert = 0;
    XGetInputFocus(_xwin.display, &focus, &revert);
    const bool ours = focus != None && focus != PointerRoot && (focus == _xwin.window || focus == managed_window());
    XUNLOCK();
    return ours;
}

int ignore_x_error(Display*, XErrorEvent*) { return 0; }

// The library maps its window anew for a new mode, and the focus it had is
// gone with the old mapping; where no window manager hands it back, the
// game would look unwatched and stop. Once the window shows again it gets
// the focus back. A window that never shows keeps it lost, and a refusal
// (the window gone again meanwhile) is not the fatal error it would be by
// default.
void give_focus_back()
{
    if (!under_x())
        return;
    for (int tries = 0; tries < 100; ++tries) {
        XLOCK();
        XWindowAttributes attributes;
        const bool shown = XGetWindowAttributes(_xwin.display, managed_window(), &attributes) != 0
                           && attributes.map_state == IsViewable;
        if (shown) {
            XErrorHandler previous = XSetErrorHandler(ignore_x_error);
            XSetInputFocus(_xwin.display, managed_window(), RevertToParent, CurrentTime);
            XSync(_xwin.display, False);
            XSetErrorHandler(previous);
        }
        XUNLOCK();
        if (shown)
            return;
        rest(10);
    }
}

// The library's thread wakes a thousand times a second to look at the X
// connection, and those wakings are nearly all that a resting game would
// cost. While the frame loop rests, this look first sleeps a tenth of a
// second, so the thread wakes ten times a second instead: the focus coming
// back (or the close button) is still seen within a tenth of a second.
// Nothing of the library's is called from here but the look it would have
// taken anyway.
void handle_input_when_due()
{
    if (resting && unwatched())
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    _xwin_private_handle_input();
}

void read_input_less_while_resting()
{
    if (under_x())
        _xwin_input_handler = handle_input_when_due;
}
#else
void read_input_less_while_resting() {}
void ask_full_screen(bool) {}
bool window_has_focus_now() { return false; }
void give_focus_back() {}
#endif

bool open_window()
{
    int width = SCREEN_WIDTH;
    int height = SCREEN_HEIGHT;
    const bool known = desktop_size(width, height);
    int k = chosen.scale > 0 ? chosen.scale : choose_scale(width, height);
    // A window taller or wider than the desktop would hide its own buttons.
    if (known)
        k = std::min(k, whole_screen_scale(width, height));
    if (open_window_mode(SCREEN_WIDTH * k, SCREEN_HEIGHT * k)) {
        picture_place = {k, 0, 0};
        return true;
    }
    picture_place = {1, 0, 0};
    if (k != 1 && open_window_mode(SCREEN_WIDTH, SCREEN_HEIGHT))
        return true;
    return set_gfx_mode(GFX_AUTODETECT, SCREEN_WIDTH, SCREEN_HEIGHT, 0, 0) == 0;
}

// The library's full-screen drivers under X change the display's mode and
// need an extension many servers lack; a window the size of the desktop
// works wherever a window does.
bool open_whole_screen()
{
    int width = 0;
    int height = 0;
    if (!desktop_size(width, height) || width < SCREEN_WIDTH || height < SCREEN_HEIGHT)
        return false;
    if (!open_window_mode(width, height))
        return false;
    const int k = whole_screen_scale(width, height);
    picture_place = {k, (width - SCREEN_WIDTH * k) / 2, (height - SCREEN_HEIGHT * k) / 2};
    ask_full_screen(true);
    return true;
}

// A display the game cannot go on without: the window is gone and none of
// the ways back opened one.
[[noreturn]] void lost_display()
{
    allegro_exit();
    std::fprintf(stderr, "zorbl: the display was lost while switching the screen\n");
    std::exit(1);
}

}  // namespace

bool open_display(const ScreenChoice& choice)
{
    chosen = choice;
    set_color_depth(8);
    whole_screen = choice.fullscreen && open_whole_screen();
    return whole_screen || open_window();
}

bool take_screen_switch()
{
    static bool was_down = false;
    if (keyboard_needs_poll())
        poll_keyboard();
    const bool enter = key[KEY_ENTER] || key[KEY_ENTER_PAD];
    const bool down = key[KEY_F11] || (enter && (key[KEY_ALT] || key[KEY_ALTGR]));
    const bool pressed = down && !was_down;
    was_down = down;
    if (!pressed)
        return false;

    // A new mode starts with the library's palette: the game's goes back.
    PALETTE palette;
    get_palette(palette);
    const bool focused = window_has_focus_now();
    const bool to_whole = !whole_screen;
    if (!to_whole)
        ask_full_screen(false);
    whole_screen = to_whole && open_whole_screen();
    if (!whole_screen && !open_window())
        lost_display();
    set_palette(palette);
    clear_to_color(screen, 0);
    if (focused)
        give_focus_back();
    // Only what the player chose is kept: a whole screen that could not be
    // had is not written down as the choice.
    if (whole_screen == to_whole && make_config_folder())
        write_fullscreen_choice(config_path(SCREEN_FILE), whole_screen);
    return true;
}

void watch_focus()
{
    if (set_display_switch_mode(SWITCH_BACKGROUND) != 0)
        return;
    LOCK_FUNCTION(on_switch_in);
    LOCK_FUNCTION(on_switch_out);
    set_display_switch_callback(SWITCH_IN, on_switch_in);
    set_display_switch_callback(SWITCH_OUT, on_switch_out);
    if (window_has_focus_now())
        on_switch_in();
    read_input_less_while_resting();
}

bool unwatched() { return had_focus && !has_focus; }

void rest_while_unwatched()
{
    if (!unwatched())
        return;
    // A tune that is not playing is not started by the resume.
    const bool music = midi_pos >= 0;
    if (music)
        midi_pause();
    stop_frame_clock();
    resting = true;
    while (unwatched() && !quit_requested())
        rest(100);
    resting = false;
    restart_frame_clock();
    if (music)
        midi_resume();
}
