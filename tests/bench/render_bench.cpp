// Time to compose one frame in the heaviest cases the game can reach.
// Run: build/tests/zorbl_bench
#include <benchmark/benchmark.h>

#include "board/board.h"
#include "board/random.h"
#include "effects/banner.h"
#include "effects/particles.h"
#include "ui/options.h"
#include "persist/settings.h"
#include "shell/background.h"
#include "shell/input.h"
#include "shell/render.h"
#include "shell/shell.h"
#include "test_env.h"

namespace {

PointerState still_pointer() { return {150, 100, 0}; }

void prepare(int light, int flash, int marked)
{
    start_headless_with_archive();
    settings = Settings{0, 0, MODE_TRADITIONAL, THEME_ORIGINAL, 1};
    set_pointer_source(still_pointer);
    build_background();
    random_restart();
    new_game();
    for (Cell& c : board.cells) {
        c.light = light;
        c.flash = flash;
        c.marked = static_cast<uint8_t>(marked);
    }
}

void BM_FullBoardShaking(benchmark::State& state)
{
    prepare(0, 0, 1);
    for (auto _ : state)
        render_frame(true);
}
BENCHMARK(BM_FullBoardShaking);

void BM_FullBoardLit(benchmark::State& state)
{
    prepare(128, 0, 1);
    for (auto _ : state)
        render_frame(true);
}
BENCHMARK(BM_FullBoardLit);

void BM_FullBoardFlashing(benchmark::State& state)
{
    prepare(0, 128, 1);
    for (auto _ : state)
        render_frame(true);
}
BENCHMARK(BM_FullBoardFlashing);

// The heaviest frame the game can compose: every tile shaking, the pool
// full of sparks, the banner, the game-over panel and the options screen.
void BM_WorstFrame(benchmark::State& state)
{
    prepare(0, 0, 1);
    show_points_banner(6399);
    game_over_panel_shown = 1;
    panel_y = PANEL_REST_Y;
    options_open = 1;
    for (auto _ : state) {
        state.PauseTiming();
        banner_frames_left = BANNER_FRAMES;
        for (int i = 0; i < PARTICLE_POOL_SIZE; ++i) {
            Particle& p = particle_pool[i];
            p = Particle{(20 + i % 200) * 65536, (20 + i % 150) * 65536, 0, 0, COLOUR_SPARK, 1,
                         i % 8 ? PARTICLE_PIXEL : PARTICLE_SPRITE};
            if (p.kind == PARTICLE_SPRITE)
                p.look = 3;
        }
        state.ResumeTiming();
        render_frame(true);
    }
    options_open = 0;
    game_over_panel_shown = 0;
}
BENCHMARK(BM_WorstFrame);

} // namespace

BENCHMARK_MAIN();
