// Side buttons, question boxes and the wait after a game. Until the
// interface lands: no button acts and a finished game starts a new one.
#include "ui/dialogs.h"

int hovered_side_button = -1;

bool confirm_dialog(const char*, const char*) { return true; }  // stub: replaced with the interface
int handle_side_buttons() { return 0; }                         // stub: replaced with the interface
void run_options() {}                                           // stub: replaced with the interface
int game_over_wait() { return 1; }                              // stub: replaced with the interface
