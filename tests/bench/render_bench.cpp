// Time to compose one frame in the heaviest cases the game can reach.
// Run: build/tests/zorbl_bench
#include <benchmark/benchmark.h>

#include "board/board.h"
#include "board/random.h"
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

} // namespace

BENCHMARK_MAIN();
