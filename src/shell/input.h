// The pointer, read in one place: window pixels mapped to game pixels; and
// the keys the game acts on once per press.
#pragma once

struct PointerState {
    int x;  // game pixels, 0..319
    int y;  // 0..239
    int b;  // button bits: 1 left, 2 right, 4 middle
};

// The game's view of the mouse right now.
PointerState read_pointer();

// The whole-number enlargement of the window, 1 on a 320 x 240 display.
extern int display_scale;

// The largest k in 1..6 whose 320k x 240k window fits in 90 % of the desktop.
int choose_scale(int desktop_width, int desktop_height);

// Tests drive the game with a scripted pointer; null restores the mouse.
using PointerSource = PointerState (*)();
void set_pointer_source(PointerSource source);

// True once for each press of the key (an Allegro KEY_ scancode): when it is
// down now and was seen up at an earlier look on this screen. Held keys do
// not repeat, and a key held since before the screen began does not act.
bool key_press(int scancode);
// key_press for every key at once: true when any key acts.
bool any_key_press();
// Enter on either the main keys or the keypad.
bool enter_press();
// True when the character was typed since the last look, wherever the
// keyboard's layout puts it (? is shifted on most); what else was typed is
// dropped.
bool character_typed(int ch);
// A new screen begins: keys held now act only after they are released, and
// what was typed before is dropped.
void forget_held_keys();
