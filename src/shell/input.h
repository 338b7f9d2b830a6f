// The pointer, read in one place: display pixels mapped to game pixels; the
// keys the game acts on once per press; and the flags that tell every screen
// to leave (the window's close button, an ending signal).
#pragma once
#include <atomic>
#include <csignal>

struct PointerState {
    int x;  // game pixels, 0..319
    int y;  // 0..239
    int b;  // button bits: 1 left, 2 right, 4 middle
};

// The game's view of the mouse right now.
PointerState read_pointer();

// Where the 320 x 240 picture stands on the display: enlarged `scale`
// times, its top-left corner at (left, top) display pixels. In a window the
// corner is the window's; on the whole screen the picture is centred.
struct PicturePlace {
    int scale;
    int left;
    int top;
};
extern PicturePlace picture_place;

// The largest k in 1..6 whose 320k x 240k window fits in 90 % of the desktop.
int choose_scale(int desktop_width, int desktop_height);
// The largest k (at least 1) whose 320k x 240k picture fits the whole screen.
int whole_screen_scale(int display_width, int display_height);

// Tests drive the game with a scripted pointer; null restores the mouse.
using PointerSource = PointerState (*)();
void set_pointer_source(PointerSource source);

// True once for each press of the key (an Allegro KEY_ scancode): when it is
// down now and was seen up at an earlier look on this screen. Held keys do
// not repeat, and a key held since before the screen began does not act.
bool key_press(int scancode);
// key_press for every key at once: true when any key acts, but not F11,
// Alt or Alt+Enter, which switch the screen.
bool any_key_press();
// Enter on either the main keys or the keypad, without Alt (Alt+Enter
// switches the screen).
bool enter_press();
// True when the character was typed since the last look, wherever the
// keyboard's layout puts it (? is shifted on most); what else was typed is
// dropped.
bool character_typed(int ch);
// A new screen begins: keys held now act only after they are released, and
// what was typed before is dropped.
void forget_held_keys();

// Raised by the library's thread when the player clicks the window's close
// button; a screen that sees it asks the quit question and lowers it.
extern std::atomic<int> close_requested;
// Raised by SIGTERM or SIGHUP (a kill, the desktop session ending): every
// screen then leaves as after a confirmed quit, asking nothing.
extern volatile sig_atomic_t end_signalled;

// Lets the window's close button raise close_requested.
void install_close_button();
// Lets SIGTERM and SIGHUP raise end_signalled (after the library's start,
// which installs handlers of its own).
void install_end_signals();
// The window's close button was clicked, or the game was told to end.
bool quit_requested();
