// Sprite buttons in a linked list.
#include "ui/buttons.h"

ButtonList* options_buttons = nullptr;

ButtonList* button_list_create() { return new Button{}; }

void button_add(ButtonList* list, DATAFILE* data, int normal_sprite, int hover_sprite, int x, int y, int id)
{
    const BITMAP* face = static_cast<const BITMAP*>(data[normal_sprite].dat);
    Button* button = new Button{normal_sprite, hover_sprite, x, y, face->w, face->h, 0, id, nullptr};
    Button* last = list;
    while (last->next != nullptr)
        last = last->next;
    last->next = button;
}

void button_list_free(ButtonList* list)
{
    while (list != nullptr) {
        Button* next = list->next;
        delete list;
        list = next;
    }
}

int button_hit_test(ButtonList* list, int px, int py)
{
    // The walk never stops early: overlapping buttons are all hovered and
    // the one added last wins.
    int hit = 0;
    for (Button* b = list->next; b != nullptr; b = b->next) {
        b->hovered = px >= b->x && px < b->x + b->width && py >= b->y && py < b->y + b->height;
        if (b->hovered)
            hit = b->id;
    }
    return hit;
}

void button_draw_all(BITMAP* dest, DATAFILE* data, ButtonList* list)
{
    for (Button* b = list->next; b != nullptr; b = b->next) {
        if (b->hovered)
            draw_lit_sprite(dest, static_cast<BITMAP*>(data[b->hover_sprite].dat), b->x, b->y, 150);
        else
            draw_sprite(dest, static_cast<BITMAP*>(data[b->normal_sprite].dat), b->x, b->y);
    }
}

void button_move(ButtonList* list, int id, int x, int y)
{
    for (Button* b = list->next; b != nullptr; b = b->next) {
        if (b->id != id)
            continue;
        if (x != -1)
            b->x = x;
        if (y != -1)
            b->y = y;
    }
}
