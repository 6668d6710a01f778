// Pixel copies of the graphics layer, each timed next to memcpy of the same
// bytes in the same run: the copy of the back buffer to the display, sprites
// drawn into a view, the parallax background and text. A sprite's figure
// stands next to memcpy of its whole rectangle, row by row; the bytes shown
// are the opaque bytes the sprite actually copies.
//
// Usage: gfx_bench [colour depth, default 32]. Runs on SDL's dummy display.
#include <SDL/SDL.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unistd.h>
#include <vector>

#include "core/files.h"
#include "core/realm.h"
#include "frame/config.h"
#include "frame/log.h"
#include "gfx/bitmap.h"
#include "gfx/draw.h"
#include "gfx/font.h"
#include "gfx/video.h"

namespace {

volatile uint8_t sink;

// Best of five rounds of `reps` calls, in nanoseconds per call.
template <class F> double time_ns(int reps, F f) {
    double best = 1e300;
    for (int round = 0; round < 5; round++) {
        auto t0 = std::chrono::steady_clock::now();
        for (int i = 0; i < reps; i++) f();
        double ns = std::chrono::duration<double, std::nano>(std::chrono::steady_clock::now() - t0).count() / reps;
        if (ns < best) best = ns;
    }
    return best;
}

void report(const char *what, size_t bytes, double ns, double ref_ns) {
    printf("%-44s %9zu B %10.0f ns  memcpy %10.0f ns  ratio %5.2f\n", what, bytes, ns, ref_ns, ns / ref_ns);
}

// Writes a w x h picture; `clear_every` > 0 leaves every n-th run of 8
// pixels in the transparent colour.
void save_picture(const std::string &path, int w, int h, int clear_every) {
    SDL_Surface *s = SDL_CreateRGBSurface(SDL_SWSURFACE, w, h, 24, 0xFF0000, 0xFF00, 0xFF, 0);
    for (int y = 0; y < h; y++)
        for (int x = 0; x < w; x++) {
            bool clear = clear_every > 0 && ((x / 8 + y) % clear_every) == 0;
            Uint32 c = clear ? SDL_MapRGB(s->format, 0, 47, 47) : SDL_MapRGB(s->format, x, y, x ^ y);
            pixel_store(static_cast<uint8_t *>(s->pixels) + y * s->pitch + x * 3, c, 3);
        }
    SDL_SaveBMP(s, path.c_str());
    SDL_FreeSurface(s);
}

size_t opaque_bytes(const sprite *s) {
    size_t n = 0;
    for (int y = 0; y < s->height; y++)
        for (int p = 0; p < s->run_counts[y]; p++) n += s->runs[y][2 * p + 1];
    return n * bytes_per_pixel;
}

}  // namespace

int main(int argc, char **argv) {
    setenv("SDL_VIDEODRIVER", "dummy", 0);
    char dir[] = "/tmp/gfx_bench_XXXXXX";
    if (!mkdtemp(dir) || chdir(dir) != 0) return 1;
    log_enabled = false;
    config_defaults(false);
    config.colour = argc > 1 ? atoi(argv[1]) : 32;
    video_init();
    realm_init();
    fs_init();
    const int bpp = bytes_per_pixel;
    printf("display 640x480, %d bytes per pixel\n", bpp);

    // Back buffer to the display.
    alloc_bitmap(&back_buffer, screen_width, screen_height, RMT_SCREEN, "screen");
    for (int y = 0; y < back_buffer.height; y++) memset(back_buffer.rows[y], y, (size_t)back_buffer.width * bpp);
    std::vector<uint8_t> ref_dst((size_t)screen_surface->pitch * screen_height);
    {
        size_t row = (size_t)screen_width * bpp;
        double ns = time_ns(200, [] { sys_draw_bitmap(&back_buffer, 0, 0); });
        double ref = time_ns(200, [&] {
            for (int y = 0; y < screen_height; y++) memcpy(&ref_dst[(size_t)y * screen_surface->pitch], back_buffer.rows[y], row);
            sink = ref_dst[row];
        });
        report("sys_draw_bitmap 640x480 (incl. update)", row * screen_height, ns, ref);
    }

    // Sprites into a view.
    bitmap view;
    alloc_bitmap(&view, 480, 240, RMT_PICTURE, "pl_view");
    save_picture("solid.bmp", 64, 64, 0);
    save_picture("holes.bmp", 64, 64, 3);
    save_picture("wide.bmp", 400, 100, 4);
    struct case_t { const char *file, *what; int x, y; };
    const case_t cases[] = {
        {"solid.bmp", "draw_sprite 64x64 opaque, inside", 100, 100},
        {"holes.bmp", "draw_sprite 64x64 one run in three clear", 100, 100},
        {"holes.bmp", "draw_sprite 64x64 clipped at the left edge", -20, 100},
        {"wide.bmp", "draw_sprite 400x100 one run in four clear", 40, 70},
    };
    for (const case_t &c : cases) {
        sprite *s = load_sprite(c.file, RMT_GAME);
        size_t bytes = opaque_bytes(s);
        double ns = time_ns(20000, [&] { draw_sprite(&view, s, c.x, c.y); });
        size_t row = (size_t)s->width * bpp;
        std::vector<uint8_t> src(row * s->height);
        double ref = time_ns(20000, [&] {
            for (int y = 0; y < s->height && y < view.height; y++) memcpy(view.rows[y], &src[y * row], row);
            sink = view.rows[0][0];
        });
        report(c.what, bytes, ns, ref);
    }

    // Parallax background into a view: one 480-pixel copy per row.
    save_picture("bg.bmp", 1000, 500, 0);
    load_background("bg.bmp");
    {
        size_t row = (size_t)480 * bpp;
        int cx = 0;
        double ns = time_ns(2000, [&] { draw_background(&view, cx = (cx + 7) % 1500, 300, 2000, 1200); });
        double ref = time_ns(2000, [&] {
            for (int y = 0; y < 240; y++) memcpy(view.rows[y], background->rows[y + 100] + 200 * bpp, row);
            sink = view.rows[0][0];
        });
        report("draw_background 480x240", row * 240, ns, ref);
    }

    // Text: 40 glyphs of 8 x 16 with about half their pixels inked.
    {
        std::string font(2, '\0');
        font[0] = 8;
        font[1] = 16;
        for (int i = 0; i < 256 * 8 * 16; i++) font += (char)(i % 2);
        FILE *f = fopen("koi8.font", "wb");
        fwrite(font.data(), 1, font.size(), f);
        fclose(f);
        load_font(0, "koi8.font");
        set_colour(255, 255, 255);
        const char *text = "The quick brown fox jumps over the lazy ";
        double ns = time_ns(20000, [&] { draw_text(&view, 0, 10, 10, text); });
        size_t row = (size_t)40 * 8 * bpp;
        double ref = time_ns(20000, [&] {
            for (int y = 0; y < 16; y++) memcpy(view.rows[10 + y] + 10 * bpp, back_buffer.rows[y], row);
            sink = view.rows[10][10];
        });
        report("draw_text 40 glyphs of 8x16", row * 16, ns, ref);
    }

    fs_shutdown();
    realm_shutdown();
    video_shutdown();
    std::string cleanup = std::string("rm -rf ") + dir;
    if (system(cleanup.c_str()) != 0) return 1;
    return 0;
}
