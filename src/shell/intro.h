// The opening: rising tiles, scrolling pictures and the start of the music.
#pragma once

// Ends on a black palette and a cleared screen.
void play_intro();
