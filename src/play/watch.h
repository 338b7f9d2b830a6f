// Watching the best line of the deal just played.
#pragma once

// After a game (W on the statistics): the deal comes back and the best line
// found for it plays itself pop by pop, with the normal animations and
// sounds, until any key or click. No table, statistics or saved game
// changes. True when the line was played to its end.
bool watch_best_line();
