// The players' views: the camera and its clamps and the map drawn over its
// background. (The look offset is in the golden fight's digests; the panels
// and the refresh round-robin show in the real-window games of one, two and
// four players.)
#include <gtest/gtest.h>

#include "game/view_draw.h"
#include "sim/player.h"
#include "world_fixture.h"

namespace {

constexpr int32_t PX = FIXED_ONE;

const rgb BACK = {20, 30, 40};

// World and player records; player 0 in play with a body of 18 x 28 pixels
// on a map of 1000 x 600 pixels.
struct view_env : world_env {
    object body{};
    view_env() {
        players(1);
        map_width = 1000 * PX;
        map_height = 600 * PX;
        body.w = 18 * PX;
        body.h = 28 * PX;
        views[0].creature->body = &body;
    }
    view &v() { return views[0]; }
    void put_body(int32_t x, int32_t y) {
        body.x = x;
        body.y = y;
        place_camera(&v());
    }
};

TEST(Camera, CentresTheBodyAndStaysInsideTheMap) {
    view_env env;
    // The view's corner (480 - 18) / 2 = 231 pixels left of the body and 93
    // below it; clamped to the map, also for a body thrown far outside it.
    const int32_t cases[][4] = {{300 * PX, 200 * PX, (300 - 231) * PX, (200 - 93) * PX}, {INT32_MIN, INT32_MIN, 0, 0},
                                {INT32_MAX, INT32_MAX, 520 * PX, 360 * PX}};
    for (const auto &c : cases) {
        env.put_body(c[0], c[1]);
        EXPECT_EQ(env.v().cam_x, c[2]) << c[0];
        EXPECT_EQ(env.v().cam_y, c[3]) << c[1];
    }
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
    const rgb red = {250, 0, 0}, blue = {0, 0, 250};
    sprite *a = box_sprite("a.png", 10, 10, red);
    sprite *b = box_sprite("b.png", 10, 10, blue);
    a->dx = 3;
    a->dy = -2;
    // The camera at (100, 50): a at column 103, its bottom 48 rows up; b
    // covers a's right half.
    object oa{}, ob{}, bare{};
    oa.x = 200 * PX, oa.y = 100 * PX, oa.sprite = a;
    ob.x = 208 * PX, ob.y = 98 * PX, ob.sprite = b;
    bare.x = 150 * PX, bare.y = 60 * PX;  // no sprite: nothing to draw
    set_object_list({&bare, &oa, &ob});
    env.v().cam_x = 100 * PX;
    env.v().cam_y = 50 * PX;
    draw_view_map(&env.v());
    const bitmap &p = env.v().picture;
    const uint32_t R = screen_pixel(red), B = screen_pixel(blue), K = screen_pixel(BACK);
    // a: columns 103..112, rows 240 - 48 - 10 = 182..191; b from column 108.
    EXPECT_EQ(pixel_at(p, 103, 182), R);
    EXPECT_EQ(pixel_at(p, 108, 185), B);
    // Objects past every edge leave the picture alone.
    for (auto [x, y] : {std::pair{581, 100}, {INT32_MIN / PX, 100}}) {
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

}  // namespace
