// The particle pool: sparks and flying tiles in 16.16 fixed point, pulled
// down by a constant gravity and retired once they leave the screen.
#include "effects/particles.h"

#include "board/random.h"
#include "shell/shell.h"

std::array<Particle, PARTICLE_POOL_SIZE> particle_pool;

namespace {

constexpr int RETIRE_BELOW_Y = 240;
constexpr int RETIRE_RIGHT_OF_X = 320;
constexpr int RETIRE_LEFT_OF_X = -20;

bool off_screen(const Particle& p)
{
    const int px = fixtoi(p.x);
    const int py = fixtoi(p.y);
    return py > RETIRE_BELOW_Y || px > RETIRE_RIGHT_OF_X || px < RETIRE_LEFT_OF_X;
}

} // namespace

void particles_clear()
{
    for (Particle& p : particle_pool)
        p.active = 0;
}

void particle_spawn(int x, int y, int look, int speed_range, int kind)
{
    // The speed is drawn before the direction.
    const int speed = random_next() % speed_range + 1;
    // A full pool costs nothing more: every spawn past it lands in the last slot.
    int slot = PARTICLE_POOL_SIZE - 1;
    for (int i = 0; i < PARTICLE_POOL_SIZE - 1; ++i) {
        if (!particle_pool[i].active) {
            slot = i;
            break;
        }
    }
    const fixed angle = itofix(random_next() % 256);
    Particle& p = particle_pool[slot];
    p.x = x * 65536;
    p.y = y * 65536;
    p.vx = speed * fixcos(angle);
    p.vy = speed * fixsin(angle);
    p.look = static_cast<uint8_t>(look);
    p.kind = static_cast<uint8_t>(kind);
    p.active = 1;
}

void particles_update()
{
    // Sparks blend with what is below; sprites are drawn solid.
    drawing_mode(DRAW_MODE_TRANS, nullptr, 0, 0);
    color_map = &trans_table_190;
    for (Particle& p : particle_pool) {
        if (!p.active)
            continue;
        const int px = fixtoi(p.x);
        const int py = fixtoi(p.y);
        if (p.kind == PARTICLE_PIXEL)
            putpixel(BackBuffer, px, py, p.look);
        else
            draw_sprite(BackBuffer, sprite(p.look + 1), px, py);
        p.x += p.vx;
        p.y += p.vy;
        p.vy += PARTICLE_GRAVITY;
        // No upper bound: whatever rises falls back, since gravity always pulls.
        if (off_screen(p))
            p.active = 0;
    }
    solid_mode();
}
