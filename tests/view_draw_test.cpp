// The players' views: the camera and its clamps, the look offset, the map
// drawn over its background, the status panel and the refresh round-robin.
#include <gtest/gtest.h>

#include <filesystem>

#include "game/game_loop.h"
#include "game/menu.h"
#include "game/view_draw.h"
#include "gfx/font.h"
#include "sim/player.h"
#include "world_fixture.h"

namespace {

constexpr int32_t PX = FIXED_ONE;

const rgb STATUS = {90, 90, 90};
const rgb BACK = {20, 30, 40};
rgb digit_colour(int d) { return rgb{(Uint8)(10 + 20 * d), 200, 100}; }

// World, player records and the data set's font; player 0 in play with a
// body of 18 x 28 pixels on a map of 1000 x 600 pixels.
struct view_env : world_env {
    object body{};
    view_env() {
        std::filesystem::copy_file(std::string(FENDA_DATA_DIR) + "/koi8.font", "koi8.font");
        load_font(0, "koi8.font");
        players(1);
        map_width = 1000 * PX;
        map_height = 600 * PX;
        body.w = 18 * PX;
        body.h = 28 * PX;
        views[0].creature->body = &body;
        last_refreshed_view = VIEW_SLOTS - 1;
        screen_fps = 0;
    }
    ~view_env() {
        for (weapon_entry &w : weapons) w.picture = nullptr;
        for (sprite *&d : status_digits) d = nullptr;
        status_picture.block = nullptr;
    }
    view &v() { return views[0]; }
    void put_body(int32_t x, int32_t y) {
        body.x = x;
        body.y = y;
        place_camera(&v());
    }
};

bool region_has(const bitmap &b, int x0, int y0, int x1, int y1, rgb colour) {
    uint32_t want = screen_pixel(colour);
    for (int y = y0; y < y1; y++)
        for (int x = x0; x < x1; x++)
            if (pixel_at(b, x, y) == want) return true;
    return false;
}

TEST(Camera, CentresTheBodyAndStaysInsideTheMap) {
    view_env env;
    // The view's corner (480 - 18) / 2 = 231 pixels left of the body and 93
    // below it; column and row 0 at the map's left and bottom, its last at
    // the right and top, also for a body thrown far outside the world.
    const int32_t cases[][4] = {{300 * PX, 200 * PX, (300 - 231) * PX, (200 - 93) * PX}, {10 * PX, 20 * PX, 0, 0},
                                {990 * PX, 590 * PX, 520 * PX, 360 * PX}, {INT32_MIN, INT32_MIN, 0, 0},
                                {INT32_MAX, INT32_MAX, 520 * PX, 360 * PX}};
    for (const auto &c : cases) {
        env.put_body(c[0], c[1]);
        EXPECT_EQ(env.v().cam_x, c[2]) << c[0];
        EXPECT_EQ(env.v().cam_y, c[3]) << c[1];
    }
    // Odd widths are halved toward zero, in units.
    env.body.w = 18 * PX + 1;
    env.put_body(300 * PX, 200 * PX);
    EXPECT_EQ(env.v().cam_x, 300 * PX - (480 * PX - (18 * PX + 1)) / 2);
}

TEST(Camera, LookingShiftsItUpAndDownAndBack) {
    view_env env;
    creature *c = env.v().creature;
    auto after = [&](int look, int frames) {
        c->look = look;
        for (int i = 0; i < frames; i++) views_tick();
        return env.v().look_offset;
    };
    EXPECT_EQ(after(1, 20), 90 * PX);  // 20 frames held: stops at 90
    env.put_body(300 * PX, 300 * PX);
    EXPECT_EQ(env.v().cam_y, (300 + 90 - 93) * PX);
    EXPECT_EQ(after(0, 14), 6 * PX);
    EXPECT_EQ(after(0, 1), 0);         // back level in 15 frames
    EXPECT_EQ(after(2, 20), -72 * PX); // one step past -67, then it stays
    env.put_body(300 * PX, 300 * PX);
    EXPECT_EQ(env.v().cam_y, (300 - 72 - 93) * PX);
    // Looking never takes the camera out of the map.
    env.put_body(300 * PX, 100 * PX);
    EXPECT_EQ(env.v().cam_y, 0);
}

// A sprite of w x h pixels of one colour.
sprite *box_sprite(const std::string &name, int w, int h, rgb colour) {
    save_picture(name, w, h, [&](int, int) { return colour; });
    return load_sprite(name.c_str(), RMT_GAME);
}

// Puts objects into the object list in the given order.
void set_object_list(const std::vector<object *> &objects) {
    object_list = nullptr;
    list_node *last = nullptr;
    for (object *o : objects) last = last ? list_insert_after(last, o, RMT_GAME) : list_add(&object_list, o, RMT_GAME);
}

TEST(ViewPicture, ObjectsOverTheBackgroundInListOrderWithOffsets) {
    view_env env;
    save_picture("back.png", 600, 300, [](int, int) { return BACK; });
    load_background("back.png");
    const rgb red = {250, 0, 0}, blue = {0, 0, 250}, green = {0, 250, 0};
    sprite *a = box_sprite("a.png", 10, 10, red);
    sprite *b = box_sprite("b.png", 10, 10, blue);
    sprite *edge = box_sprite("e.png", 10, 4, green);
    a->dx = 3;
    a->dy = -2;
    // The camera at (100, 50): a at column 103, its bottom 48 rows up; b
    // covers a's right half; edge lies one unit left of the picture.
    object oa{}, ob{}, oe{}, bare{};
    oa.x = 200 * PX, oa.y = 100 * PX, oa.sprite = a;
    ob.x = 208 * PX, ob.y = 98 * PX, ob.sprite = b;
    oe.x = 100 * PX - 1, oe.y = 150 * PX, oe.sprite = edge;
    bare.x = 150 * PX, bare.y = 60 * PX;  // no sprite: nothing to draw
    set_object_list({&bare, &oa, &ob, &oe});
    env.v().cam_x = 100 * PX;
    env.v().cam_y = 50 * PX;
    draw_view_map(&env.v());
    const bitmap &p = env.v().picture;
    const uint32_t R = screen_pixel(red), B = screen_pixel(blue), G = screen_pixel(green), K = screen_pixel(BACK);
    // a: columns 103..112, rows 240 - 48 - 10 = 182..191; b from column 108.
    EXPECT_EQ(pixel_at(p, 102, 185), K);
    EXPECT_EQ(pixel_at(p, 103, 182), R);
    EXPECT_EQ(pixel_at(p, 108, 185), B);
    EXPECT_EQ(pixel_at(p, 103, 192), K);
    // One unit left of the edge is pixel column -1, not 0.
    EXPECT_EQ(pixel_at(p, 8, 137), G);
    EXPECT_EQ(pixel_at(p, 9, 137), K);
    // Objects past every edge leave the picture alone.
    for (auto [x, y] : {std::pair{581, 100}, {80, 100}, {300, 291}, {INT32_MIN / PX, 100}}) {
        object far{};
        far.x = x * PX, far.y = y * PX, far.sprite = b;
        set_object_list({&far});
        draw_view_map(&env.v());
        for (int row = 0; row < 240; row += 7)
            for (int col = 0; col < 480; col += 5)
                if (row > 20 || col > 80) {
                    ASSERT_EQ(pixel_at(p, col, row), K) << x << "," << y;
                }
    }
}

struct panel_env : view_env {
    panel_env() {
        save_picture("status.png", 160, 240, [](int, int) { return STATUS; });
        for (int d = 0; d < 10; d++)
            save_picture("rn" + std::to_string(d) + ".png", 8, 12, [d](int, int) { return digit_colour(d); });
        load_status_picture("status.png");
    }
    // The digit shown in health cell i (0 to 2), or -1 for none.
    int cell(int i) {
        uint32_t p = pixel_at(v().panel, 25 + 8 * i + 4, 13 + 6);
        for (int d = 0; d < 10; d++)
            if (p == screen_pixel(digit_colour(d))) return d;
        return p == screen_pixel(STATUS) ? -1 : -2;
    }
    std::vector<int> cells() { return {cell(0), cell(1), cell(2)}; }
    bool text_in(int x0, int y0, int x1, rgb colour) { return region_has(v().panel, x0, y0, x1, y0 + font_height(0), colour); }
};

TEST(StatusPanel, HealthDigitsRightAligned) {
    panel_env env;
    creature *c = env.v().creature;
    const std::vector<std::pair<int, std::vector<int>>> cases = {
        {7, {-1, -1, 7}}, {100, {1, 0, 0}}, {10, {-1, 1, 0}}, {0, {-1, -1, -1}}, {-20, {-1, -1, -1}},
        {1000, {9, 9, 9}}};  // three cells hold no more than 999
    for (const auto &[health, want] : cases) {
        c->health = (int16_t)health;
        draw_status_panel(&env.v());
        EXPECT_EQ(env.cells(), want) << health;
    }
}

TEST(StatusPanel, WeaponIconNameAmmunitionAndFrags) {
    panel_env env;
    creature *c = env.v().creature;
    const rgb icon = {0, 120, 240};
    weapons[2].picture = box_sprite("icon.png", 20, 10, icon);
    const rgb black = {0, 0, 0}, red = {180, 0, 0};

    // Weapon 0: no icon, no name, no ammunition text; the frags in black.
    c->weapon = 0;
    c->frags = 3;
    draw_status_panel(&env.v());
    EXPECT_FALSE(env.text_in(0, 118, 160, black));
    EXPECT_FALSE(env.text_in(0, 118, 160, red));
    EXPECT_TRUE(env.text_in(10, 156, 52, black));
    EXPECT_FALSE(region_has(env.v().panel, 0, 60, 160, 110, icon));

    // The icon centred on (80, 86); name and "[5]" in black, no red.
    c->weapon = 2;
    c->weapons[2].ammunition = 5;
    draw_status_panel(&env.v());
    const bitmap &p = env.v().panel;
    EXPECT_EQ(pixel_at(p, 70, 81), screen_pixel(icon));
    EXPECT_EQ(pixel_at(p, 69, 80), screen_pixel(STATUS));
    EXPECT_TRUE(env.text_in(10, 118, 30, black));
    EXPECT_TRUE(env.text_in(110, 118, 128, black));
    EXPECT_FALSE(env.text_in(0, 118, 160, red));

    // Empty: "NO AMMO" in red at x = 90 instead of the count; the colour
    // goes back to black for the frags.
    c->weapons[2].ammunition = 0;
    draw_status_panel(&env.v());
    EXPECT_TRUE(env.text_in(90, 118, 132, red));
    EXPECT_FALSE(env.text_in(101, 118, 160, black));
    EXPECT_TRUE(env.text_in(10, 156, 52, black));
    EXPECT_FALSE(env.text_in(10, 156, 52, red));
}

// The display filled with one colour, then what a refresh changed.
struct refresh_probe {
    uint32_t sentinel;
    refresh_probe() : sentinel(SDL_MapRGB(screen_surface->format, 1, 2, 3)) {}
    std::string refresh() {
        SDL_FillRect(screen_surface, nullptr, sentinel);
        refresh_next_view();
        std::string drawn;
        for (int i = 0; i < 2; i++) {
            if (display_pixel(10, 10 + 240 * i) != sentinel) drawn += "v" + std::to_string(i);
            if (display_pixel(500, 10 + 240 * i) != sentinel) drawn += "p" + std::to_string(i);
        }
        return drawn;
    }
};

TEST(Refresh, ViewsInTurnAndAPanelCostsItsViewOneRefresh) {
    view_env env;
    refresh_probe probe;
    // One player: view 0 every time; a dirty panel takes one turn.
    EXPECT_EQ(probe.refresh(), "v0");
    env.v().panel_dirty = 1;
    EXPECT_EQ(probe.refresh(), "p0");
    EXPECT_EQ(env.v().panel_dirty, 0);
    EXPECT_EQ(probe.refresh(), "v0");

    // Two players alternate; view 1 is the lower half.
    init_view(1);
    views[1].screen_y = views[1].panel_y = 240;
    views[1].panel_x = 480;
    EXPECT_EQ(probe.refresh(), "v1");
    EXPECT_EQ(probe.refresh(), "v0");
    request_panel_redraw_all();
    EXPECT_EQ(probe.refresh(), "p1");
    EXPECT_EQ(probe.refresh(), "p0");
    // Dirty again at once: the picture comes first, then the panel.
    views[1].panel_dirty = 1;
    EXPECT_EQ(probe.refresh(), "v1");
    EXPECT_EQ(probe.refresh(), "v0");
    EXPECT_EQ(probe.refresh(), "p1");

    // A view that leaves play is skipped; none in play draws nothing.
    free_view(0);
    EXPECT_EQ(probe.refresh(), "v1");
    EXPECT_EQ(probe.refresh(), "v1");
    free_view(1);
    EXPECT_EQ(probe.refresh(), "");
}

}  // namespace
