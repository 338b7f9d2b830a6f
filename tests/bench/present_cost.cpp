// Measures what presenting one frame costs at a given window scale: the
// copy (enlarged k times) of the 320 x 240 back buffer to the window,
// without the retrace wait. Needs a display.
// Usage: present_cost K [FRAMES]
#include <allegro.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv)
{
    const int k = argc > 1 ? std::atoi(argv[1]) : 1;
    const int frames = argc > 2 ? std::atoi(argv[2]) : 300;
    if (k < 1 || k > 6 || frames < 1 || allegro_init() != 0)
        return 2;
    set_color_depth(8);
    if (set_gfx_mode(GFX_AUTODETECT_WINDOWED, 320 * k, 240 * k, 0, 0) != 0) {
        std::fprintf(stderr, "no %dx%d window\n", 320 * k, 240 * k);
        return 1;
    }
    BITMAP* frame = create_bitmap(320, 240);
    for (int y = 0; y < 240; ++y)
        for (int x = 0; x < 320; ++x)
            putpixel(frame, x, y, (x ^ y) & 255);
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < frames; ++i) {
        acquire_screen();
        if (k == 1)
            blit(frame, screen, 0, 0, 0, 0, 320, 240);
        else
            stretch_blit(frame, screen, 0, 0, 320, 240, 0, 0, 320 * k, 240 * k);
        release_screen();
    }
    const double us = std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start).count();
    std::printf("k=%d: %.1f us per presented frame\n", k, us / frames);
    return 0;
}
END_OF_MAIN()
