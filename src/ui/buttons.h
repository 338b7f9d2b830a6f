// Sprite buttons in a linked list: hit test, hover lighting, moving by id.
#pragma once
#include <allegro.h>

enum ButtonId {
    BUTTON_MODE_PREV = 1,
    BUTTON_MODE_NEXT = 2,
    BUTTON_THEME_PREV = 3,
    BUTTON_THEME_NEXT = 4,
    BUTTON_ANIMATIONS = 5,
    BUTTON_MUSIC_VOLUME = 6,
    BUTTON_SAMPLE_VOLUME = 7,
    BUTTON_CLOSE = 8,
};

struct Button {
    int normal_sprite;  // archive index drawn when not hovered
    int hover_sprite;   // archive index drawn lit when hovered
    int x, y;
    int width, height;  // of the normal sprite, taken when added
    int hovered;
    int id;
    Button* next;
};

// The head record; only `next` is used. Buttons live until the program ends.
using ButtonList = Button;

extern ButtonList* options_buttons;

ButtonList* button_list_create();
void button_add(ButtonList* list, DATAFILE* data, int normal_sprite, int hover_sprite, int x, int y, int id);
// The id of the last button in list order holding (px, py), 0 for none;
// sets every button's hovered flag. Left and top edges belong to a button,
// right and bottom edges do not.
int button_hit_test(ButtonList* list, int px, int py);
// Hovered buttons lit at level 150 through the current colour map.
void button_draw_all(BITMAP* dest, DATAFILE* data, ButtonList* list);
// Releases a list and its buttons. The game's own list lives until the end.
void button_list_free(ButtonList* list);
// -1 for a coordinate keeps it.
void button_move(ButtonList* list, int id, int x, int y);
