// The particle pool. Until the effects land: the pool exists and stays empty.
#include "effects/particles.h"

std::array<Particle, PARTICLE_POOL_SIZE> particle_pool;

void particles_clear()
{
    for (Particle& p : particle_pool)
        p.active = 0;
}

void particle_spawn(int, int, int, int, int) {}  // stub: replaced with the effects

void particles_update() {}  // stub: replaced with the effects
