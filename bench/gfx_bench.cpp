// Pixel copies of the graphics layer at 16, 24 and 32 bits per pixel on
// SDL's dummy display, each timed next to memcpy of the same bytes in the
// same run:
//   sys_draw_bitmap of a 480 x 240 view to the display (update included),
//   draw_background of a 480 x 240 view from a larger picture (parallax),
//   draw_sprite of a mostly opaque and of a mostly transparent sprite, both
//     wholly inside the view (fast path) and straddling its left edge
//     (clipped path); the reference copies, row by row, the opaque bytes the
//     sprite writes into that row (and, for scale, the same number of bytes
//     as one block),
//   draw_text of a 60-character line in the data set's font; the reference
//     copies the line's rectangle row by row.
// Each figure is the best of many rounds, and a round times the drawing and
// its reference back to back, because the machine is shared and noisy.
//
// Usage: gfx_bench [colour depth ...]   (default: 16 24 32)
#include <SDL/SDL.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <unistd.h>
#include <vector>

#include "core/files.h"
#include "core/realm.h"
#include "bench_timing.h"
#include "frame/config.h"
#include "frame/log.h"
#include "gfx/bitmap.h"
#include "gfx/draw.h"
#include "gfx/font.h"
#include "gfx/video.h"

namespace {

volatile uint8_t sink;

using bench::now_ns;
using bench::timing;

template <class F, class G> timing measure(F f, G ref, int rounds = 25) {
    return bench::measure(f, ref, rounds, 500e3, (1 << 24));
}

void report(const char *what, size_t bytes, timing t, double target) {
    double ratio = t.ns / t.ref_ns;
    printf("  %-46s %7zu B %9.0f ns  memcpy %9.0f ns  ratio %5.2f  (target %s %.1f)\n", what, bytes, t.ns,
           t.ref_ns, ratio, ratio <= target ? "met, <=" : "MISSED, >", target);
}

// Writes a w x h 24-bit picture; `clear(x, y)` leaves a pixel in the
// transparent colour, the others get colours of their own.
template <class C> void save_picture(const std::string &path, int w, int h, C clear) {
    SDL_Surface *s = SDL_CreateRGBSurface(SDL_SWSURFACE, w, h, 24, 0xFF0000, 0xFF00, 0xFF, 0);
    for (int y = 0; y < h; y++)
        for (int x = 0; x < w; x++) {
            Uint32 c = clear(x, y) ? SDL_MapRGB(s->format, TRANSPARENT_R, TRANSPARENT_G, TRANSPARENT_B)
                                   : SDL_MapRGB(s->format, (Uint8)x, (Uint8)y, (Uint8)(x ^ y));
            pixel_store(static_cast<uint8_t *>(s->pixels) + y * s->pitch + x * 3, c, 3);
        }
    SDL_SaveBMP(s, path.c_str());
    SDL_FreeSurface(s);
}

// The opaque pixels of sprite row r that land inside a destination `dw`
// wide when the sprite's left edge is at column x: their first column and
// count, as one span per row for the reference copy.
struct span {
    int column, pixels, source;  // source: offset of the first one in the row's packed pixels
};
span visible_opaque(const sprite *s, int r, int x, int dw) {
    span out = {-1, 0, 0};
    int column = x, packed = 0;
    for (int p = 0; p < s->run_counts[r]; p++) {
        column += s->runs[r][2 * p];
        for (int i = 0; i < s->runs[r][2 * p + 1]; i++, column++, packed++)
            if (column >= 0 && column < dw) {
                if (out.column < 0) out = {column, 0, packed};
                out.pixels++;
            }
    }
    if (out.column < 0) out.column = 0;
    return out;
}

void bench_depth(int depth, const std::string &font_file) {
    config_defaults(false);
    config.colour = depth;
    video_init();
    realm_init();
    fs_init();
    const int bpp = bytes_per_pixel;
    printf("display %dx%d at %d bits, %d bytes per pixel\n", screen_width, screen_height, screen_bits, bpp);
    if (screen_bits != depth) printf("  (asked for %d bits)\n", depth);

    bitmap view;
    alloc_bitmap(&view, GAME_VIEW_WIDTH, GAME_VIEW_HEIGHT, RMT_PICTURE, "pl_view");
    const size_t view_row = (size_t)view.width * bpp;
    for (int y = 0; y < view.height; y++) memset(view.rows[y], y, view_row);

    // A view to the display: one call per view and frame in the game.
    {
        SDL_Surface *s = screen_surface;
        const int at_x = 80, at_y = 120;
        timing t = measure([&] { sys_draw_bitmap(&view, at_x, at_y); },
                           [&] {
                               for (int y = 0; y < view.height; y++)
                                   memcpy(static_cast<uint8_t *>(s->pixels) + (size_t)(at_y + y) * s->pitch + (size_t)at_x * bpp,
                                          view.rows[y], view_row);
                               sink = static_cast<uint8_t *>(s->pixels)[0];
                           });
        report("sys_draw_bitmap 480x240 (with update)", view_row * view.height, t, 1.5);
    }

    // The parallax background: a 1000 x 500 picture behind a 2000 x 1200 map.
    {
        save_picture("bg.bmp", 1000, 500, [](int, int) { return false; });
        load_background("bg.bmp");
        const int cam_x = 700, cam_y = 300, map_w = 2000, map_h = 1200;
        const int bx = (1000 - 480) * cam_x / (map_w - 480), by = (500 - 240) * cam_y / (map_h - 240);
        const int top = 500 - by - 240;
        timing t = measure([&] { draw_background(&view, cam_x, cam_y, map_w, map_h); },
                           [&] {
                               for (int y = 0; y < 240; y++)
                                   memcpy(view.rows[y], background->rows[top + y] + (size_t)bx * bpp, view_row);
                               sink = view.rows[0][0];
                           });
        report("draw_background 480x240", view_row * view.height, t, 1.5);
    }

    // Sprites of 48 x 52, a player's size. The mostly opaque one is a body
    // with rounded corners, a gap between the legs and rows of holes
    // (about three quarters opaque, one to five runs a row); the mostly
    // transparent one is a thin figure of one to three short runs a row
    // (about a quarter opaque).
    save_picture("opaque.bmp", 48, 52, [](int x, int y) {
        int cx = x < 24 ? 23 - x : x - 24;
        if (y < 6 && cx > 10 + 2 * y) return true;        // rounded head
        if (y >= 36 && cx < 4) return true;               // between the legs
        if (y % 8 == 3 && (x / 6) % 2 == 1) return true;  // holes in a row
        return cx > 21 && (y < 14 || y > 46);             // narrow shoulders and feet
    });
    save_picture("clear.bmp", 48, 52, [](int x, int y) {
        int cx = x < 24 ? 23 - x : x - 24;
        if (y < 12) return cx > 5;                                  // head
        if (y < 30) return !(cx < 4 || (cx >= 9 + y / 6 && cx < 13 + y / 6));  // body and arms
        return !(cx >= 2 + (y - 30) / 3 && cx < 6 + (y - 30) / 3);  // legs
    });
    struct sprite_case {
        const char *file, *what;
        int x;
    };
    const sprite_case cases[] = {
        {"opaque.bmp", "draw_sprite mostly opaque, fast", 200},
        {"opaque.bmp", "draw_sprite mostly opaque, clipped", -17},
        {"clear.bmp", "draw_sprite mostly transparent, fast", 200},
        {"clear.bmp", "draw_sprite mostly transparent, clipped", -17},
    };
    for (const sprite_case &c : cases) {
        sprite *s = load_sprite(c.file, RMT_GAME);
        const int at_y = 100;
        std::vector<span> spans;
        size_t bytes = 0, all = 0;
        for (int r = 0; r < s->height; r++) {
            spans.push_back(visible_opaque(s, r, c.x, view.width));
            bytes += (size_t)spans.back().pixels * bpp;
            all += (size_t)visible_opaque(s, r, 0, s->width).pixels;
        }
        timing t = measure([&] { draw_sprite(&view, s, c.x, at_y); },
                           [&] {
                               for (int r = 0; r < s->height; r++)
                                   memcpy(view.rows[at_y + r] + (size_t)spans[r].column * bpp,
                                          s->rows[r] + (size_t)spans[r].source * bpp, (size_t)spans[r].pixels * bpp);
                               sink = view.rows[at_y][0];
                           });
        char what[96];
        snprintf(what, sizeof what, "%s (%2.0f%%)", c.what, 100.0 * (double)all / (s->width * s->height));
        report(what, bytes, t, 2.0);
        // For scale: the same bytes as one block, as if the rows were one.
        std::vector<uint8_t> block(bytes);
        auto one_block = [&] {
            memcpy(block.data(), s->rows[0] + (size_t)spans[0].source * bpp, bytes);
            sink = block[0];
        };
        printf("  %-46s %7zu B %9.0f ns\n", "  (memcpy of those bytes as one block)", bytes, measure(one_block, one_block).ns);
    }

    // A 60-character line of text in the data set's font.
    {
        std::filesystem::copy_file(font_file, "koi8.font", std::filesystem::copy_options::overwrite_existing);
        load_font(0, "koi8.font");
        set_colour(255, 255, 0);
        const char *text = "Player 2 fragged Player 3 with a rocket: 12 frags, 3 left!?";
        const std::string line = std::string(text) + std::string(60 - strlen(text), '.');
        const int w = text_width(0, line.c_str()), h = font_height(0);
        const size_t row = (size_t)w * bpp;
        bitmap panel;
        alloc_bitmap(&panel, w, h, RMT_PICTURE, "line");
        timing t = measure([&] { draw_text(&view, 0, 10, 10, line.c_str()); },
                           [&] {
                               for (int y = 0; y < h; y++) memcpy(view.rows[10 + y] + 10 * bpp, panel.rows[y], row);
                               sink = view.rows[10][10];
                           });
        char what[96];
        snprintf(what, sizeof what, "draw_text 60 characters of %dx%d", glyphs[0].width, h);
        printf("  %-46s %7zu B %9.0f ns  memcpy %9.0f ns  ratio %5.2f\n", what, row * h, t.ns, t.ref_ns, t.ns / t.ref_ns);
    }

    fs_shutdown();
    realm_shutdown();
    video_shutdown();
    background = nullptr;
}

}  // namespace

int main(int argc, char **argv) {
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    const std::string font_file = std::string(FENDA_DATA_DIR) + "/koi8.font";
    if (!std::filesystem::exists(font_file)) {
        fprintf(stderr, "gfx_bench: no font at %s\n", font_file.c_str());
        return 1;
    }
    char dir[] = "/tmp/gfx_bench_XXXXXX";
    if (!mkdtemp(dir) || chdir(dir) != 0) return 1;
    log_enabled = false;
    std::vector<int> depths;
    for (int i = 1; i < argc; i++) depths.push_back(atoi(argv[i]));
    if (depths.empty()) depths = {16, 24, 32};
    for (int depth : depths) bench_depth(depth, font_file);
    std::error_code ec;
    std::filesystem::remove_all(dir, ec);
    return 0;
}
