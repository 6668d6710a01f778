// View updates of the game on "testmap.fenda" at 16, 24 and 32 bits per
// pixel on SDL's dummy display, each timed next to memcpy of the same
// number of bytes in the same run:
//   a map view: camera, background with parallax, every object of the map
//     in list order, the FPS line, and the copy to the display, with the
//     player's body put in turn at sixteen places across the map;
//   a status panel: status picture, health digits, weapon icon, name and
//     ammunition, frags, and the copy to the display;
//   refresh_next_view in a two-player game where every fourth refresh of a
//     view redraws its panel.
// The reference copies a view's (or a panel's) bytes with one memcpy. Each
// figure is the best of many rounds; a round times the drawing and its
// reference back to back, because the machine is shared and noisy.
//
// Usage: view_bench [colour depth ...]   (default: 16 24 32)
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
#include "game/game_loop.h"
#include "game/menu.h"
#include "game/view_draw.h"
#include "gfx/bitmap.h"
#include "gfx/font.h"
#include "gfx/video.h"
#include "sim/creature.h"
#include "sim/view.h"
#include "world/grid.h"
#include "world/item.h"
#include "world/map_load.h"
#include "world/object.h"
#include "world/weapon.h"

namespace {

volatile uint8_t sink;

using bench::now_ns;
using bench::timing;

template <class F, class G> timing measure(F f, G ref, int rounds = 30) {
    return bench::measure(f, ref, rounds, 1e6, (1 << 20));
}

void report(const char *what, size_t bytes, timing t) {
    printf("  %-44s %7zu B %9.0f ns (%7.0f per second)  memcpy %7.0f ns  ratio %6.1f\n", what, bytes, t.ns,
           1e9 / t.ns, t.ref_ns, t.ns / t.ref_ns);
}

void bench_depth(int depth) {
    config_defaults(false);
    config.colour = depth;
    video_init();
    realm_init();
    fs_init();
    const int bpp = bytes_per_pixel;
    printf("display %dx%d at %d bits, %d bytes per pixel\n", screen_width, screen_height, screen_bits, bpp);

    load_font(0, "koi8.font");
    memset(views, 0, sizeof views);
    make_player_records();
    init_view(0);
    init_view(1);
    load_map("testmap.fenda");
    bind_view_keys();
    place_views();
    int objects = 0;
    for (list_node *n = object_list; n; n = n->next) objects++;
    printf("  testmap.fenda: %dx%d pixels, %d objects\n", map_width >> 16, map_height >> 16, objects);

    view &v = views[0];
    creature *c = v.creature;
    object *body = c->body;
    c->health = 100;
    c->weapon = 2;
    c->weapons[2].owned = 1;
    c->weapons[2].ammunition = 12;
    c->frags = 7;

    const size_t view_bytes = (size_t)GAME_VIEW_WIDTH * GAME_VIEW_HEIGHT * bpp;
    const size_t panel_bytes = (size_t)PANEL_WIDTH * PANEL_HEIGHT * bpp;
    std::vector<uint8_t> from(view_bytes, 7), to(view_bytes);
    auto copy = [&](size_t bytes) {
        memcpy(to.data(), from.data(), bytes);
        sink = to[bytes - 1];
    };

    // The body in turn at sixteen places over the whole map.
    std::vector<std::pair<int32_t, int32_t>> places;
    for (int i = 0; i < 4; i++)
        for (int j = 0; j < 4; j++) places.push_back({(int32_t)((int64_t)map_width * (2 * i + 1) / 8),
                                                      (int32_t)((int64_t)map_height * (2 * j + 1) / 8)});
    size_t next = 0;
    timing t = measure(
        [&] {
            body->x = places[next].first;
            body->y = places[next].second;
            next = (next + 1) % places.size();
            place_camera(&v);
            draw_view_map(&v);
            sys_draw_bitmap(&v.picture, v.screen_x, v.screen_y);
        },
        [&] { copy(view_bytes); });
    report("map view 480x240 (draw + display copy)", view_bytes, t);

    t = measure(
        [&] {
            draw_status_panel(&v);
            sys_draw_bitmap(&v.panel, v.panel_x, v.panel_y);
        },
        [&] { copy(panel_bytes); });
    report("status panel 160x240 (draw + display copy)", panel_bytes, t);

    int calls = 0;
    t = measure(
        [&] {
            if (++calls % 8 == 0) request_panel_redraw_all();
            refresh_next_view();
        },
        [&] { copy(view_bytes); });
    report("refresh_next_view, two players", view_bytes, t);

    fs_shutdown();
    realm_shutdown();
    video_shutdown();
    background = nullptr;
    // The world's globals as a fresh program has them, for the next depth.
    memset(views, 0, sizeof views);
    world_lists_clear();
    item_list = nullptr;
    missile_list = explosion_list = spark_list = nullptr;
    grid_forget();
    dm_start_count = 0;
}

}  // namespace

int main(int argc, char **argv) {
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    char dir[] = "/tmp/view_bench_XXXXXX";
    if (!mkdtemp(dir)) return 1;
    std::error_code ec;
    std::filesystem::copy(FENDA_DATA_DIR, dir, std::filesystem::copy_options::recursive, ec);
    if (ec || chdir(dir) != 0) {
        fprintf(stderr, "view_bench: cannot copy %s to %s\n", FENDA_DATA_DIR, dir);
        return 1;
    }
    log_enabled = false;
    std::vector<int> depths;
    for (int i = 1; i < argc; i++) depths.push_back(atoi(argv[i]));
    if (depths.empty()) depths = {16, 24, 32};
    for (int depth : depths) bench_depth(depth);
    std::filesystem::remove_all(dir, ec);
    return 0;
}
