// The opening: tiles rise like bubbles in two layers while three pictures
// scroll up, and the music starts.
#pragma once
#include <array>
#include <cstdint>

struct RisingTile {
    uint8_t colour;  // 1..5, chosen once; a reused slot keeps it
    uint8_t active;
    int32_t speed;   // 1..8 pixels a frame; below 4 behind the pictures
    int32_t x;
    int32_t y;
};

constexpr int RISING_TILES = 256;
constexpr int INTRO_FRAMES = 760;

struct Intro {
    std::array<RisingTile, RISING_TILES> tiles;
    int32_t p_y = 400;
    int32_t q_y = 1000;
    int32_t countdown = 2000;
};

// Sets the tiles' colours up, in index order: one draw each.
void intro_setup(Intro& intro);
// Launches, moves and draws one frame into the back buffer.
void intro_frame(Intro& intro);
// Counts the frame down; true while the intro goes on.
bool intro_continues(Intro& intro, bool escape_held);

// The whole intro. Ends on a black palette and a cleared screen.
void play_intro();
