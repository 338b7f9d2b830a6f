// The intro. Until it lands: the black palette and cleared screen it ends on.
#include "shell/intro.h"

#include "shell/shell.h"

void play_intro()  // stub: replaced with the intro
{
    set_palette(black_palette);
    clear_to_color(screen, 0);
}
