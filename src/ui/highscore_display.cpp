// The high-score table overlay. Until the interface lands it draws nothing.
#include "ui/highscore_display.h"

int highscores_shown = 0;

void draw_highscore_overlay() {}  // stub: replaced with the interface
