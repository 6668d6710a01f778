// The main menu: its texts, the choice keys taken from the event queue, the
// players' records, the key bindings and places of the views, and the wider
// display of three and four players.
#include <gtest/gtest.h>

#include <filesystem>

#include "core/events.h"
#include "game/menu.h"
#include "gfx/font.h"
#include "sound/sound.h"
#include "world_fixture.h"

namespace {

void queue(std::initializer_list<std::pair<int32_t, int32_t>> keys) {
    for (auto [type, key] : keys) event_put_key(type, key);
}

void drain() {
    event e;
    while (event_get(&e)) {
    }
}

menu_choice take(std::initializer_list<std::pair<int32_t, int32_t>> keys) {
    drain();
    queue(keys);
    menu_choice c = {1, false, true, false};
    menu_take_events(&c);
    EXPECT_FALSE(event_pending());
    return c;
}

const int32_t D = EV_KEY_DOWN, U = EV_KEY_UP;

TEST(MenuKeys, ChoiceOnReleaseAndTheLastOneInABatchCounts) {
    gfx_env env;
    menu_choice c = take({{D, '2'}});
    EXPECT_FALSE(c.made);  // held, not yet released
    c = take({{D, '2'}, {U, '2'}});
    EXPECT_TRUE(c.made);
    EXPECT_EQ(c.players, 2);
    EXPECT_FALSE(c.network);
    c = take({{U, '3'}, {U, 'x'}, {D, '4'}, {U, '4'}, {D, 13}});
    EXPECT_EQ(c.players, 4);
    c = take({{U, '1'}, {U, 's'}});
    EXPECT_TRUE(c.network && c.server);
    EXPECT_EQ(c.players, 1);
    c = take({{U, '2'}, {U, 'c'}});
    EXPECT_TRUE(c.network);
    EXPECT_FALSE(c.server);
    c = take({{U, 's'}, {U, '3'}});
    EXPECT_FALSE(c.network);
    EXPECT_EQ(c.players, 3);
    // Keys that choose nothing, and Escape's release, leave it unmade.
    c = take({{U, '5'}, {U, '0'}, {D, 'a'}, {U, 27}, {U, 'S'}});
    EXPECT_FALSE(c.made);
}

TEST(MenuKeysDeathTest, EscapeOnPressEvenBehindAChoice) {
    gfx_env env;
    drain();
    queue({{U, '1'}, {D, 27}});
    menu_choice c = {1, false, true, false};
    EXPECT_EXIT(menu_take_events(&c), ::testing::ExitedWithCode(0),
                "sys_exit\\(0\\): Invalid user - replace and strike any key");
    drain();
}

TEST(MenuPicture, TextsInTheirColoursAndPlaces) {
    gfx_env env;
    std::filesystem::copy_file(std::string(FENDA_DATA_DIR) + "/koi8.font", "koi8.font");
    load_font(0, "koi8.font");
    snprintf(config.server, sizeof config.server, "%s", "10.1.2.3");
    snprintf(startup_notes, sizeof startup_notes, "%s", "first note\nsecond note");
    bitmap got, want;
    alloc_bitmap(&got, 565, 410, RMT_PICTURE, "menu");
    alloc_bitmap(&want, 565, 410, RMT_PICTURE, "want");
    const uint32_t paper = screen_pixel({1, 2, 3});
    fill_bitmap(got, paper);
    fill_bitmap(want, paper);
    draw_menu_texts(&got);
    startup_notes[0] = 0;

    struct line {
        rgb colour;
        int x, y;
        const char *text;
    };
    const int h = font_height(0);
    const line lines[] = {
        {{153, 207, 232}, 195, 90, "version 2.0/75"},
        {{224, 160, 224}, 105, 170, "2: two players at single computer"},
        {{224, 160, 224}, 105, 190, "S: Network server (1 local player)"},
        {{224, 160, 224}, 105, 210, "C: Connect to 10.1.2.3 (1 local player)"},
        {{224, 160, 224}, 75, 240, "Alt-Enter at any time to toggle fullscreen mode"},
        {{192, 16, 16}, 85, 300, "first note"},
        {{192, 16, 16}, 85, 300 + h, "second note"},
    };
    for (const line &l : lines) {
        set_colour(l.colour.r, l.colour.g, l.colour.b);
        draw_text(&want, 0, l.x, l.y, l.text);
    }
    long differ = 0, inked = 0;
    for (int y = 0; y < 410; y++)
        for (int x = 0; x < 565; x++) {
            differ += pixel_at(got, x, y) != pixel_at(want, x, y);
            inked += pixel_at(got, x, y) != paper;
        }
    EXPECT_EQ(differ, 0);
    EXPECT_GT(inked, 1000);
}

TEST(GameSetUp, PlayerRecordsKeysAndPlacesOfTheFourViews) {
    world_env env;
    make_player_records();
    for (int i = 0; i < VIEW_SLOTS; i++) {
        creature *c = views[i].creature;
        ASSERT_NE(c, nullptr);
        EXPECT_EQ(c->state, CREATURE_OUT);
        EXPECT_EQ(c->body, nullptr);
        EXPECT_EQ(c->view, &views[i]);
        EXPECT_FALSE(view_in_use(i));
    }
    env.players(4);
    bind_view_keys();
    place_views();
    // The SDL 1.2 key codes of the four players' controls.
    const int32_t codes[VIEW_SLOTS][VIEW_CONTROLS] = {
        {260, 262, 264, 258, 256, 261, 263, 265},
        {276, 275, 273, 274, 303, 305, 44, 46},
        {97, 100, 119, 115, 118, 99, 113, 101},
        {104, 107, 117, 106, 108, 111, 121, 105},
    };
    const int32_t places[VIEW_SLOTS][4] = {{0, 0, 480, 0}, {0, 240, 480, 240}, {640, 0, 1120, 0}, {640, 240, 1120, 240}};
    for (int i = 0; i < VIEW_SLOTS; i++) {
        const view &v = views[i];
        for (int k = 0; k < VIEW_CONTROLS; k++) EXPECT_EQ(v.keys[k], codes[i][k]) << i << " " << k;
        EXPECT_EQ(std::vector<int32_t>({v.screen_x, v.screen_y, v.panel_x, v.panel_y}),
                  std::vector<int32_t>(places[i], places[i] + 4))
            << "view " << i;
    }
}

TEST(GameSetUp, ThreeOrFourPlayersGetAWideDisplayThatTheToggleKeeps) {
    gfx_env env(16);
    alloc_bitmap(&back_buffer, screen_width, screen_height, RMT_SCREEN, "screen");
    set_game_display(2);
    EXPECT_EQ(screen_width, 640);
    set_game_display(3);
    EXPECT_EQ(screen_width, 1280);
    EXPECT_EQ(screen_height, 480);
    EXPECT_EQ(bytes_per_pixel, 2);
    EXPECT_EQ(back_buffer.width, 1280);
    EXPECT_EQ(back_buffer.height, 480);
    // Views 2 and 3 now reach the display: their last pixels arrive.
    bitmap panel;
    alloc_bitmap(&panel, 160, 240, RMT_PICTURE, "pl_screen");
    fill_bitmap(panel, screen_pixel({255, 255, 255}));
    sys_draw_bitmap(&panel, 1120, 240);
    EXPECT_EQ(display_pixel(1279, 479), screen_pixel({255, 255, 255}));
    for (bool full : {true, false}) {
        video_toggle_fullscreen();
        EXPECT_EQ(screen_fullscreen, full);
        EXPECT_EQ(screen_width, 1280);
        EXPECT_EQ(screen_height, 480);
    }
    set_game_display(1);
    EXPECT_EQ(screen_width, 640);
    EXPECT_EQ(back_buffer.width, 640);
}

}  // namespace
