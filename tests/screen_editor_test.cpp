// The editor's screen: scrolling, the map area's origin and drawing, the
// resize path, the map chooser, and a whole run driven by queued events.
// (Clicks to map points: the coordinates process_editor_test.cpp saves.)
#include <gtest/gtest.h>

#include <sys/stat.h>

#include "editor/chooser.h"
#include "editor_fixture.h"

namespace {

const rgb MARK = {255, 0, 255};

struct Screen : ::testing::Test {
    editor_env env;
    void load(const std::string &size, const std::string &objects) {
        write_file("m.fenda", size + " bg_dusk.jpg\n\nstatus_panel.png\n\n" + objects + " \n");
        if (map_area.first_layout) {
            load_map("m.fenda");
            editor_layout();
        } else {
            wipe_realm(RMT_GAME);
            load_map("m.fenda");
        }
    }
};

void key(editor_keys *k, int type, int code) {
    event e{};
    e.type = type;
    e.key = code;
    editor_handle_event(k, &e);
}

TEST_F(Screen, KeysScrollSixteenPixelsEveryEightyMilliseconds) {
    // Passes every 7 ms, up to 6 ms late for a step, keep 25 steps in two
    // seconds (200 pixels a second); a pass two intervals late makes the
    // three steps due, one 20 seconds late those of two seconds only.
    load("1600 960", "");
    editor_keys k = {};
    k.next_scroll = 5000;
    key(&k, EV_KEY_DOWN, SDLK_RIGHT);
    for (uint32_t now = 5000; now < 7000; now += 7) editor_scroll(&k, now);
    const struct {
        uint32_t now;
        int steps;
    } passes[] = {{6999, 25}, {7170, 28}, {27170, 53}, {27249, 53}, {27250, 54}};
    for (const auto &p : passes) {
        editor_scroll(&k, p.now);
        EXPECT_EQ(view_origin_x, p.steps * 16) << p.now;
    }
}

TEST_F(Screen, OriginIsClampedToTheMapAndNegativeOnSmallMaps) {
    load("1600 960", "");
    view_origin_x = 2000;
    view_origin_y = -5;
    clamp_view_origin();
    EXPECT_EQ(view_origin_x, 1600 - 620);
    EXPECT_EQ(view_origin_y, 0);
    // Another map: the origin is clamped against it, not reset.
    load("700 500", "");
    clamp_view_origin();
    EXPECT_EQ(view_origin_x, 80);
    EXPECT_EQ(view_origin_y, -100);
}

TEST_F(Screen, ObjectsAreDrawnAtTheirPlaceFromTheBottomLeft) {
    save_picture("mark.png", 4, 4, [](int, int) { return MARK; });
    load("500 500", "50 60 WALL mark.png\n300 300 WALL mark.png\n");
    editor_objects()[0]->kind = OBJ_WIPE;  // the one at (300, 300)
    draw_view();
    // The map is narrower and lower than the area: origin (-120, -100).
    const uint32_t mark = screen_pixel(MARK);
    const int sx = 50 + 120, row = 600 - (60 + 100) - 4;
    EXPECT_EQ(pixel_at(map_area.picture, sx + 3, row + 3), mark);
    EXPECT_NE(pixel_at(map_area.picture, 300 + 120, 600 - 400 - 4), mark);  // removed
    EXPECT_EQ(display_pixel(sx, row), mark);
}

TEST_F(Screen, ResizedWindowLaysBothRegionsOutAgain) {
    load("1600 960", "");
    window_resized_hook = editor_layout;
    // Too low for the list box, which keeps no height.
    SDL_Event e{};
    e.type = SDL_VIDEORESIZE;
    e.resize.w = 500;
    e.resize.h = 150;
    SDL_PushEvent(&e);
    editor_poll_events();
    EXPECT_EQ(back_buffer.width, 500);
    EXPECT_EQ(map_area.picture.width, 320);
    EXPECT_EQ(panel_area.x, 320);
    EXPECT_EQ(panel_area.picture.height, 150);
    EXPECT_EQ(item_list_box.height, 0);
    panel_page = PAGE_WALL;
    draw_panel();  // within the new, smaller bitmap
}

TEST_F(Screen, FileListIsSortedAndHoldsOnlyMapsThatCanBeOpened) {
    write_file("b.FENDA", "");
    write_file("a.fenda.bak", "");
    write_file(std::string(124, 'x') + ".fenda", "");  // 130 characters
    mkdir("dir.fenda", 0755);
    int realm = create_realm();
    file_list list = {nullptr, 0};
    get_file_list_aux(&list, realm);
    std::string names;
    for (file_name *n = list.first; n; n = n->next) names += std::string(n->name) + " ";
    EXPECT_EQ(names, "b.FENDA testmap.fenda towers.fenda ");
    EXPECT_EQ(list.count, 3);
    destroy_realm(realm);
}

TEST_F(Screen, ChooserTurnsThePageOnItsLastRow) {
    // More maps than rows: the last row turns the page. The picture's
    // height says how many rows fit.
    char name[MAP_FILE_NAME_MAX] = "unchanged";
    bitmap menu{};
    load_bitmap(&menu, "menu.png", RMT_PICTURE);
    const int per_page = (menu.height - 120) / 20 - 1;
    free_bitmap(&menu);
    for (int i = 0; i < 20; i++) write_file("m" + std::to_string(100 + i) + ".fenda", "");
    push_click(75 + 60, 50 + 120 + per_page * 20 + 5);
    push_click(75 + 60, 50 + 125);
    map_chooser("Load fenda:", name);
    EXPECT_EQ(name, "m" + std::to_string(100 + per_page) + ".fenda");
}

TEST_F(Screen, WholeRunDrivenByEvents) {
    // Choose towers, `l` and choose testmap (Right, held on `l`, is let go
    // while the chooser has the input), leave with Escape.
    push_click(135, 50 + 120 + 25);
    push_key(SDL_KEYDOWN, SDLK_RIGHT);
    push_key(SDL_KEYDOWN, SDLK_l);
    push_key(SDL_KEYUP, SDLK_l);
    push_key(SDL_KEYUP, SDLK_RIGHT);
    push_click(135, 50 + 125);
    push_key(SDL_KEYDOWN, SDLK_ESCAPE);
    push_key(SDL_KEYUP, SDLK_ESCAPE);
    editor_main_loop();
    EXPECT_STREQ(map_file_name, "testmap.fenda");
    EXPECT_EQ(view_origin_x, 0) << "the map went on scrolling";
}

}  // namespace
