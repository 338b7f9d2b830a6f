// A fixed pool of falling sparks and flying tiles.
#pragma once
#include <array>
#include <cstdint>

constexpr uint8_t PARTICLE_PIXEL = 1;
constexpr uint8_t PARTICLE_SPRITE = 2;
constexpr int PARTICLE_POOL_SIZE = 1024;
constexpr int32_t PARTICLE_GRAVITY = 3216;  // 16.16, added to vy every frame

struct Particle {
    int32_t x, y;    // 16.16 screen position (a sprite's top-left corner)
    int32_t vx, vy;  // 16.16 pixels per frame, vy positive downward
    uint8_t look;    // pixel: palette colour; sprite: archive index minus one
    uint8_t active;
    uint8_t kind;    // PARTICLE_PIXEL, anything else a sprite
};

extern std::array<Particle, PARTICLE_POOL_SIZE> particle_pool;

void particles_clear();
void particle_spawn(int x, int y, int look, int speed_range, int kind);
// Draws every live particle into the back buffer, moves it, retires those gone.
void particles_update();
